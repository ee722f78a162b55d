#pragma once
// All program-wide state, grouped by subsystem, with the initial values the program starts with.
// One instance is created by main() and handed to the main window; tests create their own (or
// call Reset()) so that every test starts from the program's start-up state.

#include <cstdint>

#include "state/acquisition_state.h"
#include "state/board_state.h"
#include "state/capture_state.h"
#include "state/display_table.h"
#include "state/frame_entry.h"

namespace orv {

// The values of ShellState::DeviceState.
enum DeviceStateValue : int32_t {
    kNoDevice = -1,     // no board selected
    kDeviceStarted = 0, // a board has been opened and started
};

struct ShellState {
    int32_t DeviceState = kNoDevice;  // a DeviceStateValue
    int32_t RefreshPeriodMs = 1000;
    uint32_t RefreshTimerId = 0;   // id of the running refresh timer, 0 when none

    void Reset() { *this = ShellState{}; }
};

struct ProgramState {
    ShellState Shell;
    BoardState Board;
    AcquisitionState Acquisition;
    DisplayState Display;
    TransmitState Transmit;
    CaptureState Capture;

    // Services the program plugs in: where devices are opened and the refresh timer.
    DeviceProvider* Devices = nullptr;
    RefreshTimer* Timer = nullptr;

    ProgramState() = default;
    ProgramState(const ProgramState&) = delete;
    ProgramState& operator=(const ProgramState&) = delete;
    ~ProgramState() { Board.Release(); }

    // Back to the start-up state: the acquisition thread is stopped and joined first.
    void Reset() {
        if (Shell.RefreshTimerId != 0 && Timer) Timer->Stop(Shell.RefreshTimerId);
        Board.Reset();
        Shell.Reset();
        Acquisition.Reset();
        Display.Reset();
        Transmit.Reset();
        Capture.Reset();
    }
};

}  // namespace orv
