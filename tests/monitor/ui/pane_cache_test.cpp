// The panes' cached painting: the table pane built from cached character cells gives exactly the
// pixels of drawing the table directly (formats, no formats, masked rows, grey rows, runs of mixed
// inks, rows that change between paints, the capture block), and a tick repaints only what changed.
#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <gtest/gtest.h>

#include "state/program_state.h"
#include "support/scripted_device.h"
#include "display/table_ops.h"
#include "monitor/ui/COrvmonView.h"
#include "monitor/ui/CTitleView.h"
#include "support/ui/widget_test.h"
#include "support/example_formats.h"

namespace orv::ui {
namespace {

void PutRow(ProgramState& state, int row, const char* cp1251Label, uint16_t channel, uint16_t address,
            uint32_t word) {
    DisplayEntry& e = state.Display.DisplayTable[std::size_t(row)];
    e.paramLabel.Assign(cp1251Label);
    e.channel = channel;
    e.address = address;
    e.slot = LabelSlotAddress(channel, address);
    e.receivedCycle = row * 7;
    state.Display.SlotAddresses[std::size_t(row)] = e.slot;
    state.Board.BoardImage.Set32(e.slot, word);
}

// Grey every third row, runs of five columns alternating on row 4, black otherwise.
RowInks TestInks(const DisplayState&, const AcquisitionState&, int row, uint32_t) {
    RowInks inks;
    inks.fill(row % 3 == 1 ? Ink::Grey : Ink::Black);
    if (row == 4)
        for (std::size_t i = 0; i < inks.size(); ++i) inks[i] = (i / 5) % 2 ? Ink::Grey : Ink::Black;
    return inks;
}

QImage Render(COrvmonView& view, bool direct) {
    view.SetDirectDrawing(direct);
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::red);
    view.viewport()->render(&image);
    return image;
}

// The first pixel where the two pictures differ, for the failure message.
QString FirstDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return QStringLiteral("sizes differ");
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return QStringLiteral("(%1, %2): %3 vs %4").arg(x).arg(y).arg(a.pixel(x, y), 0, 16).arg(b.pixel(x, y), 0, 16);
    return {};
}

void ExpectSamePicture(COrvmonView& view, const char* what) {
    Render(view, false);  // the first paint of a table sets the scroll range (the viewport narrows)
    const QImage direct = Render(view, true);
    const QImage cached = Render(view, false);
    EXPECT_EQ(cached, direct) << what << " " << FirstDifference(cached, direct).toStdString();
}

TEST(PaneCache, CachedRowsGiveThePixelsOfDirectDrawing) {
    ProgramState state;
    COrvmonView view(state);
    view.SetInkSource(TestInks);
    view.resize(960, 16 * 40);
    state.Acquisition.AcquisitionMode = 1;
    // Labels of glyphs that reach into their neighbours' cells (W, %, _, Cyrillic Ж Щ Д Ф ...).
    const char* labels[] = {"     ALT", "W%_AKVw", "\xC6\xD9\xC4\xD4\xF9\xE6", "  \xC0\xCB\xD2", "x", "MMMMMMMM"};
    uint32_t word = 0x60012383u;
    for (int r = 0; r < 30; ++r) {
        word = word * 1664525u + 1013904223u;
        PutRow(state, r, labels[r % 6], uint16_t(r % 8 + 1), uint16_t(r * 9 % 256), word & 0x7FFFFFFFu);
        if (r % 4 != 3) SetEntryFormat(state.Display, r, test::Alt1Format());
    }
    state.Display.DisplayTable[5].maskMode = 1;  // masked: its channel's match count, value 0
    state.Display.DisplayTable[17].maskMode = 1;
    state.Acquisition.MaskMatchCount[5] = 123456;
    state.Acquisition.MaskMatchCount[1] = 7;
    state.Display.DisplayListReady = 1;
    ExpectSamePicture(view, "parameters");

    // Rows change between paints: new values, a new label, a format cleared, a row added. The
    // cache redraws only the changed cells of these rows.
    view.SetDirectDrawing(false);
    view.RefreshTick();
    state.Board.BoardImage.Set32(state.Display.DisplayTable[2].slot, 0x1FFFFFFFu);
    state.Display.DisplayTable[3].paramLabel.Assign("W_W_W_");
    ClearEntryFormat(state.Display, 8);
    state.Display.DisplayTable[9].receivedCycle = 123456789;
    PutRow(state, 30, "%%%%", 2, 3, 0x12345678u);
    ExpectSamePicture(view, "parameters changed");

    // Scrolled down: the document moves, the rows stay on the grid.
    view.verticalScrollBar()->setValue(37);
    ExpectSamePicture(view, "scrolled");
    view.verticalScrollBar()->setValue(0);

    // The capture block: 256 stream rows from column 10, black.
    state.Acquisition.AcquisitionMode = 2;
    state.Capture.StreamAddress = 0x4200;
    for (uint32_t i = 0; i < 512; ++i) state.Board.BoardImage.Set(0x4200 + i, uint16_t(i * 0x9E37u));
    ExpectSamePicture(view, "stream");

    // While the table is rewritten, and idle: white.
    state.Acquisition.AcquisitionMode = 1;
    state.Display.DisplayListReady = 0;
    ExpectSamePicture(view, "not ready");
    state.Acquisition.AcquisitionMode = 0;
    ExpectSamePicture(view, "idle");
}

// Records the regions the viewport is asked to paint.
class PaintSpy : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
        return false;
    }
    QRegion painted;
};

TEST(PaneCache, ATickRepaintsOnlyTheRowsThatChanged) {
    ScriptedDevice device;
    ProgramState state;
    state.Board.Link.Attach(&device);
    state.Shell.DeviceState = 0;
    state.Acquisition.AcquisitionMode = 1;
    for (int r = 0; r < 6; ++r) PutRow(state, r, "     ALT", 5, uint16_t(0200 + r), 0);
    for (auto& e : state.Display.DisplayTable) e.receivedCycle = 0;
    state.Display.DisplayListReady = 1;
    COrvmonView view(state);
    view.resize(960, 400);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QApplication::processEvents();

    PaintSpy spy;
    view.viewport()->installEventFilter(&spy);
    // The first slot read of the tick (row 0) brings a word; the other slots stay empty.
    device.QueueReply(kReadSlot, {0x80, 0x00, 0x34, 0x12});
    view.RefreshTick();
    QApplication::processEvents();
    EXPECT_EQ(state.Display.DisplayTable[0].receivedCycle, 1);
    EXPECT_FALSE(spy.painted.isEmpty());
    EXPECT_TRUE(QRegion(0, 0, view.viewport()->width(), 16).contains(spy.painted.boundingRect()))
        << spy.painted.boundingRect().y() << " " << spy.painted.boundingRect().height();

    // The next tick finds the same word in row 0's slot (this device does not empty it): row 0 is
    // received again and only its cycle column changes.
    spy.painted = {};
    view.RefreshTick();
    QApplication::processEvents();
    EXPECT_EQ(state.Display.DisplayTable[0].receivedCycle, 2);
    EXPECT_FALSE(spy.painted.isEmpty());
    EXPECT_TRUE(QRegion(7 * 82, 0, 7 * 11, 16).contains(spy.painted.boundingRect()))
        << spy.painted.boundingRect().x() << " " << spy.painted.boundingRect().width();

    // A new row changes the length of the table: the whole pane.
    PutRow(state, 6, "      VS", 6, 0212, 0);
    view.RefreshTick();
    QApplication::processEvents();
    EXPECT_EQ(spy.painted.boundingRect(), view.viewport()->rect());
    state.Board.Link.Attach(nullptr);
}

// A tick asks for one paint of the changed cells alone: what changed in one column of neighbouring
// rows is painted there, cell by cell, not widened to the whole column.
TEST(PaneCache, ATickRepaintsOnlyTheChangedCells) {
    ScriptedDevice device;
    ProgramState state;
    state.Board.Link.Attach(&device);
    state.Shell.DeviceState = 0;
    state.Acquisition.AcquisitionMode = 1;
    for (int r = 0; r < 6; ++r) PutRow(state, r, "     ALT", 5, uint16_t(0200 + r), 0);
    state.Display.DisplayListReady = 1;
    COrvmonView view(state);
    view.resize(960, 400);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    // Every row receives a word; then the rows show cycles of 1 to 6 digits.
    device.SetReply(kReadSlot, {0x80, 0x00, 0x34, 0x12});
    view.RefreshTick();
    QApplication::processEvents();
    device.SetReply(kReadSlot, {0, 0, 0, 0});
    int cycle = 0;
    for (int r = 0; r < 6; ++r) state.Display.DisplayTable[std::size_t(r)].receivedCycle = cycle = cycle * 10 + 5;
    view.RefreshTick();
    QApplication::processEvents();

    // Every row receives the same word again: only the cycle column changes, by 1 to 6 digits.
    device.SetReply(kReadSlot, {0x80, 0x00, 0x34, 0x12});
    PaintSpy spy;
    view.viewport()->installEventFilter(&spy);
    view.RefreshTick();
    QApplication::processEvents();
    EXPECT_TRUE(QRegion(7 * 82, 0, 7 * 11, 6 * 16).contains(spy.painted.boundingRect()))
        << spy.painted.boundingRect().x() << " " << spy.painted.boundingRect().width();
    // 1 to 6 changed digits per row (21 cells), each run with at most a neighbouring cell either side.
    int cells = 0;
    for (const QRect& r : spy.painted) cells += r.width() / 7 * (r.height() / 16);
    EXPECT_GE(cells, 21);
    EXPECT_LE(cells, 21 + 2 * 6);
    state.Board.Link.Attach(nullptr);
}

TEST(PaneCache, TheTitleRepaintsTheCycleTextAlone) {
    ProgramState state;
    state.Shell.DeviceState = 0;
    state.Acquisition.AcquisitionMode = 1;
    state.Display.DisplayListReady = 1;
    CTitleView title(state);
    title.resize(960, 44);
    title.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&title));
    QApplication::processEvents();

    PaintSpy spy;
    title.installEventFilter(&spy);
    title.Refresh();
    QApplication::processEvents();
    EXPECT_TRUE(spy.painted.isEmpty()) << spy.painted.boundingRect().width();
    state.Acquisition.CycleCounter = 4321;
    title.Refresh();
    QApplication::processEvents();
    EXPECT_FALSE(spy.painted.isEmpty());
    EXPECT_LT(spy.painted.boundingRect().width(), title.width() / 2);

    // The kept picture is the picture drawn directly, in parameter reception, in file reception
    // and with no board.
    auto expectDirectPicture = [&](const char* what) {
        title.Refresh();
        QImage cached(title.size(), QImage::Format_RGB32);
        title.render(&cached);
        QImage direct(title.size(), QImage::Format_RGB32);
        TitleValues values;
        values.deviceState = state.Shell.DeviceState;
        values.acquisitionMode = state.Acquisition.AcquisitionMode;
        values.cycleCounter = state.Acquisition.CycleCounter;
        values.refreshPeriodMs = state.Shell.RefreshPeriodMs;
        values.displayListReady = state.Display.DisplayListReady;
        values.fileChannel = state.Capture.FileChannel;
        QPainter painter(&direct);
        CTitleView::DrawTitlePane(painter, DrawTitle(values), direct.rect());
        painter.end();
        EXPECT_EQ(cached, direct) << what;
    };
    expectDirectPicture("parameters");
    state.Shell.RefreshPeriodMs = 10;
    expectDirectPicture("period");
    state.Acquisition.AcquisitionMode = 2;
    state.Capture.FileChannel = 7;
    expectDirectPicture("file reception");
    state.Shell.DeviceState = -1;
    expectDirectPicture("no board");
}

}  // namespace
}  // namespace orv::ui
