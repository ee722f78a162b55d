#pragma once
// The commands of the display table that the table pane and the menu call.

class QWidget;

namespace orv {

struct ProgramState;

// The menu command "параметров по всем каналам" (CommandId::ReceiveParams): the list dialog. The
// caller has already warned when no board is selected; without a board the dialog composes, saves
// and restores lists but cannot load them. True when a list was loaded into the table and the board.
bool RunDisplayList(QWidget* parent, ProgramState& state);

// The table pane's "редактировать параметр" (add false: row `row`, which must be used) and
// "добавить параметр" (add true: the first free row, whatever `row` says; a full table shows
// "Отображается 256 параметров."). Runs the displayed-parameter editor and gives the row its
// result; a duplicate address and channel is refused with its message. True when the table
// changed.
bool EditDisplayEntry(QWidget* parent, ProgramState& state, int row, bool add);

// The table pane's "изменить формат параметра" for a used row. True when the format was set.
bool ChangeEntryFormat(QWidget* parent, ProgramState& state, int row);

// The table pane's "очистить формат параметра" is ClearEntryFormat (display/table_ops.h).

}  // namespace orv
