#pragma once
// The menu command "файла по одному каналу", after the table pane's own no-board refusal.

#include "state/program_state.h"

class QWidget;

namespace orv {

// The input channel chooser, then the file reception dialog for the channel picked. Does nothing
// without a board.
void RunFileReception(QWidget* parent, ProgramState& state);

}  // namespace orv
