// The trace dialog headless: the list of words in full width, the plot with its hover and click,
// the statistics, the live mode (on hand-made rings and on the virtual board) and the CSV export.
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>
#include <QScrollBar>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <thread>
#include <unistd.h>

#include "session/board_control.h"
#include "display/display_line_file.h"
#include "display/list_rules.h"
#include "display/table_ops.h"
#include "monitor/csv_export.h"
#include "monitor/trace.h"
#include "monitor/trace_plot.h"
#include "monitor/ui/CParamTraceDlg.h"
#include "monitor/monitor_fixture.h"
#include "resources/analysis_strings.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/save_file.h"
#include "support/ui/widget_test.h"
#include "vboard/virtual_board_provider.h"
#include "resources/ui/text_codec.h"

namespace orv::ui {
namespace {

namespace fs = std::filesystem;
using test::Find;


std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QString Stat(const QDialog& d, const char* name) {
    auto* label = d.findChild<QLabel*>(QString::fromLatin1(name));
    EXPECT_NE(label, nullptr) << name;
    return label ? label->text() : QString();
}

QScatterSeries* Series(const QDialog& d, const char* name) {
    auto* view = d.findChild<QChartView*>(QStringLiteral("tracePlot"));
    if (!view) return nullptr;
    for (QAbstractSeries* s : view->chart()->series())
        if (s->objectName() == QString::fromLatin1(name)) return qobject_cast<QScatterSeries*>(s);
    return nullptr;
}

// A masked ALT row on channel 5 (index 4) with a format.
class TraceDialogTest : public ::testing::Test {
protected:
    TraceDialogTest() {
        test::PutEntry(state.Display, 0, "ALT", 5, 0203, true).maskMode = 1;
        StoreMaskPattern(state.Acquisition, 4, EncodeMask("xx1" + std::string(20, 'x')));
        dir = fs::temp_directory_path() / ("orv_trace_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    ~TraceDialogTest() override { fs::remove_all(dir); }

    ProgramState state;
    fs::path dir;
};

TEST_F(TraceDialogTest, ListPlotAndStatisticsShowOneSnapshot) {
    for (uint32_t k = 0; k < 100; ++k)  // every third word negative: it fits the mask
        test::AppendTrace(state.Acquisition, 4, 0x0C8000C8u + (k << 11) + (k % 3 == 0 ? 0x10000000u : 0), 7000 + 50 * k);
    state.Acquisition.MaskMatchCount[4] = 34;
    CParamTraceDlg dlg(state, 0);
    dlg.show();
    QCoreApplication::processEvents();

    // The list of words, every column visible without scrolling sideways.
    auto* list = Find<ListBox>(dlg, 1000);
    ASSERT_EQ(list->Count(), 100);
    const std::vector<std::string> lines = TraceLines(state.Acquisition, 4, test::Alt1Format());
    for (int i = 0; i < list->Count(); ++i) EXPECT_EQ(list->Text(i), lines[std::size_t(i)]);
    EXPECT_GE(list->viewport()->width(), kCellWidth * int(kTraceLineWidth));
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::NoSelection);
    EXPECT_FALSE(dlg.findChild<QCheckBox*>(QStringLiteral("live"))->isChecked());

    // Statistics: 100 words 50 ms apart, a third of them fit the mask.
    EXPECT_EQ(Stat(dlg, "statWords"), QStringLiteral("100"));
    EXPECT_EQ(Stat(dlg, "statFitting"), QStringLiteral("34"));
    EXPECT_EQ(Stat(dlg, "statMatches"), QStringLiteral("34"));
    EXPECT_EQ(Stat(dlg, "statSpan"), QStringLiteral("4950"));
    EXPECT_EQ(Stat(dlg, "statRate"), QStringLiteral("20.00"));
    EXPECT_EQ(Stat(dlg, "statIntervalMin"), QStringLiteral("50"));
    EXPECT_EQ(Stat(dlg, "statIntervalMean"), QStringLiteral("50.00"));
    EXPECT_EQ(Stat(dlg, "statJitter"), QStringLiteral("0.00"));

    // The plot: one point per word at its time, the DECIMAL value, axes with units.
    QScatterSeries* points = Series(dlg, "tracePoints");
    ASSERT_NE(points, nullptr);
    ASSERT_EQ(points->count(), 100);
    EXPECT_DOUBLE_EQ(points->at(3).x(), 0.15);
    EXPECT_DOUBLE_EQ(points->at(3).y(), double(DecimalValue(dlg.Snapshot().points[3].word, test::Alt1Format())));
    auto* view = dlg.findChild<QChartView*>(QStringLiteral("tracePlot"));
    const auto axes = view->chart()->axes(Qt::Vertical);
    ASSERT_EQ(axes.size(), 1);
    EXPECT_EQ(axes[0]->titleText(), U("значение, deg"));
    EXPECT_EQ(view->chart()->axes(Qt::Horizontal)[0]->titleText(), U(text::kTraceAxisTime));

    // Hovering a point names its time, HEX and DECIMAL.
    emit points->hovered(points->at(1), true);
    const QString info = dlg.findChild<QLabel*>(QStringLiteral("pointInfo"))->text();
    EXPECT_EQ(info, dlg.PointText(1));
    EXPECT_TRUE(info.contains(U("время 0.050 с"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("0x0c8008c8"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("+1.406264e+002 deg"))) << info.toStdString();

    // Clicking a point scrolls the list to its line and marks it; the list selects nothing.
    list->scrollToTop();
    emit points->clicked(points->at(90));
    EXPECT_EQ(dlg.MarkedLine(), 90);
    EXPECT_TRUE(list->viewport()->rect().intersects(list->visualItemRect(list->item(90))));
    EXPECT_TRUE(list->selectedItems().isEmpty());
    QScatterSeries* marked = Series(dlg, "markedPoint");
    ASSERT_EQ(marked->count(), 1);
    EXPECT_EQ(marked->at(0), points->at(90));
}

TEST_F(TraceDialogTest, PlotBreaksAtDropoutsMarksMisfitsAndTicksRound) {
    // 50 ms apart with two dropouts of 1 s; the words with bit 29 clear do not fit the mask.
    uint32_t time = 7000;
    for (uint32_t k = 0; k < 30; ++k) {
        time += (k == 10 || k == 20) ? 1000 : 50;
        test::AppendTrace(state.Acquisition, 4, 0x0C8000C8u + (k << 11) + (k % 4 == 0 ? 0 : 0x10000000u), time);
    }
    CParamTraceDlg dlg(state, 0);
    dlg.show();
    QCoreApplication::processEvents();
    auto* view = dlg.findChild<QChartView*>(QStringLiteral("tracePlot"));
    QList<QList<QPointF>> runs;
    for (QAbstractSeries* s : view->chart()->series())
        if (s->objectName() == QStringLiteral("traceLine"))
            if (auto* line = qobject_cast<QXYSeries*>(s); line->count() > 0) runs.append(line->points());
    const QList<QPointF> all = Series(dlg, "tracePoints")->points();
    ASSERT_EQ(all.size(), 30);
    ASSERT_EQ(runs.size(), 3);  // no line across either dropout
    EXPECT_EQ(runs[0], all.mid(0, 10));
    EXPECT_EQ(runs[1], all.mid(10, 10));
    EXPECT_EQ(runs[2], all.mid(20, 10));

    // Red points over the words that do not fit, drawn above the others.
    QScatterSeries* misfits = Series(dlg, "misfitPoints");
    ASSERT_NE(misfits, nullptr);
    EXPECT_EQ(misfits->color(), QColor(Qt::red));
    EXPECT_EQ(misfits->points(), (QList<QPointF>{all[0], all[4], all[8], all[12], all[16], all[20], all[24], all[28]}));
    const QList<QAbstractSeries*> order = view->chart()->series();
    EXPECT_GT(order.indexOf(misfits), order.indexOf(Series(dlg, "tracePoints")));

    // Ticks on round steps from the axis's start.
    for (QAbstractAxis* a : view->chart()->axes()) {
        auto* axis = qobject_cast<QValueAxis*>(a);
        ASSERT_NE(axis, nullptr);
        EXPECT_EQ(axis->tickType(), QValueAxis::TicksDynamic);
        const double step = axis->tickInterval();
        EXPECT_DOUBLE_EQ(step, RoundStep(step));
        EXPECT_DOUBLE_EQ(axis->tickAnchor(), axis->min());
        EXPECT_NEAR(axis->min() / step, std::round(axis->min() / step), 1e-9);
    }
    EXPECT_DOUBLE_EQ(qobject_cast<QValueAxis*>(view->chart()->axes(Qt::Horizontal)[0])->tickInterval(), 0.5);
}

TEST_F(TraceDialogTest, LiveModeFollowsTheRingAndKeepsTheScrollPosition) {
    for (uint32_t k = 0; k < 256; ++k) test::AppendTrace(state.Acquisition, 4, 0x0C8000C8u + (k << 11), 1000 + 50 * k);
    state.Shell.RefreshPeriodMs = 30;
    CParamTraceDlg dlg(state, 0);
    dlg.show();
    auto* list = Find<ListBox>(dlg, 1000);
    const std::string first = list->Text(0);

    dlg.MarkLine(1);  // the word in slot 1

    // Off: the snapshot taken at the opening, whatever arrives.
    test::AppendTrace(state.Acquisition, 4, 0x0C800000, 20000);
    QTest::qWait(100);
    EXPECT_EQ(list->Text(0), first);

    list->verticalScrollBar()->setValue(100);
    dlg.findChild<QCheckBox*>(QStringLiteral("live"))->setChecked(true);
    EXPECT_TRUE(dlg.Live());
    EXPECT_NE(list->Text(0), first);  // taken again at once
    EXPECT_EQ(dlg.MarkedLine(), 0);     // the marked word moved up with the ring
    test::AppendTrace(state.Acquisition, 4, 0x0C800400, 20050);
    const std::string newest = TraceLine(1, 0x0C800400, test::Alt1Format(), 50);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list->Text(255) == newest; }, 2000));
    EXPECT_EQ(list->verticalScrollBar()->value(), 100);
    EXPECT_EQ(dlg.MarkedLine(), -1);  // its slot holds a newer word now: no mark
    EXPECT_EQ(Series(dlg, "markedPoint")->count(), 0);
    EXPECT_EQ(Stat(dlg, "statIntervalMax"), QString::number(20000 - (1000 + 50 * 255)));

    dlg.findChild<QCheckBox*>(QStringLiteral("live"))->setChecked(false);
    test::AppendTrace(state.Acquisition, 4, 0x0C800800, 20100);
    QTest::qWait(100);
    EXPECT_EQ(list->Text(255), newest);
}

TEST_F(TraceDialogTest, ExportWritesTheShownSnapshotOrReportsAFailure) {
    test::AppendTrace(state.Acquisition, 4, 0x1C8000C8u, 1000);
    {
        CParamTraceDlg one(state, 0);  // one word: no rate, no jitter
        EXPECT_EQ(Stat(one, "statRate"), U(text::kStatNone));
        EXPECT_EQ(Stat(one, "statJitter"), U(text::kStatNone));
    }
    for (uint32_t k = 1; k < 5; ++k) test::AppendTrace(state.Acquisition, 4, 0x1C8000C8u + (k << 12), 1000 + 40 * k);
    CParamTraceDlg dlg(state, 0);
    const std::string shown = TraceCsv(dlg.Snapshot(), test::Alt1Format());
    test::AppendTrace(state.Acquisition, 4, 0x0C8000C8, 2000);  // arrives after the snapshot: not exported

    ScopedScript script;
    ScopedSaveFileScript files;
    const fs::path target = dir / "trace.csv";
    files.Answer(QString::fromStdString(target.string()));
    dlg.findChild<QPushButton*>(QStringLiteral("exportCsv"))->click();
    EXPECT_EQ(ReadText(target), shown);
    EXPECT_EQ(files.suggestedNames, QStringList({QStringLiteral("trace_ALT_ch5.csv")}));
    EXPECT_EQ(files.captions, QStringList({U(text::kExportTraceCaption)}));
    EXPECT_TRUE(script->messages.empty());

    // Cancelled: nothing written, nothing said.
    EXPECT_FALSE(dlg.ExportCsv());
    EXPECT_TRUE(script->messages.empty());

    // A path that cannot be written: the message names it, nothing is left there.
    const fs::path missing = dir / "no such dir" / "trace.csv";
    files.Answer(QString::fromStdString(missing.string()));
    EXPECT_FALSE(dlg.ExportCsv());
    ASSERT_EQ(script->messages.size(), 1u);
    EXPECT_TRUE(script->messages[0].text.startsWith(U(text::kExportFailed) + QString::fromStdString(missing.string())));
    EXPECT_FALSE(fs::exists(missing));

    EXPECT_EQ(ReadText(target), shown);
}

// The live trace on the virtual board: a mask on ALT of a scenario input, words served by the
// acquisition thread, the dialog following them at about 20 words/s.
TEST(TraceDialogOnVirtualBoard, LiveTraceFollowsScenarioWords) {
    const fs::path samples = fs::path(ORV_SAMPLES_DIR);
    VirtualBoardProvider devices(BoardClock::Manual);
    ProgramState state;
    state.Devices = &devices;
    // Trace times from the virtual clock, so that the rate does not depend on this machine's load.
    std::atomic<uint32_t> virtualMs{100000};
    state.Board.TickCount = [&virtualMs] { return virtualMs.load(); };
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
    StartBoard(state);
    const std::string list = ReadText(samples / "scenario.42i");
    const std::vector<DisplayLineRecord> records =
        DecodeDisplayLines(std::vector<uint8_t>(list.begin(), list.end()));
    ASSERT_EQ(LoadDisplayList(LinesOfRecords(records), state.Display, state.Acquisition, state.Board,
                              (samples / "Orvfrmt.stt").string()),
              nullptr);
    int row = -1;
    for (int r = 0; r < UsedEntries(state.Display.DisplayTable) && row < 0; ++r) {
        const DisplayEntry& e = state.Display.DisplayTable[std::size_t(r)];
        if (e.channel == 5 && e.address == 0203) row = r;
    }
    ASSERT_GE(row, 0);
    ASSERT_EQ(CheckSetMask(state.Display, state.Acquisition, row), MaskCheck::Allowed);
    StoreMaskPattern(state.Acquisition, 4, EncodeMask(std::string(kMaskBits, 'x')));
    ASSERT_TRUE(SetMask(state.Display, state.Acquisition, state.Board.Link, row));

    // One 50 ms step of the bus at a time, each waited for until the thread has served its word.
    const auto run = [&](int steps) {
        for (int i = 0; i < steps; ++i) {
            const uint16_t before = state.Acquisition.TraceIndex[4];
            virtualMs += 50;
            devices.Advance(50'000);
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
            while (state.Acquisition.TraceIndex[4] == before && std::chrono::steady_clock::now() < until)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    };
    run(20);
    state.Shell.RefreshPeriodMs = 20;
    CParamTraceDlg dlg(state, uint16_t(row));
    auto* listBox = Find<ListBox>(dlg, 1000);
    const int before = listBox->Count();
    EXPECT_GE(before, 19);
    dlg.findChild<QCheckBox*>(QStringLiteral("live"))->setChecked(true);
    run(40);
    EXPECT_TRUE(QTest::qWaitFor([&] { return listBox->Count() >= before + 38; }, 3000)) << listBox->Count();
    for (int i = 0; i < listBox->Count(); ++i) EXPECT_EQ(WordLabel(dlg.Snapshot().points[std::size_t(i)].word), 0203u);
    const TraceStats stats = ComputeTraceStats(dlg.Snapshot());
    ASSERT_TRUE(stats.rate);
    EXPECT_NEAR(*stats.rate, 20.0, 1.0);
    EXPECT_EQ(stats.fitting, stats.words);  // all X: every word fits
    EXPECT_NEAR(Stat(dlg, "statRate").toDouble(), 20.0, 1.0);
    ReleaseBoard(state);
}

}  // namespace
}  // namespace orv::ui
