#pragma once
// Selecting, starting and restarting the board. The dialogs only ask; these functions do the
// work, in this order for a selection:
//
//   OpenSelectedBoard   open the device; on success release the previous board (refresh timer,
//                       acquisition thread stopped and joined, its event, the old device),
//                       take the new device, ResetBoard, channel counts, settings cleared
//   (channel settings dialog)
//   StartBoard          settings into the board, new event and thread, board start request
//   ClearBoardData      empty stored output frames and displayed parameter list
//
// and for the restart that changes the channel settings of a running board:
//
//   BeginRestart        stop the timer and the acquisition thread, ResetBoard
//   (channel settings dialog)
//   StartBoard
//
// Everything here runs on the user-interface thread.

#include <array>
#include <string>
#include <string_view>

#include "state/program_state.h"

namespace orv {

// The twelve device names in the order the selection dialog adds them.
inline constexpr std::array<std::string_view, 12> kDeviceNames = {
    "arinc12", "arinc11", "arinc10", "arinc22", "arinc21", "arinc20",
    "arinc32", "arinc31", "arinc30", "arinc42", "arinc41", "arinc40"};

// The Windows path of a device ("\\.\" + name). The device provider is handed the plain name;
// the path is what a Windows provider would open.
std::string DevicePath(std::string_view name);

// The name of the event handed to the driver.
inline constexpr const char* kSignalEventName = "SignalEvent4";

// Channel counts from BoardConfigWord: inputs in bits 8-11, outputs in bits 4-7. The tables hold
// eight channels of each kind, so larger counts are taken as 8.
uint16_t InputCountFromConfig(uint16_t configWord);
uint16_t OutputCountFromConfig(uint16_t configWord);

// Starts the refresh timer with RefreshPeriodMs (stopping one that runs); RefreshTimerId is the
// timer's id, or 0 when there is no timer service.
void StartRefreshTimer(ProgramState& state);
// Stops the refresh timer if it runs; RefreshTimerId becomes 0.
void StopRefreshTimer(ProgramState& state);

// Stops and joins the acquisition thread, then releases its event. The thread never runs after
// this returns. Idempotent.
void StopAcquisition(BoardState& board);

// Opens `name` and, if that works, makes it the program's board (see above). False when the
// device cannot be opened: then nothing has changed and a running board keeps running.
bool OpenSelectedBoard(ProgramState& state, std::string_view name);

// Idle mode, the whole board memory read into BoardImage, mask and trace tables cleared (patterns
// and match values kept), refresh timer (re)started.
void ResetBoard(ProgramState& state);

// BoardControlWord bits 0xBE cleared, ChannelSettingWords from ChannelSettings (outputs first,
// bits 0-2 only), a new SignalEvent registered with the driver, a new acquisition thread on it,
// then the board start request. A thread and event of an earlier start are ended first.
void StartBoard(ProgramState& state);

// What a new board makes obsolete: the stored output frames and the displayed parameter list.
void ClearBoardData(ProgramState& state);

// First half of the restart: refresh timer and acquisition thread stopped, then ResetBoard.
// The caller shows the channel settings dialog and then calls StartBoard.
void BeginRestart(ProgramState& state);

// Lets go of the board at program end: timer stopped, thread stopped and joined, event and device
// released, no board selected.
void ReleaseBoard(ProgramState& state);

}  // namespace orv
