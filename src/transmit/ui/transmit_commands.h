#pragma once
// The menu command "Выдача", after the table pane's own no-board warning.

#include "state/program_state.h"

class QWidget;

namespace orv {

// With a board: the output channel chooser, then the frame dialog for the channel picked. Without
// a board: the frame dialog without channel (compose, save and restore only).
void RunTransmit(QWidget* parent, ProgramState& state);

}  // namespace orv
