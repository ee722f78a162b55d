// Printing of the table pane: each printed page carries the title pane's texts and rules, then its
// share of the rows, each character in the cell the screen gives it and each rule where the screen
// draws it, the grid scaled to the page width, and the page number at the foot. The drawing calls
// of the screen and of the printer are recorded through a paint device of the test's own (no
// rasterising) and compared after scaling, within half a cell.
#include <QApplication>
#include <QPaintEngine>
#include <QPainter>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "state/program_state.h"
#include "app/ui/table_print.h"
#include "display/table_ops.h"
#include "monitor/ui/COrvmonView.h"
#include "monitor/ui/CTitleView.h"
#include "resources/ui/grid_font.h"
#include "support/example_formats.h"

namespace orv::ui {
namespace {

// One character drawn: where its cell starts (x) and its baseline (y), in device units.
struct Glyph {
    QChar c;
    double x = 0, y = 0;
};
// One rule: a line or a filled rectangle, as the rectangle it covers, in device units.
struct Rule {
    QRectF r;
};

// Records the text and rules drawn on it, page by page.
class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState& s) override {
        if (s.state() & QPaintEngine::DirtyTransform) transform_ = s.transform();
        if (s.state() & QPaintEngine::DirtyPen) pen_ = s.pen();
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const QString text = item.text();
        const QPointF at = transform_.map(p);
        // A run's characters share its width (one cell each on the grid).
        const double advance = text.isEmpty() ? 0 : item.width() * transform_.m11() / double(text.size());
        for (int i = 0; i < text.size(); ++i) pages.back().glyphs.push_back({text[i], at.x() + i * advance, at.y()});
    }
    void drawLines(const QLineF* lines, int n) override {
        // A line of width w covers w/2 either side of it.
        const double half = std::max(pen_.widthF(), 1.0) / 2;
        for (int i = 0; i < n; ++i) {
            const QLineF l = lines[i];
            const QRectF r = QRectF(l.p1(), l.p2()).normalized().adjusted(-half, -half, half, half);
            pages.back().rules.push_back({transform_.mapRect(r)});
        }
    }
    void drawRects(const QRectF* rects, int n) override {
        for (int i = 0; i < n; ++i) pages.back().rules.push_back({transform_.mapRect(rects[i])});
    }
    Type type() const override { return QPaintEngine::User; }

    struct Page {
        std::vector<Glyph> glyphs;
        std::vector<Rule> rules;
    };
    std::vector<Page> pages{1};

private:
    QTransform transform_;
    QPen pen_;
};

class ScriptedDevice : public QPaintDevice {
public:
    explicit ScriptedDevice(QSize size, int dpi) : size_(size), dpi_(dpi) {}
    QPaintEngine* paintEngine() const override { return &engine; }
    int metric(PaintDeviceMetric m) const override {
        switch (m) {
            case PdmWidth: return size_.width();
            case PdmHeight: return size_.height();
            case PdmWidthMM: return size_.width() * 254 / (10 * dpi_);
            case PdmHeightMM: return size_.height() * 254 / (10 * dpi_);
            case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return dpi_;
            case PdmDepth: return 32;
            case PdmNumColors: return INT_MAX;
            case PdmDevicePixelRatio: return 1;
            case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
            default: return 0;
        }
    }
    mutable RecordingEngine engine;

private:
    QSize size_;
    int dpi_;
};

void FillTable(ProgramState& state, int rows) {
    state.Shell.DeviceState = 0;
    state.Acquisition.AcquisitionMode = 1;
    state.Acquisition.CycleCounter = 1234;
    for (int e = 0; e < rows; ++e) {
        DisplayEntry& entry = state.Display.DisplayTable[std::size_t(e)];
        entry.paramLabel = Label8(e % 2 ? "ALT" : "HDG12");
        entry.channel = uint16_t(e % 4 + 1);
        entry.address = uint16_t(e);
        entry.slot = LabelSlotAddress(entry.channel, entry.address);
        entry.receivedCycle = 1200 + e;
        entry.receivedWord = 0x61eeb183u + uint32_t(e) * 0x01234567u;
        state.Display.SlotAddresses[std::size_t(e)] = entry.slot;
        if (e % 4 != 3) SetEntryFormat(state.Display, e, test::Alt1Format());
    }
    state.Display.DisplayListReady = 1;
}

// Black rows, except row 2, whose DECIMAL cell is grey (a run of another ink).
RowInks TestInks(const DisplayState&, const AcquisitionState&, int row, uint32_t) {
    RowInks inks;
    inks.fill(Ink::Black);
    if (row == 2)
        for (std::size_t i = kValueColumn + 35; i < kCycleColumn; ++i) inks[i] = Ink::Grey;
    return inks;
}

// The screen's picture: the title pane and the whole table, in their own grid coordinates.
RecordingEngine::Page RecordScreen(const ProgramState& state, const COrvmonView& view, bool table) {
    ScriptedDevice screen(QSize(2000, 5000), 96);
    QPainter painter(&screen);
    if (table)
        view.DrawTable(painter, QRect(0, 0, 2000, kDocumentHeight + 1));
    else
        CTitleView::DrawTitlePane(painter, CTitleView::DrawingOf(state), QRect(0, 0, 2000, 48));
    painter.end();
    return screen.engine.pages.back();
}

// Moves what was drawn at grid point (x, y) of the screen to (x, y + dy), scaled by `scale`.
Glyph Placed(const Glyph& g, double dy, double scale) { return {g.c, g.x * scale, (g.y + dy) * scale}; }
QRectF Placed(const QRectF& r, double dy, double scale) {
    return QRectF(r.x() * scale, (r.y() + dy) * scale, r.width() * scale, r.height() * scale);
}

// Every glyph of `expected` is printed (the same character within half a cell), and nothing else
// but `extra` glyphs is.
void ExpectGlyphs(const std::vector<Glyph>& expected, const std::vector<Glyph>& printed, std::size_t extra,
                  double scale, const std::string& where) {
    const double dx = kColumnPixels * scale / 2, dy = kRowPixels * scale / 2;
    std::multimap<double, const Glyph*> byY;
    for (const Glyph& g : printed) byY.emplace(g.y, &g);
    int missing = 0;
    for (const Glyph& e : expected) {
        if (e.c == QLatin1Char(' ')) continue;
        bool found = false;
        for (auto it = byY.lower_bound(e.y - dy); it != byY.end() && it->first <= e.y + dy && !found; ++it)
            found = it->second->c == e.c && std::abs(it->second->x - e.x) < dx;
        if (!found && ++missing <= 3)
            ADD_FAILURE() << where << ": '" << QString(e.c).toStdString() << "' at (" << e.x / scale << ", "
                          << e.y / scale << ") not printed there";
    }
    EXPECT_EQ(missing, 0) << where;
    const auto ink = [](const std::vector<Glyph>& gs) {
        return std::count_if(gs.begin(), gs.end(), [](const Glyph& g) { return g.c != QLatin1Char(' '); });
    };
    EXPECT_EQ(std::size_t(ink(printed)), std::size_t(ink(expected)) + extra) << where;
}

// Every rule of `expected` is covered by a printed rule of the same direction, within half a cell.
void ExpectRules(const std::vector<QRectF>& expected, const std::vector<Rule>& printed, double scale,
                 const std::string& where) {
    const double tol = kColumnPixels * scale / 2;
    int missing = 0;
    for (const QRectF& e : expected) {
        const bool found = std::any_of(printed.begin(), printed.end(), [&](const Rule& p) {
            return (p.r.width() >= p.r.height()) == (e.width() >= e.height()) && p.r.left() <= e.left() + tol &&
                   p.r.right() >= e.right() - tol && p.r.top() <= e.top() + tol && p.r.bottom() >= e.bottom() - tol;
        });
        if (!found && ++missing <= 3)
            ADD_FAILURE() << where << ": rule (" << e.x() / scale << ", " << e.y() / scale << ", " << e.width() / scale
                          << " x " << e.height() / scale << ") not printed";
    }
    EXPECT_EQ(missing, 0) << where;
}

// The rules the screen draws: its lines and the underline of its text (not the white fill).
std::vector<QRectF> ScreenRules(const RecordingEngine::Page& screen) {
    std::vector<QRectF> rules;
    for (const Rule& r : screen.rules)
        if (r.r.width() < 1000 && r.r.height() < 5000) rules.push_back(r.r);  // not the white fill
    return rules;
}

void ExpectPrintLikeScreen(ProgramState& state, const char* what) {
    COrvmonView view(state);
    view.SetInkSource(TestInks);
    const RecordingEngine::Page title = RecordScreen(state, view, false);
    const RecordingEngine::Page table = RecordScreen(state, view, true);
    const TableContent content = ContentOf(state.Acquisition.AcquisitionMode, state.Display.DisplayListReady);
    const int rows = DrawnRows(content, state.Display.DisplayTable);
    ASSERT_GT(rows, 0);

    // A4 landscape at 1200 dpi, its printable area.
    const QSizeF page(13040, 9440);
    ScriptedDevice paper(page.toSize(), 1200);
    QPainter painter(&paper);
    const PrintLayout layout = PrintPages(painter, state, view.Inks(), page, [&] { paper.engine.pages.emplace_back(); });
    painter.end();
    const auto& pages = paper.engine.pages;
    ASSERT_EQ(int(pages.size()), layout.pages) << what;
    EXPECT_EQ(layout.pages, (rows + layout.rowsPerPage - 1) / layout.rowsPerPage) << what;
    const double s = layout.scale;

    // The grid is as wide as the page: the widest line of the title pane ends at its right edge.
    double right = 0;
    for (const Glyph& g : title.glyphs) right = std::max(right, g.x + kColumnPixels);
    EXPECT_NEAR(right * s, page.width(), kColumnPixels * s / 2) << what;

    int printedRows = 0;
    for (int p = 0; p < int(pages.size()); ++p) {
        const std::string where = std::string(what) + ", page " + std::to_string(p + 1);
        const int first = layout.FirstRow(p), count = layout.RowsOn(p, rows);
        printedRows += count;
        const double dy = layout.headHeight - kRowPixels * first;  // screen row -> its place on the page
        std::vector<Glyph> expected;
        std::vector<QRectF> rules;
        for (const Glyph& g : title.glyphs) expected.push_back(Placed(g, 0, s));
        for (const QRectF& r : ScreenRules(title)) rules.push_back(Placed(r, 0, s));
        for (const Glyph& g : table.glyphs) {
            const int row = int(std::floor(g.y / kRowPixels));
            if (row >= first && row < first + count) expected.push_back(Placed(g, dy, s));
        }
        for (const QRectF& r : ScreenRules(table)) {
            // The separators of the rows on this page.
            const QRectF part = r & QRectF(r.left(), kRowPixels * first, r.width() + 1, kRowPixels * count);
            if (!part.isEmpty()) rules.push_back(Placed(part, dy, s));
        }
        const QString foot = QStringLiteral("стр. %1 из %2").arg(p + 1).arg(pages.size());
        ExpectGlyphs(expected, pages[size_t(p)].glyphs, std::size_t(foot.size() - foot.count(QLatin1Char(' '))), s, where);
        ExpectRules(rules, pages[size_t(p)].rules, s, where);
        // The foot, and everything, on the page.
        QString printed;
        for (const Glyph& g : pages[size_t(p)].glyphs)
            if (g.y > layout.footY * s) printed += g.c;
        EXPECT_EQ(printed.remove(QLatin1Char(' ')), QString(foot).remove(QLatin1Char(' '))) << where;
        for (const Glyph& g : pages[size_t(p)].glyphs) EXPECT_LE(g.y, page.height()) << where;
    }
    EXPECT_EQ(printedRows, rows) << what;
}

TEST(TablePrint, PagesReadLikeTheScreen) {
    ProgramState parameters;
    FillTable(parameters, 48);
    ExpectPrintLikeScreen(parameters, "parameters");

    ProgramState stream;
    stream.Shell.DeviceState = 0;
    stream.Acquisition.AcquisitionMode = 2;
    stream.Capture.FileChannel = 3;
    stream.Capture.StreamAddress = 0x2000;
    for (int i = 0; i < 512; ++i) stream.Board.BoardImage.Set(uint32_t(0x2000 + i), uint16_t(0x9e37 * i + 0x61ee));
    ExpectPrintLikeScreen(stream, "capture block");
}

// A PDF of 48 rows: two landscape pages (ORV_PRINT_PDF keeps the file for looking at it).
TEST(TablePrint, PdfOfFortyEightRowsHasTwoPages) {
    ProgramState state;
    FillTable(state, 48);
    COrvmonView view(state);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = qEnvironmentVariable("ORV_PRINT_PDF", dir.filePath(QStringLiteral("table.pdf")));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setOutputFileName(pdf);
    ASSERT_TRUE(PrintTable(view, state, printer));
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("/Type /Page\n"), 2);
}

}  // namespace
}  // namespace orv::ui
