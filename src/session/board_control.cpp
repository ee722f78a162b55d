#include "session/board_control.h"

#include "session/acquisition.h"
#include "config/channel_settings.h"

namespace orv {

std::string DevicePath(std::string_view name) {
    std::string path = "\\\\.\\";
    path += name;
    return path;
}

uint16_t InputCountFromConfig(uint16_t configWord) {
    const uint16_t n = uint16_t((configWord >> 8) & 0x0F);
    return n > kInputChannels ? uint16_t(kInputChannels) : n;
}

uint16_t OutputCountFromConfig(uint16_t configWord) {
    const uint16_t n = uint16_t((configWord >> 4) & 0x0F);
    return n > kOutputChannels ? uint16_t(kOutputChannels) : n;
}

void StartRefreshTimer(ProgramState& state) {
    StopRefreshTimer(state);
    if (state.Timer) state.Shell.RefreshTimerId = state.Timer->Start(state.Shell.RefreshPeriodMs);
}

void StopRefreshTimer(ProgramState& state) {
    if (state.Shell.RefreshTimerId != 0 && state.Timer) state.Timer->Stop(state.Shell.RefreshTimerId);
    state.Shell.RefreshTimerId = 0;
}

void StopAcquisition(BoardState& board) {
    board.AcquisitionThread.Stop();  // joined: the handler is not running and never runs again
    board.SignalEvent.reset();
}

bool OpenSelectedBoard(ProgramState& state, std::string_view name) {
    if (!state.Devices) return false;
    std::unique_ptr<Device> device = state.Devices->Open(name);
    if (!device) return false;

    // The previous board: nothing may run on it or reach it any more. The thread is joined before
    // its event goes, and the link is detached before the old device is closed.
    BoardState& board = state.Board;
    StopRefreshTimer(state);
    board.Recorder.reset();
    StopAcquisition(board);
    board.Link.Attach(nullptr);
    board.DeviceHandle = std::move(device);
    board.DeviceName = std::string(name);
    board.Link.Attach(board.DeviceHandle.get());
    state.Shell.DeviceState = kDeviceStarted;

    ResetBoard(state);
    const uint16_t config = board.BoardImage.Get(ControlBlock::BoardConfigWord);
    board.InputChannelCount = InputCountFromConfig(config);
    board.OutputChannelCount = OutputCountFromConfig(config);
    board.ChannelSettings.fill(0);
    return true;
}

void ResetBoard(ProgramState& state) {
    AcquisitionState& acq = state.Acquisition;
    acq.AcquisitionMode = kNoAcquisition;
    state.Board.Link.ReadMemory();
    for (int i = 0; i < kInputChannels; ++i) {
        acq.MaskActive[i] = 0;
        acq.MaskLabel[i] = 0;
        acq.TraceIndex[i] = 0;
        acq.MaskMatchCount[i] = 0;
        for (int k = 0; k < kTraceSlots; ++k) {
            acq.TraceTimes[i][k] = 0;
            acq.TraceValues[i][k] = 0;
        }
    }
    StartRefreshTimer(state);
}

void StartBoard(ProgramState& state) {
    BoardState& board = state.Board;
    if (!board.DeviceHandle) return;
    // A restart ends the recording: the lines it describes are about to be set up anew.
    board.Recorder.reset();
    StopAcquisition(board);

    BoardImage& image = board.BoardImage;
    image.Set(ControlBlock::BoardControlWord,
              uint16_t(image.Get(ControlBlock::BoardControlWord) & ~0x00BEu));
    for (uint32_t i = 0; i < kSettingsPerKind; ++i)
        image.Set(BoardImage::ChannelSettingWords + kSettingsPerKind + i,
                  BoardSettingWord(board.ChannelSettings[kSettingsPerKind + i]));
    for (uint32_t i = 0; i < kSettingsPerKind; ++i)
        image.Set(BoardImage::ChannelSettingWords + i, BoardSettingWord(board.ChannelSettings[i]));

    board.SignalEvent = std::make_unique<SignalEvent>(kSignalEventName);
    board.Link.RegisterEvent(board.SignalEvent->Handle());
    SignalEvent& event = *board.SignalEvent;
    board.AcquisitionThread.Start(event, [&state, &event] { ServeAcquisitionSignal(state, event); });
    board.Link.StartBoard();
}

void ClearBoardData(ProgramState& state) {
    EmptyStoredFrames(state.Transmit.StoredFrames);
    state.Display.DisplayTable[0].MarkFree();
    state.Display.SlotAddresses.fill(0);  // no entry is in use any more
}

void BeginRestart(ProgramState& state) {
    StopRefreshTimer(state);
    StopAcquisition(state.Board);
    ResetBoard(state);
}

void ReleaseBoard(ProgramState& state) {
    StopRefreshTimer(state);
    state.Board.Release();
    state.Shell.DeviceState = kNoDevice;
}

}  // namespace orv
