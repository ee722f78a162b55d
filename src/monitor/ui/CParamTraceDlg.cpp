#include "monitor/ui/CParamTraceDlg.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QCursor>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QScrollBar>
#include <QSplitter>
#include <QStyle>
#include <QTimer>
#include <QToolTip>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "text/code_page.h"
#include "text/printf_forms.h"
#include "text/scanf_forms.h"
#include "monitor/csv_export.h"
#include "monitor/table_rows.h"
#include "monitor/trace.h"
#include "monitor/trace_plot.h"
#include "monitor/ui/analysis_commands.h"
#include "resources/analysis_strings.h"
#include "resources/monitor_strings.h"
#include "resources/ui/dialog_base.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/list_box.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {
namespace {


// The statistics rows, in the order they are shown; their value labels are named after them.
struct StatRow {
    const char* name;
    const char* caption;
};
constexpr StatRow kStatRows[] = {
    {"statWords", text::kStatWords},           {"statFitting", text::kStatFitting},
    {"statMatches", text::kStatMatches},       {"statSpan", text::kStatSpan},
    {"statRate", text::kStatRate},             {"statIntervalMin", text::kStatIntervalMin},
    {"statIntervalMean", text::kStatIntervalMean}, {"statIntervalMax", text::kStatIntervalMax},
    {"statJitter", text::kStatJitter},
};

// The columns of the head over the list: the widest thing the list column must show.
constexpr int kTraceHeadColumns = 71;

QString Fixed(double v, int decimals) { return QString::number(v, 'f', decimals); }

}  // namespace

CParamTraceDlg::CParamTraceDlg(const ProgramState& state, uint16_t row, QWidget* parent)
    : QDialog(parent), state_(state), row_(row) {
    setObjectName(QStringLiteral("160"));
    setWindowTitle(U(text::kTraceTitle));
    const DisplayEntry& entry = state.Display.DisplayTable[std::size_t(row % kDisplayRows)];
    channelIndex_ = uint16_t(entry.channel - 1);
    format_ = entry.format;

    auto* layout = new QVBoxLayout(this);
    auto* caption = MakeEdit(this, 1009, 0, true);
    caption->setFrame(false);
    caption->setAlignment(Qt::AlignCenter);
    caption->setText(FromCp1251(TraceCaption(entry.paramLabel, entry.channel)));
    layout->addWidget(caption);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);

    // The list of words, wide enough for every column of the head above it.
    auto* listPane = new QWidget(splitter);
    auto* listLayout = new QVBoxLayout(listPane);
    listLayout->setContentsMargins(0, 0, 0, 0);
    list_ = WithId(new ListBox(false, listPane), 1000);
    // The head's two lines stand over the list's columns and scroll with them.
    listLayout->addWidget(new ListHead(list_, {U(text::kTraceHead)}, listPane));
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    const int scrollBar = list_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list_);
    list_->setMinimumSize(kCellWidth * kTraceHeadColumns + scrollBar + 2 * list_->frameWidth() + 8,
                          kRowHeight * 16);
    listLayout->addWidget(list_, 1);
    splitter->addWidget(listPane);

    // The plot, what the pointer is on, and the statistics.
    auto* plotPane = new QWidget(splitter);
    auto* plotLayout = new QVBoxLayout(plotPane);
    plotLayout->setContentsMargins(0, 0, 0, 0);
    chart_ = new QChart;
    chart_->legend()->hide();
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setMargins(QMargins(4, 4, 4, 4));
    points_ = new QScatterSeries(chart_);
    points_->setObjectName(QStringLiteral("tracePoints"));
    points_->setMarkerSize(6);
    points_->setColor(QColor(0x20, 0x40, 0xA0));
    points_->setBorderColor(QColor(0x20, 0x40, 0xA0));
    // Drawn over the points: a word that does not fit the mask shows a red point.
    misfits_ = new QScatterSeries(chart_);
    misfits_->setObjectName(QStringLiteral("misfitPoints"));
    misfits_->setMarkerSize(6);
    misfits_->setColor(Qt::red);
    misfits_->setBorderColor(Qt::red);
    markedSeries_ = new QScatterSeries(chart_);
    markedSeries_->setObjectName(QStringLiteral("markedPoint"));
    markedSeries_->setMarkerSize(12);
    markedSeries_->setColor(Qt::transparent);
    markedSeries_->setBorderColor(Qt::red);
    markedSeries_->setPen(QPen(Qt::red, 2));
    axisX_ = new QValueAxis(chart_);
    axisX_->setTitleText(U(text::kTraceAxisTime));
    axisY_ = new QValueAxis(chart_);
    if (format_.IsNone()) {
        axisY_->setTitleText(U(text::kTraceAxisField));
    } else {
        const QString units = QString::fromStdString(UnitsCell(format_));
        axisY_->setTitleText(units.isEmpty() ? U(text::kTraceAxisValue)
                                             : U(text::kTraceAxisValue) + QStringLiteral(", ") + units);
    }
    // Ticks at the round steps PlotScales chooses, from the start of each axis.
    for (QValueAxis* axis : {axisX_, axisY_}) axis->setTickType(QValueAxis::TicksDynamic);
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);
    LineSeries(0);  // adds the point series over the first run's line
    chartView_ = new QChartView(chart_, plotPane);
    chartView_->setObjectName(QStringLiteral("tracePlot"));
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumSize(480, 300);
    plotLayout->addWidget(chartView_, 1);
    connect(points_, &QXYSeries::hovered, this, &CParamTraceDlg::OnPointHovered);
    connect(points_, &QXYSeries::clicked, this, [this](const QPointF& p) { MarkLine(LineAt(p)); });
    connect(misfits_, &QXYSeries::hovered, this, &CParamTraceDlg::OnPointHovered);
    connect(misfits_, &QXYSeries::clicked, this, [this](const QPointF& p) { MarkLine(LineAt(p)); });

    pointInfo_ = new QLabel(plotPane);
    pointInfo_->setObjectName(QStringLiteral("pointInfo"));
    pointInfo_->setMinimumHeight(fontMetrics().height());
    plotLayout->addWidget(pointInfo_);

    auto* stats = new QFormLayout;
    stats->setLabelAlignment(Qt::AlignLeft);
    for (const StatRow& r : kStatRows) {
        auto* value = new QLabel(plotPane);
        value->setObjectName(QString::fromLatin1(r.name));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        stats->addRow(U(r.caption), value);
        statValues_.push_back(value);
    }
    plotLayout->addLayout(stats);
    auto* note = new QLabel(U(text::kStatNote), plotPane);
    note->setWordWrap(true);
    plotLayout->addWidget(note);
    splitter->addWidget(plotPane);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    layout->addWidget(splitter, 1);

    // Live check box and export at the left, the dialog's own buttons at the right.
    auto* buttons = new QHBoxLayout;
    live_ = new QCheckBox(U(text::kTraceLive), this);
    live_->setObjectName(QStringLiteral("live"));
    buttons->addWidget(live_);
    auto* exportButton = new QPushButton(U(text::kTraceExport), this);
    exportButton->setObjectName(QStringLiteral("exportCsv"));
    exportButton->setAutoDefault(false);
    buttons->addWidget(exportButton);
    buttons->addStretch();
    auto* ok = MakeButton(this, kIdOk, U(text::kTraceExit));
    ok->setDefault(true);
    auto* cancel = MakeButton(this, kIdCancel, U(text::kTraceCancel));
    cancel->setEnabled(false);
    cancel->setVisible(false);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(exportButton, &QPushButton::clicked, this, [this] { ExportCsv(); });
    connect(live_, &QCheckBox::toggled, this, &CParamTraceDlg::OnLiveToggled);

    liveTimer_ = new QTimer(this);
    connect(liveTimer_, &QTimer::timeout, this, &CParamTraceDlg::Refresh);

    Show(TakeTraceSnapshot(state_.Acquisition, channelIndex_));
    resize(kCellWidth * kTraceHeadColumns + 640, 660);
}

bool CParamTraceDlg::Live() const { return live_->isChecked(); }

void CParamTraceDlg::OnLiveToggled(bool on) {
    if (!on) {
        liveTimer_->stop();
        return;
    }
    Refresh();
    liveTimer_->start(std::max(1, int(state_.Shell.RefreshPeriodMs)));
}

void CParamTraceDlg::Refresh() { Show(TakeTraceSnapshot(state_.Acquisition, channelIndex_)); }

void CParamTraceDlg::Show(TraceSnapshot snapshot) {
    snapshot_ = std::move(snapshot);
    series_ = ValueSeries(snapshot_, format_);
    // The marked word keeps its mark while it stays in the ring.
    const bool hadMark = markedLine_ >= 0;
    markedLine_ = hadMark ? LineOfMarkedWord(snapshot_, marked_) : -1;
    ShowList();
    ShowPlot();
    ShowStats();
    if (markedLine_ >= 0) pointInfo_->setText(PointText(markedLine_));
    else if (hadMark) pointInfo_->clear();
}

void CParamTraceDlg::ShowList() {
    QScrollBar* bar = list_->verticalScrollBar();
    const int position = bar->value();
    const bool atEnd = position > 0 && position == bar->maximum();
    list_->setUpdatesEnabled(false);
    list_->ClearLines();
    for (std::string& line : TraceSnapshotLines(snapshot_, format_)) list_->AddLine(std::move(line));
    list_->setUpdatesEnabled(true);
    bar->setValue(atEnd ? bar->maximum() : position);
}

void CParamTraceDlg::Attach(QXYSeries* series) {
    chart_->addSeries(series);
    series->attachAxis(axisX_);
    series->attachAxis(axisY_);
}

QLineSeries* CParamTraceDlg::LineSeries(std::size_t run) {
    if (run < lines_.size()) return lines_[run];
    while (lines_.size() <= run) {
        auto* line = new QLineSeries(chart_);
        line->setObjectName(QStringLiteral("traceLine"));
        line->setPen(QPen(QColor(0x80, 0x80, 0xC0), 1));
        Attach(line);
        lines_.push_back(line);
    }
    // A chart draws its series in the order they were added: the points go back on top.
    for (QXYSeries* s : {static_cast<QXYSeries*>(points_), static_cast<QXYSeries*>(misfits_),
                         static_cast<QXYSeries*>(markedSeries_)}) {
        if (chart_->series().contains(s)) chart_->removeSeries(s);
        Attach(s);
    }
    return lines_[run];
}

void CParamTraceDlg::ShowPlot() {
    QList<QPointF> points;
    QList<QPointF> misfits;
    points.reserve(qsizetype(series_.size()));
    const std::vector<bool> fits = PointsFitting(snapshot_, series_);
    for (std::size_t k = 0; k < series_.size(); ++k) {
        const QPointF p(series_[k].timeS, series_[k].value);
        points.append(p);
        if (!fits[k]) misfits.append(p);
    }
    // The line, broken across dropouts: one series per run.
    const std::vector<PlotRun> runs = LineRuns(snapshot_, series_);
    for (std::size_t r = 0; r < std::max(runs.size(), lines_.size()); ++r) {
        QList<QPointF> run;
        if (r < runs.size()) run = points.mid(qsizetype(runs[r].begin), qsizetype(runs[r].end - runs[r].begin));
        LineSeries(r)->replace(run);
    }
    points_->replace(points);
    misfits_->replace(misfits);
    QList<QPointF> mark;
    for (const SeriesPoint& p : series_)
        if (p.line == markedLine_) mark.append(QPointF(p.timeS, p.value));
    markedSeries_->replace(mark);

    const PlotAxes axes = PlotScales(series_);
    const auto scale = [](QValueAxis* axis, const AxisScale& s) {
        axis->setRange(s.min, s.max);
        axis->setTickAnchor(s.min);
        axis->setTickInterval(s.step);
        axis->setLabelFormat(QString::fromStdString(TickLabelFormat(s)));
    };
    scale(axisX_, axes.time);
    scale(axisY_, axes.value);
}

void CParamTraceDlg::ShowStats() {
    const TraceStats s = ComputeTraceStats(snapshot_);
    const QString none = U(text::kStatNone);
    const auto iv = s.intervals;
    const QString values[] = {
        QString::number(s.words),
        QString::number(s.fitting),
        QString::number(s.matchCount),
        iv ? QString::number(s.spanMs) : none,
        s.rate ? Fixed(*s.rate, 2) : none,
        iv ? QString::number(iv->minMs) : none,
        iv ? Fixed(iv->meanMs, 2) : none,
        iv ? QString::number(iv->maxMs) : none,
        iv ? Fixed(iv->stddevMs, 2) : none,
    };
    for (std::size_t i = 0; i < statValues_.size(); ++i) statValues_[i]->setText(values[i]);
}

QString CParamTraceDlg::PointText(int line) const {
    if (line < 0 || std::size_t(line) >= snapshot_.points.size()) return {};
    const TracePoint& p = snapshot_.points[std::size_t(line)];
    QString value;
    if (format_.IsNone()) {
        value = U(text::kTraceAxisField) + QStringLiteral(" ") + QString::number(DataField(p.word));
    } else {
        value = QString::fromUtf8(Utf8FromCp1251(Trim(RenderDecimal(p.word, format_))));
    }
    return QStringLiteral("%1   %2%3%4   %5   %6")
        .arg(QString::fromStdString(FormatDec(p.slot, 3, true)), U(text::kPointTime),
             Fixed(double(p.timeMs) / 1000.0, 3), U(text::kPointSeconds), QString::fromStdString(RenderHex(p.word)),
             value);
}

int CParamTraceDlg::LineAt(const QPointF& point) const { return NearestLine(series_, point.x(), point.y()); }

void CParamTraceDlg::MarkLine(int line) {
    if (line < 0 || std::size_t(line) >= snapshot_.points.size()) return;
    markedLine_ = line;
    marked_ = snapshot_.points[std::size_t(line)];
    list_->scrollToItem(list_->item(line), QAbstractItemView::PositionAtCenter);
    pointInfo_->setText(PointText(line));
    ShowPlot();
}

void CParamTraceDlg::OnPointHovered(const QPointF& point, bool entered) {
    if (!entered) {
        QToolTip::hideText();
        return;
    }
    const QString text = PointText(LineAt(point));
    pointInfo_->setText(text);
    QToolTip::showText(QCursor::pos(), text, chartView_);
}

bool CParamTraceDlg::ExportCsv() {
    const DisplayEntry& entry = state_.Display.DisplayTable[std::size_t(row_ % kDisplayRows)];
    const QString label = QString::fromStdString(LabelCell(entry.paramLabel.View()));
    const QString name = CsvFileName(QStringLiteral("trace_%1_ch%2").arg(label).arg(entry.channel));
    return SaveCsvFile(this, text::kExportTraceCaption, name, TraceCsv(snapshot_, format_));
}

}  // namespace orv::ui
