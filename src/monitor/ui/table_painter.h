#pragma once
// What the table pane draws, and the direct way of drawing it onto any painter at any scale (the
// pane's reference picture; printing draws through it too). The pane itself paints from a cache of
// character cells that gives the same pixels (row_painter.h).

#include <QRect>
#include <functional>
#include <string>
#include <vector>

#include "state/program_state.h"
#include "monitor/row_ink.h"
#include "monitor/shown_table.h"
#include "monitor/table_rows.h"

class QPainter;

namespace orv::ui {

// The ink of each character of a parameter row; ParameterRowInks unless a test supplies another.
using InkSource = std::function<RowInks(const DisplayState&, const AcquisitionState&, int row, uint32_t nowMs)>;

// One row of the pane: its text (Windows-1251) from character column `column`, and the ink of each
// character (parameter rows take theirs from the ink source; stream rows are black).
struct PaneRow {
    int column = 0;
    std::string text;
    RowInks inks{};
};

// A parameter row's text comes from `shown` when given and its entry is still the table's (what
// the last refresh froze, so the pane and the table export agree), else from the state as it stands.
PaneRow RowOfPane(const ProgramState& state, TableContent content, int row, const InkSource& inks,
                  uint32_t nowMs, const ShownTable* shown = nullptr);

// The text of a frozen row is a function of its entry, word and mask count alone. A pane keeps the
// last text of each row with what it was made from, so a tick builds only the rows that changed.
struct RowTextMemo {
    DisplayEntry entry;
    ArincWord word = 0;
    int32_t maskCount = 0;
    bool valid = false;
    std::string text;
};
// RowOfPane with the frozen rows' texts kept in `memo` (one element per row, grown as needed).
PaneRow RowOfPane(const ProgramState& state, TableContent content, int row, const InkSource& inks,
                  uint32_t nowMs, const ShownTable* shown, std::vector<RowTextMemo>& memo);

// The rows that reach into document rectangle `area` (rows first..last), -1 / -2 when none.
struct RowSpan {
    int first = -1;
    int last = -2;
};
RowSpan RowsIn(const ProgramState& state, TableContent content, const QRect& area);

// Draws the rows and separators of the table that reach into document rectangle `area`, in
// document coordinates (the caller translates and scales the painter), on whatever background the
// painter already has. Draws nothing while the pane is white or the table is being rewritten.
void DrawTableArea(QPainter& painter, const ProgramState& state, const QRect& area, const InkSource& inks,
               uint32_t nowMs, const ShownTable* shown = nullptr);
// One row as DrawTableArea draws it: each run of one ink is one line of text, runs left to right.
void DrawPaneRow(QPainter& painter, int row, const PaneRow& paneRow);
// The separators of the content, drawn over the rows: whole, or only their part inside document
// rectangle `area` (the same pixels there).
void DrawSeparators(QPainter& painter, const ProgramState& state, TableContent content);
// `bottom` is SeparatorBottom of the content.
void DrawSeparators(QPainter& painter, TableContent content, int bottom, const QRect& area);

}  // namespace orv::ui
