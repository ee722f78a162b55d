#include "app/ui/table_print.h"

#include <QDir>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <algorithm>

#include "monitor/table_rows.h"
#include "monitor/ui/COrvmonView.h"
#include "resources/ui/modal.h"

namespace orv::ui {

bool PrintTableWithDialog(const COrvmonView& view, const ProgramState& state, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
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
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    // Screen pixels to printer dots, narrowed to the page when the pane is wider.
    const int width = std::max(view.viewport()->width(), kParameterSeparators.back() + 1);
    const double screenDpi = view.logicalDpiX() > 0 ? view.logicalDpiX() : 96;
    const double scale = std::min(printer.resolution() / screenDpi, double(page.width()) / width);
    // Whole rows on each page.
    const int rowsPerPage = std::max(1, int(page.height() / scale) / kRowPixels);
    const int pageHeight = rowsPerPage * kRowPixels;
    const TableContent content = ContentOf(state.Acquisition.AcquisitionMode, state.Display.DisplayListReady);
    const int bottom = std::max(DrawnRows(content, state.Display.DisplayTable) * kRowPixels,
                                SeparatorBottom(content, state.Display.DisplayTable));
    const int pages = std::max(1, (bottom + pageHeight - 1) / pageHeight);
    for (int p = 0; p < pages; ++p) {
        if (p > 0) printer.newPage();
        const QRect area(0, p * pageHeight, width, pageHeight);
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -area.top());
        painter.setClipRect(area);
        view.DrawTable(painter, area);
        painter.restore();
    }
    return painter.end();
}

}  // namespace orv::ui
