#pragma once
// Printing of the table pane: the pane's own drawing routine run on the printer, page by page, at
// the printer's resolution. The table comes out at the size it has on the screen (the screen's
// pixels scaled to the printer's dots), narrowed only when the pane is wider than the page.

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

}  // namespace orv::ui
