#pragma once
// "Трасса параметра": the trace of one masked row. Besides the list of its words it plots them
// against their arrival time, shows the statistics of the ring and can follow the acquisition
// thread live; "Сохранить в CSV..." saves what it shows.

#include <QDialog>
#include <QPointF>
#include <vector>

#include "state/program_state.h"
#include "monitor/trace_stats.h"

QT_BEGIN_NAMESPACE
class QCheckBox;
class QLabel;
class QTimer;
class QChart;
class QChartView;
class QLineSeries;
class QScatterSeries;
class QValueAxis;
class QXYSeries;
QT_END_NAMESPACE

namespace orv::ui {

class ListBox;

class CParamTraceDlg : public QDialog {
    Q_OBJECT
public:
    CParamTraceDlg(const ProgramState& state, uint16_t row, QWidget* parent = nullptr);

    uint16_t Row() const { return row_; }
    uint16_t ChannelIndex() const { return channelIndex_; }

    // What the dialog shows: the snapshot of the ring its list, plot and statistics are built from.
    const TraceSnapshot& Snapshot() const { return snapshot_; }
    const std::vector<SeriesPoint>& Series() const { return series_; }
    // Takes a new snapshot and shows it, keeping the list's scroll position. The live mode calls
    // it at the refresh period.
    void Refresh();
    bool Live() const;

    // The text shown for the word of list line `line`: time, HEX and value.
    QString PointText(int line) const;
    // The list line of a plotted point, -1 when no point is there.
    int LineAt(const QPointF& point) const;
    // Scrolls the list to line `line` and marks its point on the plot (the list selects nothing).
    void MarkLine(int line);
    int MarkedLine() const { return markedLine_; }

    // "Сохранить в CSV...": the shown snapshot to a file the engineer chooses.
    bool ExportCsv();

private:
    void Show(TraceSnapshot snapshot);
    void ShowList();
    void ShowPlot();
    void ShowStats();
    void OnLiveToggled(bool on);
    void OnPointHovered(const QPointF& point, bool entered);
    QLineSeries* LineSeries(std::size_t run);
    void Attach(QXYSeries* series);

    const ProgramState& state_;
    uint16_t row_;
    uint16_t channelIndex_;
    DecimalFormat format_;
    TraceSnapshot snapshot_;
    std::vector<SeriesPoint> series_;
    int markedLine_ = -1;
    TracePoint marked_;  // the marked word, while markedLine_ is not -1

    ListBox* list_;
    QChartView* chartView_ = nullptr;
    QChart* chart_ = nullptr;
    std::vector<QLineSeries*> lines_;  // one per run of the line (traceLine), unused ones empty
    QScatterSeries* points_ = nullptr;
    QScatterSeries* misfits_ = nullptr;  // the points of words that do not fit the mask, in red
    QScatterSeries* markedSeries_ = nullptr;
    QValueAxis* axisX_ = nullptr;
    QValueAxis* axisY_ = nullptr;
    QLabel* pointInfo_ = nullptr;
    std::vector<QLabel*> statValues_;
    QCheckBox* live_ = nullptr;
    QTimer* liveTimer_ = nullptr;
};

}  // namespace orv::ui
