#include "app/ui/table_print.h"

#include <QDir>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "monitor/table_rows.h"
#include "monitor/ui/COrvmonView.h"
#include "monitor/ui/CTitleView.h"
#include "resources/ui/grid_font.h"
#include "resources/ui/modal.h"

namespace orv::ui {
namespace {

// The texts and rules of the title pane, as the pane places them.
void PrintTitle(QPainter& painter, const TitleDrawing& title) {
    painter.setFont(GridFont());
    painter.setPen(Qt::black);
    for (const PlacedText& t : title.texts) DrawGridText(painter, t.x, t.y, t.text);
    for (const PlacedLine& l : title.lines) painter.drawLine(l.x1, l.y1, l.x2, l.y2);
}

// Row `row` of the table at grid y `y`: its characters cell by cell and, where the screen's
// underlined font draws a rule under each run of one ink, that rule in that ink.
void PrintRow(QPainter& painter, int row, int y, const PaneRow& paneRow, const GridRule& rule) {
    painter.save();
    painter.translate(0, y - kRowPixels * row);
    DrawPaneRow(painter, row, paneRow);
    painter.restore();
    const std::size_t n = std::min(paneRow.text.size(), paneRow.inks.size());
    for (std::size_t i = 0; i < n;) {
        std::size_t j = i;
        while (j < n && paneRow.inks[j] == paneRow.inks[i]) ++j;
        painter.fillRect(QRect(kColumnPixels * (paneRow.column + int(i)), y + rule.top, kColumnPixels * int(j - i),
                               rule.thickness),
                         QColor::fromRgb(QRgb(0xFF000000u | kInkRgb[std::size_t(paneRow.inks[i])])));
        i = j;
    }
}

}  // namespace

bool PrintTableWithDialog(const COrvmonView& view, const ProgramState& state, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    // The table is wider than high: landscape unless the engineer turns the page in the dialog.
    printer.setPageOrientation(QPageLayout::Landscape);
    // On a machine without a printer the dialog offers printing to a PDF file, by default in the
    // program's working directory (the dialog would take a bare name as one in the home folder).
    if (QPrinterInfo::availablePrinters().isEmpty() && printer.outputFileName().isEmpty())
        printer.setOutputFileName(QDir::current().absoluteFilePath(QStringLiteral("orvmon.pdf")));
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (RunModal(dialog) != QDialog::Accepted) return false;
    return PrintTable(view, state, printer);
}

bool PrintTable(const COrvmonView& view, const ProgramState& state, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    PrintPages(painter, state, view.Inks(), page.size(), [&printer] { printer.newPage(); });
    return painter.end();
}

PrintLayout PrintPages(QPainter& painter, const ProgramState& state, const InkSource& inks, const QSizeF& page,
                       const std::function<void()>& newPage) {
    const TableContent content = ContentOf(state.Acquisition.AcquisitionMode, state.Display.DisplayListReady);
    const bool rows = content == TableContent::Parameters || content == TableContent::Stream;
    const int rowCount = rows ? DrawnRows(content, state.Display.DisplayTable) : 0;
    const int bottom = rows ? SeparatorBottom(content, state.Display.DisplayTable) : 0;
    const TitleDrawing title = CTitleView::DrawingOf(state);
    // The table's rows and the rule at the right of its last column (one pixel wide).
    const int tableWidth = content == TableContent::Parameters ? kParameterSeparators.back() + 1
                                                               : kStreamSeparators.back() + 1;
    const PrintLayout layout = LayoutPrint(page.width(), page.height(), PrintGridWidth(title, tableWidth), rowCount);
    const GridRule rule = GridUnderline(GridFont(true));
    const uint32_t now = rows ? state.Board.TickCount() : 0;

    for (int p = 0; p < layout.pages; ++p) {
        if (p > 0 && newPage) newPage();
        painter.save();
        painter.scale(layout.scale, layout.scale);
        PrintTitle(painter, title);
        const int first = layout.FirstRow(p);
        const int count = layout.RowsOn(p, rowCount);
        if (count > 0) {
            painter.setFont(GridFont());
            for (int r = first; r < first + count; ++r)
                PrintRow(painter, r, layout.RowY(r), RowOfPane(state, content, r, inks, now), rule);
            // The separators of these rows, from the head down.
            painter.save();
            painter.translate(0, layout.headHeight - kRowPixels * first);
            DrawSeparators(painter, content, bottom, QRect(0, kRowPixels * first, layout.gridWidth, kRowPixels * count + 1));
            painter.restore();
        }
        painter.setFont(GridFont());
        painter.setPen(Qt::black);
        const std::string foot = PageFootText(p, layout.pages);
        const int column = std::max(0, (layout.gridWidth / kColumnPixels - int(foot.size())) / 2);
        DrawGridText(painter, kColumnPixels * column, layout.footY, foot);
        painter.restore();
    }
    return layout;
}

}  // namespace orv::ui
