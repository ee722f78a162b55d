#include "session/board_control.h"

#include <gmock/gmock.h>

#include <thread>

#include "board_fixture.h"

namespace orv::test {
namespace {

using ::testing::ElementsAre;

TEST(DeviceNames, PathAndCounts) {
    EXPECT_EQ(DevicePath("arinc10"), std::string("\\\\.\\arinc10"));
    EXPECT_EQ(DevicePath("arinc10").size(), 4u + 7u);
    EXPECT_EQ(InputCountFromConfig(0x0840), 8);
    EXPECT_EQ(OutputCountFromConfig(0x0840), 4);
    EXPECT_EQ(InputCountFromConfig(0x0420), 4);
    EXPECT_EQ(OutputCountFromConfig(0x0420), 2);
    // Other bits do not leak into the counts; more than eight is taken as eight.
    EXPECT_EQ(InputCountFromConfig(0xF30F), 3);
    EXPECT_EQ(OutputCountFromConfig(0xF30F), 0);
    EXPECT_EQ(InputCountFromConfig(0x0F00), 8);
    EXPECT_EQ(OutputCountFromConfig(0x00F0), 8);
}

TEST_F(BoardTest, SelectionReadsBoardAndStartsWithSettings) {
    state.Board.ChannelSettings.fill(0x0007);
    state.Acquisition.AcquisitionMode = 1;
    state.Acquisition.MaskActive[2] = 1;
    state.Acquisition.MaskLabel[2] = 0x33;
    state.Acquisition.MaskMatchCount[2] = 9;
    state.Acquisition.TraceIndex[2] = 17;
    state.Acquisition.TraceValues[2][16] = 0xABCD;
    state.Acquisition.TraceTimes[7][255] = 1234;
    state.Acquisition.MaskOrPattern[2] = 0xF0;
    state.Acquisition.MaskMatchValue[2] = 0xF1;

    ASSERT_TRUE(OpenSelectedBoard(state, "arinc11"));
    EXPECT_THAT(provider.OpenedNames(), ElementsAre("arinc11"));
    EXPECT_THAT(Device().Codes(), ElementsAre(kReadMemory));
    EXPECT_EQ(state.Shell.DeviceState, 0);
    EXPECT_EQ(state.Board.InputChannelCount, 8);
    EXPECT_EQ(state.Board.OutputChannelCount, 4);
    for (uint16_t w : state.Board.ChannelSettings) EXPECT_EQ(w, 0);
    EXPECT_EQ(state.Acquisition.AcquisitionMode, 0);
    EXPECT_EQ(state.Acquisition.MaskActive[2], 0);
    EXPECT_EQ(state.Acquisition.MaskLabel[2], 0);
    EXPECT_EQ(state.Acquisition.MaskMatchCount[2], 0);
    EXPECT_EQ(state.Acquisition.TraceIndex[2], 0);
    EXPECT_EQ(state.Acquisition.TraceValues[2][16], 0u);
    EXPECT_EQ(state.Acquisition.TraceTimes[7][255], 0u);
    EXPECT_EQ(state.Acquisition.MaskOrPattern[2], 0xF0u);  // patterns are kept
    EXPECT_EQ(state.Acquisition.MaskMatchValue[2], 0xF1u);
    EXPECT_NE(state.Shell.RefreshTimerId, 0u);
    EXPECT_THAT(timer.running, ElementsAre(state.Shell.RefreshTimerId));
    EXPECT_THAT(timer.periods, ElementsAre(1000));
    EXPECT_FALSE(state.Board.AcquisitionThread.Running());

    // The dialog's edits: input 3 at 100 without parity check, output 1 at 50 to even parity,
    // and a word with stray high bits that only reach the board as bits 0-2.
    state.Board.ChannelSettings[2] = 6;
    state.Board.ChannelSettings[8] = 5;
    state.Board.ChannelSettings[15] = 0xFFF6;
    StartBoard(state);

    EXPECT_THAT(Device().Codes(), ElementsAre(kReadMemory, kRegisterEvent, kStartBoard));
    const auto reg = RequestsOf(Device(), kRegisterEvent).at(0);
    ASSERT_EQ(reg.input.size(), 4u);
    ASSERT_NE(state.Board.SignalEvent, nullptr);
    EXPECT_EQ(state.Board.SignalEvent->Name(), "SignalEvent4");
    const int handle = state.Board.SignalEvent->Handle();
    EXPECT_EQ(reg.input, SlotReply(uint32_t(handle)));
    EXPECT_TRUE(state.Board.AcquisitionThread.Running());

    const auto start = RequestsOf(Device(), kStartBoard).at(0);
    ASSERT_EQ(start.input.size(), 8706u);
    EXPECT_EQ(start.outputLength, 16u);
    EXPECT_EQ(start.InputWord(2 * 2), 6);
    EXPECT_EQ(start.InputWord(2 * 8), 5);
    EXPECT_EQ(start.InputWord(2 * 15), 6);
    EXPECT_EQ(start.InputWord(0), 0);
    EXPECT_EQ(start.InputWord(2 * ControlBlock::BoardControlWord), 0xFF41);  // 0xFFFF & ~0xBE
}

TEST_F(BoardTest, OpenFailureLeavesRunningBoardAlone) {
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
    StartBoard(state);
    ScriptedDevice& running = Device();
    const orv::Device* handle = state.Board.DeviceHandle.get();
    const uint32_t timerId = state.Shell.RefreshTimerId;
    const std::size_t requests = running.Requests().size();

    EXPECT_FALSE(OpenSelectedBoard(state, "arinc42"));  // no such device
    EXPECT_EQ(provider.Opened().size(), 1u);
    EXPECT_EQ(state.Board.DeviceHandle.get(), handle);
    EXPECT_EQ(state.Shell.DeviceState, 0);
    EXPECT_EQ(state.Shell.RefreshTimerId, timerId);
    EXPECT_TRUE(timer.stopped.empty());
    EXPECT_TRUE(state.Board.AcquisitionThread.Running());
    EXPECT_NE(state.Board.SignalEvent, nullptr);
    EXPECT_EQ(running.Requests().size(), requests);
    EXPECT_TRUE(state.Board.Link.Attached());

    // Without a provider nothing can be opened either.
    state.Devices = nullptr;
    EXPECT_FALSE(OpenSelectedBoard(state, "arinc10"));
    EXPECT_EQ(state.Board.DeviceHandle.get(), handle);
}

TEST_F(BoardTest, FirstOpenFailureKeepsNoBoard) {
    EXPECT_FALSE(OpenSelectedBoard(state, "arinc30"));
    EXPECT_EQ(state.Shell.DeviceState, -1);
    EXPECT_EQ(state.Shell.RefreshTimerId, 0u);
    EXPECT_TRUE(timer.periods.empty());
}

// A new selection while the old acquisition thread is busy serving an endless event stream: the
// thread is stopped and joined before anything touches the new board, and never reaches it.
TEST_F(BoardTest, NewSelectionEndsBusyThreadBeforeNewBoard) {
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
    ScriptedDevice& first = Device();
    first.SetReplyWord(kReadEvents, 0x0001);  // always another event
    first.SetReply(kReadSlot, SlotReply(0x12345678));
    StartBoard(state);
    state.Acquisition.MaskActive[0] = 1;
    const uint32_t oldTimer = state.Shell.RefreshTimerId;
    SignalEvent::SignalHandle(state.Board.SignalEvent->Handle());
    ASSERT_TRUE(WaitUntil([&] { return first.Count(kReadSlot) > 3; }));

    ASSERT_TRUE(OpenSelectedBoard(state, "arinc20"));
    ScriptedDevice& second = Device();
    ASSERT_NE(&first, &second);
    EXPECT_FALSE(state.Board.AcquisitionThread.Running());
    EXPECT_EQ(state.Board.SignalEvent, nullptr);
    EXPECT_THAT(timer.stopped, ElementsAre(oldTimer));
    EXPECT_EQ(timer.running.size(), 1u);
    EXPECT_EQ(provider.LiveDevices(), 1);  // the old device is closed
    const std::size_t oldRequests = first.Requests().size();
    StartBoard(state);
    EXPECT_THAT(second.Codes(), ElementsAre(kReadMemory, kRegisterEvent, kStartBoard));
    EXPECT_EQ(first.Requests().size(), oldRequests);
}

TEST_F(BoardTest, TenSelectionsLeakNothing) {
    // A sanitizer runtime starts its own helper thread with the first thread of the process: start
    // and end one before counting.
    std::thread([] {}).join();
    const int fds = OpenDescriptors();
    const int threads = ThreadCount();
    for (int i = 0; i < 10; ++i) {
        ASSERT_TRUE(OpenSelectedBoard(state, i % 2 ? "arinc11" : "arinc21"));
        StartBoard(state);
        ClearBoardData(state);
        SignalEvent::SignalHandle(state.Board.SignalEvent->Handle());  // keep the thread busy
    }
    EXPECT_EQ(provider.Opened().size(), 10u);
    EXPECT_EQ(provider.LiveDevices(), 1);
    EXPECT_EQ(timer.running.size(), 1u);
    EXPECT_EQ(timer.stopped.size(), 9u);
    EXPECT_EQ(OpenDescriptors(), fds + 1);  // the current event
    EXPECT_EQ(ThreadCount(), threads + 1);  // the current acquisition thread

    ReleaseBoard(state);
    EXPECT_EQ(provider.LiveDevices(), 0);
    EXPECT_TRUE(timer.running.empty());
    EXPECT_EQ(state.Shell.RefreshTimerId, 0u);
    EXPECT_EQ(state.Shell.DeviceState, -1);
    EXPECT_EQ(OpenDescriptors(), fds);
    EXPECT_EQ(ThreadCount(), threads);
}

TEST_F(BoardTest, ClearBoardDataEmptiesFramesAndList) {
    for (auto& frame : state.Transmit.StoredFrames)
        for (auto& e : frame) e.endFlag = 0;
    for (int i = 0; i < 5; ++i) {
        state.Display.DisplayTable[i].paramLabel = Label8("P");
        state.Display.SlotAddresses[i] = uint16_t(0x4000 + 2 * i);
    }
    ClearBoardData(state);
    EXPECT_EQ(UsedEntries(state.Display.DisplayTable), 0);
    for (uint16_t s : state.Display.SlotAddresses) EXPECT_EQ(s, 0);
    for (const auto& frame : state.Transmit.StoredFrames)
        for (const auto& e : frame) ASSERT_EQ(e.endFlag, 1);
}

TEST_F(BoardTest, RestartKeepsSettingsAndRestartsEverything) {
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc12"));
    state.Board.ChannelSettings[0] = 2;
    state.Board.ChannelSettings[9] = 4;
    StartBoard(state);
    state.Acquisition.MaskActive[0] = 1;
    state.Acquisition.AcquisitionMode = 1;
    state.Shell.RefreshPeriodMs = 250;
    const uint32_t oldTimer = state.Shell.RefreshTimerId;
    Device().Clear();

    BeginRestart(state);
    EXPECT_FALSE(state.Board.AcquisitionThread.Running());
    EXPECT_EQ(state.Board.SignalEvent, nullptr);
    EXPECT_THAT(timer.stopped, ElementsAre(oldTimer));
    EXPECT_EQ(timer.running.size(), 1u);
    EXPECT_NE(state.Shell.RefreshTimerId, oldTimer);
    EXPECT_EQ(timer.periods.back(), 250);
    EXPECT_EQ(state.Acquisition.AcquisitionMode, 0);
    EXPECT_EQ(state.Acquisition.MaskActive[0], 0);
    EXPECT_EQ(state.Board.ChannelSettings[0], 2);
    StartBoard(state);
    EXPECT_THAT(Device().Codes(), ElementsAre(kReadMemory, kRegisterEvent, kStartBoard));
    const auto start = RequestsOf(Device(), kStartBoard).at(0);
    EXPECT_EQ(start.InputWord(0), 2);
    EXPECT_EQ(start.InputWord(2 * 9), 4);
    EXPECT_EQ(provider.Opened().size(), 1u);
}

}  // namespace
}  // namespace orv::test
