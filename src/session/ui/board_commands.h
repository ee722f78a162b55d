#pragma once
// Menu commands of the board: what the main window calls.

#include "state/program_state.h"

class QWidget;

namespace orv::ui {

// "Выбор рабочего устройства": the device selection dialog; after a device was opened, the
// channel settings dialog (whichever way it closes), the board start, and the stored frames and
// displayed list emptied.
void SelectDeviceCommand(QWidget* parent, ProgramState& state);

// "Частоты каналов": refused without a board; after the restart question, the refresh timer and
// acquisition thread stopped, the board reset, the channel settings dialog with the current
// settings, and the board started again.
void ChannelRatesCommand(QWidget* parent, ProgramState& state);

}  // namespace orv::ui
