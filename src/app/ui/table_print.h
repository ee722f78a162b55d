#pragma once
// Printing of the table pane (Ctrl+P), landscape unless the engineer chooses otherwise. A printed
// page reads like the screen: the title pane's texts and rules and the column heads at the top of
// every page, then the rows of the table (the used entries, or the 256 words of the capture
// block), every character in its cell of the 7 x 16 grid and every rule where the screen has it,
// the whole grid scaled to the page width, "стр. N из M" at the foot (monitor/print_layout.h).

#include <QSizeF>
#include <functional>

#include "monitor/print_layout.h"
#include "monitor/ui/table_painter.h"

class QPainter;
class QPrinter;
class QWidget;

namespace orv {
struct ProgramState;
}

namespace orv::ui {

class COrvmonView;

// Asks for the printer with the platform print dialog (run through RunModal) and prints. False
// when the dialog was cancelled or the printer could not be started.
bool PrintTableWithDialog(const COrvmonView& view, const ProgramState& state, QWidget* parent);

// Prints on `printer` as set up. False when painting on it could not begin.
bool PrintTable(const COrvmonView& view, const ProgramState& state, QPrinter& printer);

// Draws every page onto `painter`, whose coordinates are those of a page's printable area of
// `page` units; `newPage` is called before each page after the first. Returns the layout used.
PrintLayout PrintPages(QPainter& painter, const ProgramState& state, const InkSource& inks, const QSizeF& page,
                       const std::function<void()>& newPage);

}  // namespace orv::ui
