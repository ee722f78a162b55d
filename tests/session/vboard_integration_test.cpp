// The board steps, the refresh tick and the acquisition thread against the virtual board.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "session/acquisition.h"
#include "session/board_control.h"
#include "monitor/mask.h"
#include "monitor/row_ink.h"
#include "monitor/table_rows.h"
#include "board_fixture.h"
#include "vboard/arinc_bus.h"
#include "vboard/virtual_board_provider.h"

namespace orv::test {
namespace {

// Starts input channel `c` in parameter reception with the given label control word for every
// label, as loading a displayed list does.
void StartInput(BoardState& board, unsigned c, uint16_t labelControl) {
    BoardImage& image = board.BoardImage;
    for (uint32_t l = 0; l < 256; ++l) image.Set(BoardImage::InputLabelTable + 256 * (c - 1) + l, labelControl);
    image.Set(ControlBlock::InputActiveFlags + (c - 1), 1);
    board.Link.StopChannel(InputChannelCode(c));
    ASSERT_EQ(board.Link.LoadInputChannel(uint16_t(c)), 0);
    // The mode word goes in after the stop, whose reply lands in the same word.
    image.Set(BoardImage::ChannelControlWords + InputChannelCode(c), kInputEnable);
    ASSERT_NE(board.Link.StartInputChannel(uint16_t(c)), 0);
}

// Sends a cyclic frame of 256 words (label k in slot k) on output channel `c`.
void StartOutput(BoardState& board, unsigned c) {
    BoardImage& image = board.BoardImage;
    const uint32_t frame = BoardImage::OutputFrameArea + 512 * (c - 1);
    for (uint32_t k = 0; k < 256; ++k) image.Set32(frame + 2 * k, (0x1234u + c) << 8 | k);
    const uint32_t slots = BoardImage::OutputSlotTable + 256 * (c - 1);
    for (uint32_t k = 0; k < 256; ++k) image.Set(slots + k, 0);
    image.Set(slots + 255, kLastSlotMark);
    board.Link.WriteRange(uint16_t(frame), 512);
    board.Link.StopChannel(OutputChannelCode(c));
    ASSERT_EQ(board.Link.LoadOutputChannel(uint16_t(c)), 0);
    image.Set(BoardImage::ChannelControlWords + OutputChannelCode(c), kOutputEnable);
    ASSERT_NE(board.Link.StartOutputChannel(uint16_t(c)), 0);
}

// Sends `words` once, back to back, on output channel `c`.
void SendOnce(BoardState& board, unsigned c, const std::vector<uint32_t>& words) {
    BoardImage& image = board.BoardImage;
    const uint32_t frame = BoardImage::OutputFrameArea + 512 * (c - 1);
    for (std::size_t k = 0; k < words.size(); ++k) image.Set32(frame + 2 * uint32_t(k), words[k]);
    board.Link.WriteRange(uint16_t(frame), uint16_t(2 * words.size()));
    const uint32_t slots = BoardImage::OutputSlotTable + 256 * (c - 1);
    image.Fill(slots, 256, 0);
    image.Set(slots + uint32_t(words.size()) - 1, kLastSlotMark);
    board.Link.StopChannel(OutputChannelCode(c));
    ASSERT_EQ(board.Link.LoadOutputChannel(uint16_t(c)), 0);
    image.Set(BoardImage::ChannelControlWords + OutputChannelCode(c), kOutputEnable | kOutputOneShot);
    ASSERT_NE(board.Link.StartOutputChannel(uint16_t(c)), 0);
}

void Display(ProgramState& state, int e, uint16_t channel, uint16_t label) {
    DisplayEntry& entry = state.Display.DisplayTable[std::size_t(e)];
    entry.paramLabel = Label8("P");
    entry.channel = channel;
    entry.address = label;
    entry.slot = LabelSlotAddress(channel, label);
    entry.maskMode = 0;
    entry.receivedCycle = 0;
    state.Display.SlotAddresses[std::size_t(e)] = entry.slot;
}

class VirtualBoardTest : public ::testing::Test {
protected:
    void Attach(DeviceProvider& devices) {
        state.Devices = &devices;
        state.Timer = &timer;
    }
    FakeTimer timer;
    ProgramState state;
};

TEST_F(VirtualBoardTest, SmallerBoardSelectionAndSettings) {
    VirtualBoardProvider devices(BoardClock::Manual);
    Attach(devices);
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc21"));
    EXPECT_EQ(state.Board.InputChannelCount, 4);
    EXPECT_EQ(state.Board.OutputChannelCount, 2);
    state.Board.ChannelSettings[1] = 6;
    state.Board.ChannelSettings[9] = 5;
    StartBoard(state);
    VirtualBoard& board = devices.Board(2);
    EXPECT_EQ(board.Word(BoardImage::ChannelSettingWords + 1), 6);
    EXPECT_EQ(board.Word(BoardImage::ChannelSettingWords + 9), 5);
    EXPECT_EQ(board.EventHandle() >= 0, true);

    // The larger board after it; the thread and event of the first are gone.
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
    EXPECT_EQ(state.Board.InputChannelCount, 8);
    EXPECT_EQ(state.Board.OutputChannelCount, 8);
    EXPECT_FALSE(state.Board.AcquisitionThread.Running());
    StartBoard(state);
    EXPECT_EQ(devices.Board(1).Word(BoardImage::ChannelSettingWords + 1), 0);
}

TEST_F(VirtualBoardTest, TickAndThreadOnLoopedFrames) {
    VirtualBoardProvider devices(BoardClock::Manual);
    Attach(devices);
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc12"));
    state.Board.ChannelSettings[0] = 2;
    state.Board.ChannelSettings[8] = 2;
    StartBoard(state);
    BoardState& board = state.Board;

    auto& acq = state.Acquisition;
    acq.MaskLabel[0] = 077;
    acq.MaskOrPattern[0] = 0;
    acq.MaskMatchValue[0] = (0x1235u << 8) | 077;
    acq.MaskActive[0] = 1;
    StartInput(board, 1, 0);
    board.BoardImage.Set(BoardImage::InputLabelTable + 077, kLabelEvent);  // events for 077 only
    board.Link.WriteRange(BoardImage::InputLabelTable + 077, 1);
    StartOutput(board, 1);

    Display(state, 0, 1, 5);
    Display(state, 1, 1, 077);
    state.Display.DisplayTable[1].maskMode = 1;
    Display(state, 2, 2, 5);  // input 2 is not running
    acq.AcquisitionMode = 1;
    acq.CycleCounter = 0;

    devices.Advance(100000);  // 100 ms: one frame takes 256 x 360 us
    // Label 077 sits in slot 63: it arrives once in 100 ms (23 ms, then 115 ms).
    ASSERT_TRUE(WaitUntil([&] { return acq.MaskMatchCount[0].load() >= 1; }));
    RefreshTick(state);
    EXPECT_EQ(state.Display.DisplayTable[0].receivedCycle, 1);
    EXPECT_EQ(state.Display.DisplayTable[1].receivedCycle, 0);  // the thread's
    EXPECT_EQ(state.Display.DisplayTable[2].receivedCycle, 0);
    EXPECT_EQ(board.BoardImage.Get32(LabelSlotAddress(1, 5)), (0x1235u << 8) | 5);
    EXPECT_EQ(devices.Board(1).Word(LabelSlotAddress(1, 5) + 1), 0);  // released

    RefreshTick(state);  // nothing new arrived
    EXPECT_EQ(acq.CycleCounter, 2);
    EXPECT_EQ(state.Display.DisplayTable[0].receivedCycle, 1);

    EXPECT_EQ(acq.TraceValues[0][0], (0x1235u << 8) | 077);
    EXPECT_EQ(acq.TraceIndex[0], 1);
    EXPECT_EQ(acq.MaskMatchCount[0], 1);
}

// Both threads at full speed: the acquisition thread serves an event per word on four looped
// 100 kbit/s channels while the user-interface side ticks over 256 entries and reads the tables.
TEST_F(VirtualBoardTest, ConcurrentTickAndThreadAtFullTraffic) {
    VirtualBoardProvider devices(BoardClock::RealTime);
    Attach(devices);
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
    for (int c = 1; c <= 4; ++c) {
        state.Board.ChannelSettings[std::size_t(c - 1)] = 2;
        state.Board.ChannelSettings[std::size_t(8 + c - 1)] = 2;
    }
    StartBoard(state);
    auto& acq = state.Acquisition;
    for (unsigned c = 1; c <= 4; ++c) {
        acq.MaskLabel[c - 1] = uint16_t(0100 + c);
        acq.MaskMatchValue[c - 1] = ((0x1234u + c) << 8) | (0100 + c);
        acq.MaskActive[c - 1] = 1;
        StartInput(state.Board, c, kLabelEvent);
        StartOutput(state.Board, c);
    }
    for (unsigned c = 5; c <= 8; ++c) StartInput(state.Board, c, 0);
    for (int e = 0; e < kDisplayRows; ++e) Display(state, e, uint16_t(e % 8 + 1), uint16_t(e));
    for (int e = 0; e < kDisplayRows; e += 8) state.Display.DisplayTable[std::size_t(e)].maskMode = 1;
    acq.AcquisitionMode = 1;

    // At least 400 ms of traffic, and on a loaded machine as long as it takes (at most 10 s) until
    // every channel has been served and the looped entries were received.
    auto served = [&] {
        for (int i = 0; i < 4; ++i)
            if (acq.TraceIndex[std::size_t(i)] == 0 || acq.MaskMatchCount[std::size_t(i)] == 0) return false;
        return state.Display.DisplayTable[1].receivedCycle > 0 && state.Display.DisplayTable[3].receivedCycle > 0;
    };
    uint64_t seen = 0;
    const auto start = std::chrono::steady_clock::now();
    const auto end = start + std::chrono::milliseconds(400);
    const auto limit = start + std::chrono::seconds(10);
    for (auto now = start; now < end || (!served() && now < limit); now = std::chrono::steady_clock::now()) {
        RefreshTick(state);
        for (int i = 0; i < kInputChannels; ++i) {
            const uint16_t index = acq.TraceIndex[std::size_t(i)];
            seen += index + uint64_t(acq.MaskMatchCount[std::size_t(i)]);
            if (index > 0) seen += acq.TraceValues[std::size_t(i)][index - 1u] & 1;
        }
        for (int e = 0; e < kDisplayRows; ++e)
            seen += state.Board.BoardImage.Get(state.Display.SlotAddresses[std::size_t(e)]);
    }
    EXPECT_GT(seen, 0u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_GT(acq.TraceIndex[std::size_t(i)], 0) << i;
        EXPECT_GT(acq.MaskMatchCount[std::size_t(i)], 0) << i;
    }
    // Looped channels 2..4 were received through the tick; channel 1's entry 0 is masked.
    EXPECT_GT(state.Display.DisplayTable[1].receivedCycle, 0);
    EXPECT_GT(state.Display.DisplayTable[3].receivedCycle, 0);
    EXPECT_EQ(state.Display.DisplayTable[0].receivedCycle, 0);

    // A new selection in the middle of the traffic ends the busy thread.
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc11"));
    EXPECT_FALSE(state.Board.AcquisitionThread.Running());
    StartBoard(state);
    ReleaseBoard(state);
}

// A label that stops: its row keeps the last complete word, never the half-cleared slot the next
// ticks read, and turns grey once 2 s and 2 ticks have passed; a row never received is grey at once.
TEST_F(VirtualBoardTest, StoppedLabelKeepsItsLastWordAndTurnsGrey) {
    VirtualBoardProvider devices(BoardClock::Manual);
    Attach(devices);
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc12"));
    uint32_t ms = 0;
    state.Board.TickCount = [&ms] { return ms; };
    StartBoard(state);
    StartInput(state.Board, 1, 0);
    Display(state, 0, 1, 0203);
    Display(state, 1, 1, 0212);  // never sent
    state.Acquisition.AcquisitionMode = 1;
    constexpr uint32_t kWord = 0x60034483;  // label 203, high half 0x6003
    SendOnce(state.Board, 1, {kWord});
    devices.Advance(10000);

    RefreshTick(state);
    const auto hex = [&](int row) { return ParameterRowText(state.Display, state.Acquisition, state.Board.BoardImage, row).substr(26, 13); };
    EXPECT_EQ(hex(0), "  0x60034483 ");
    EXPECT_EQ(hex(1), "  0x00000000 ");
    EXPECT_FALSE(RowIsStale(state.Display, state.Acquisition, 0, ms));
    EXPECT_TRUE(RowIsStale(state.Display, state.Acquisition, 1, ms));

    ms = 1000;
    RefreshTick(state);
    ms = 1999;
    RefreshTick(state);
    EXPECT_EQ(state.Board.BoardImage.Get32(LabelSlotAddress(1, 0203)), 0x00004483u);  // released, read again
    EXPECT_EQ(hex(0), "  0x60034483 ");
    EXPECT_EQ(state.Display.DisplayTable[0].receivedCycle, 1);
    EXPECT_FALSE(RowIsStale(state.Display, state.Acquisition, 0, ms));
    ms = 2000;
    EXPECT_TRUE(RowIsStale(state.Display, state.Acquisition, 0, ms));
    EXPECT_EQ(ParameterRowInks(state.Display, state.Acquisition, 0, ms)[0], Ink::Grey);
    ReleaseBoard(state);
}

// A burst of the masked label at the bus limit, played while the thread serves it: every word is
// appended and counted once, in order.
TEST_F(VirtualBoardTest, MaskCountsEveryWordOfABurstOnce) {
    VirtualBoardProvider devices(BoardClock::Manual);
    Attach(devices);
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc12"));
    state.Board.ChannelSettings[0] = 2;
    state.Board.ChannelSettings[8] = 2;
    StartBoard(state);
    StartInput(state.Board, 1, 0);
    Display(state, 0, 1, 077);
    auto& acq = state.Acquisition;
    acq.AcquisitionMode = 1;
    StoreMaskPattern(acq, 0, EncodeMask(""));  // all X: every word counts
    ASSERT_TRUE(SetMask(state.Display, acq, state.Board.Link, 0));

    constexpr int kWords = 250;
    std::vector<uint32_t> words;
    for (uint32_t k = 0; k < kWords; ++k) words.push_back(((k + 1) << 16) | 077);
    SendOnce(state.Board, 1, words);
    // Small steps, so that the board moves on between the thread's event reads and slot reads.
    for (int step = 0; step < kWords * 4; ++step) devices.Advance(WordTimeUs(2) / 4);
    devices.Advance(10000);
    ASSERT_TRUE(WaitUntil([&] { return acq.MaskMatchCount[0].load() >= kWords; }));
    StopAcquisition(state.Board);

    EXPECT_EQ(devices.Board(1).Input(1).received, uint64_t(kWords));
    EXPECT_EQ(acq.MaskMatchCount[0].load(), kWords);
    EXPECT_EQ(acq.TraceIndex[0].load(), kWords);
    for (int k = 0; k < kWords; ++k) EXPECT_EQ(acq.TraceValues[0][std::size_t(k)].load(), words[std::size_t(k)]) << k;
    ReleaseBoard(state);
}

// After each step of the manual clock, AcquisitionIdle says when the thread has served every word
// the step brought: the trace then holds exactly the words sent so far, without waiting for a count.
TEST_F(VirtualBoardTest, IdleAfterAStepMeansEveryWordOfTheStepIsTraced) {
    VirtualBoardProvider devices(BoardClock::Manual);
    Attach(devices);
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc12"));
    state.Board.ChannelSettings[0] = 2;
    state.Board.ChannelSettings[8] = 2;
    StartBoard(state);
    EXPECT_TRUE(AcquisitionIdle(state.Board));
    StartInput(state.Board, 1, 0);
    Display(state, 0, 1, 077);
    auto& acq = state.Acquisition;
    acq.AcquisitionMode = 1;
    StoreMaskPattern(acq, 0, EncodeMask(""));
    ASSERT_TRUE(SetMask(state.Display, acq, state.Board.Link, 0));

    constexpr int kWords = 40;
    std::vector<uint32_t> words;
    for (uint32_t k = 0; k < kWords; ++k) words.push_back(((k + 1) << 16) | 077);
    SendOnce(state.Board, 1, words);
    for (int k = 1; k <= kWords; ++k) {
        devices.Advance(WordTimeUs(2));  // one word a step
        ASSERT_TRUE(WaitUntil([&] { return AcquisitionIdle(state.Board); }));
        const uint64_t received = devices.Board(1).Input(1).received;
        ASSERT_EQ(acq.TraceIndex[0].load(), received) << k;
        ASSERT_EQ(acq.MaskMatchCount[0].load(), int32_t(received)) << k;
    }
    EXPECT_EQ(acq.TraceIndex[0].load(), kWords);
    ReleaseBoard(state);
    EXPECT_TRUE(AcquisitionIdle(state.Board));
}

}  // namespace
}  // namespace orv::test
