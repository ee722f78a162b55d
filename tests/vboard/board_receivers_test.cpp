// The receivers of the virtual board, driven through its requests on the manual clock: label
// slots and their release, events and receive queues, rate classes, parity, file reception.
#include <fcntl.h>

#include <cerrno>

#include "driver/signal_event.h"
#include "vboard/board_fixture.h"

namespace orv::test {
namespace {

constexpr uint32_t kA = 0x60001241;  // label 101
constexpr uint32_t kB = 0x20345642;  // label 102

TEST_F(VirtualBoardTest, LoopbackFillsLabelSlotsAndReleaseHidesTheWordUntilItComesAgain) {
    StartBoard();
    ASSERT_EQ(StartInput(1, 0x0500), 1);
    ASSERT_EQ(StartFrame(1, {kA, kB}, true), 1);
    EXPECT_EQ(Slot(1, 0101), 0u);
    provider.Advance(kSlowArrival);  // the first word has just arrived
    EXPECT_EQ(Slot(1, 0101), kA);  // parity checked, bit 32 reads 0
    EXPECT_EQ(Slot(1, 0102), 0u);
    provider.Advance(kSlow);
    EXPECT_EQ(Slot(1, 0102), kB);
    // Inputs without a wire to the output hear nothing of it.
    EXPECT_EQ(Board().Input(2).received, 0u);

    link.ReleaseSlot(LabelSlotAddress(1, 0101));
    EXPECT_EQ(Slot(1, 0101), kA & 0xFFFF);  // the high half reads 0, the low half stays
    provider.Advance(kSlow - 1);            // label 101 is due again one microsecond later
    EXPECT_EQ(Slot(1, 0101) >> 16, 0u);
    provider.Advance(1);
    EXPECT_EQ(Slot(1, 0101), kA);

    // A release outside the receive area is refused and leaves the memory as it was.
    const std::vector<uint16_t> before = Board().Memory();
    link.ReleaseSlot(0x5000);
    link.ReleaseSlot(0x4FFF);
    link.ReleaseSlot(0x4001);
    EXPECT_EQ(Board().Memory(), before);
}

TEST_F(VirtualBoardTest, EventLabelsRaiseTheChannelBitOnceAndSignalTheEvent) {
    SignalEvent event("SignalEvent4");
    EXPECT_EQ(link.RegisterEvent(event.Handle()), 0);
    StartBoard();
    // Channel 2 loops from output 2; only label 102 carries the event bit.
    ASSERT_EQ(StartInput(2, 0x0500, {{0102, uint16_t(0x8000 + 512 + 2 * 0102)}}), 1);
    ASSERT_EQ(StartFrame(2, {kA}, true), 1);
    provider.Advance(20 * kSlow);
    EXPECT_FALSE(event.IsSet());
    EXPECT_EQ(link.ReadEvents(), 0);

    // A mask set on the running channel: one label table word written.
    const uint32_t word = BoardImage::InputLabelTable + 256 + 0101;
    image.Set(word, uint16_t(0x8000 + 512 + 2 * 0101));
    link.WriteRange(uint16_t(word), 1);
    provider.Advance(kSlow);
    EXPECT_TRUE(event.IsSet());
    event.Reset();
    EXPECT_EQ(link.ReadEvents(), 0x0002);
    EXPECT_EQ(link.ReadEvents(), 0x0002);  // the word waits behind its slot until it is read
    EXPECT_EQ(link.ReadSlot(2, LabelSlotAddress(2, 0101)), kA);
    EXPECT_EQ(link.ReadEvents(), 0);  // read once, reported no more

    // Events pending at the end of handling keep the event signalled.
    provider.Advance(kSlow);
    event.Reset();
    link.EndEventHandling();
    EXPECT_TRUE(event.IsSet());
    EXPECT_EQ(link.ReadEvents(), 0x0002);
    EXPECT_EQ(link.ReadSlot(2, LabelSlotAddress(2, 0101)), kA);
    event.Reset();
    link.EndEventHandling();
    EXPECT_FALSE(event.IsSet());

    // Registering again closes the board's previous duplicate; a bad handle keeps the current one.
    const int first = Board().EventHandle();
    ASSERT_GE(first, 0);
    SignalEvent second("SignalEvent4");
    EXPECT_EQ(link.RegisterEvent(second.Handle()), 0);
    errno = 0;
    EXPECT_EQ(fcntl(first, F_GETFD), -1);
    EXPECT_EQ(errno, EBADF);
    EXPECT_NE(link.RegisterEvent(-1), 0);
    EXPECT_NE(link.RegisterEvent(1), 0);  // a descriptor that is no event
    provider.Advance(kSlow);
    EXPECT_TRUE(second.IsSet());
    EXPECT_FALSE(event.IsSet());
}

TEST_F(VirtualBoardTest, ReportedLabelQueuesEveryArrivalInOrderAndLosesOnlyWhatOverflows) {
    SignalEvent event("SignalEvent4");
    ASSERT_EQ(link.RegisterEvent(event.Handle()), 0);
    std::array<uint16_t, 16> settings{};
    settings[0] = 2;  // 100 kbit/s: back to back at the bus limit
    settings[8] = 2;
    StartBoard(settings);
    ASSERT_EQ(StartInput(1, 0x0500, {{0101, uint16_t(0x8000 + 2 * 0101)}}), 1);
    std::vector<uint32_t> frame;
    for (uint32_t k = 0; k < 200; ++k) frame.push_back(((k + 1) << 16) | 0101);
    ASSERT_EQ(StartFrame(1, frame, true), 1);

    // 300 arrivals while nobody reads: the first 256 wait, 44 are lost and counted.
    provider.Advance(300 * WordTimeUs(2));
    EXPECT_EQ(Board().Input(1).received, 300u);
    EXPECT_EQ(Board().Input(1).overflowed, 44u);
    EXPECT_TRUE(event.IsSet());
    std::vector<uint32_t> read;
    while ((link.ReadEvents() & 1) != 0) read.push_back(Slot(1, 0101));
    ASSERT_EQ(read.size(), 256u);
    for (std::size_t k = 0; k < read.size(); ++k) EXPECT_EQ(read[k], frame[k % 200]) << k;
    // The slot keeps the last word read; reading it again takes nothing off any queue.
    EXPECT_EQ(Slot(1, 0101), frame[55]);
    EXPECT_EQ(link.ReadEvents(), 0);

    // Words that wait when the label stops being reported are dropped with the report.
    provider.Advance(3 * WordTimeUs(2));
    EXPECT_EQ(Board().PendingEvents(), 0x0001);
    image.Set(BoardImage::InputLabelTable + 0101, 2 * 0101);
    link.WriteRange(uint16_t(BoardImage::InputLabelTable + 0101), 1);
    EXPECT_EQ(link.ReadEvents(), 0);
    provider.Advance(WordTimeUs(2));  // unreported words go straight into the slot again
    EXPECT_EQ(Slot(1, 0101), frame[(300 + 3) % 200]);
}

// A label stops being reported the moment its table word stops asking for it, even when its
// arrival was already read or never queued (file reception): a reader that reads the events
// until they read 0 is not held by a label nobody serves any more.
TEST_F(VirtualBoardTest, ALabelNoLongerReportedIsNotReportedAtAll) {
    StartBoard();
    const auto setReport = [&](unsigned ch, unsigned label, bool on) {
        const uint32_t word = BoardImage::InputLabelTable + 256 * (ch - 1) + label;
        image.Set(word, on ? kLabelEvent : 0);
        link.WriteRange(uint16_t(word), 1);
    };
    // Parameter reception: the arrival was read off its queue, its report still pending.
    ASSERT_EQ(StartInput(1, 0x0500, {{0101, kLabelEvent}, {0102, kLabelEvent}}), 1);
    ASSERT_EQ(StartFrame(1, {kA, kB}, true), 1);
    provider.Advance(kSlowArrival);
    EXPECT_EQ(Slot(1, 0101), kA);
    EXPECT_EQ(Board().PendingEvents(), 0x0001);
    setReport(1, 0101, false);
    EXPECT_EQ(Board().PendingEvents(), 0);
    EXPECT_EQ(link.ReadEvents(), 0);
    // A label still reported keeps the channel reported.
    provider.Advance(kSlow);
    EXPECT_EQ(Board().PendingEvents(), 0x0001);
    setReport(1, 0101, true);
    setReport(1, 0101, false);
    EXPECT_EQ(link.ReadEvents(), 0x0001);
    EXPECT_EQ(Slot(1, 0102), kB);
    EXPECT_EQ(link.ReadEvents(), 0);

    // File reception: no queue, only the arrival.
    ASSERT_EQ(StartInput(2, 0x8700, {{0101, kLabelEvent}}), 1);
    ASSERT_EQ(StartFrame(2, {kA}, true), 1);
    provider.Advance(kSlowArrival);
    EXPECT_EQ(Board().PendingEvents(), 0x0002);
    setReport(2, 0101, false);
    EXPECT_EQ(Board().PendingEvents(), 0);
}

TEST_F(VirtualBoardTest, ReceiverHearsOnlyItsOwnRateClass) {
    // Output 1 at 100 kbit/s, input 1 at 36..60 kbit/s: nothing arrives.
    std::array<uint16_t, 16> settings{};
    settings[0] = 1;
    settings[8] = 2;
    StartBoard(settings);
    ASSERT_EQ(StartInput(1, 0x0500), 1);
    ASSERT_EQ(StartFrame(1, {kA}, true), 1);
    provider.Advance(100 * WordTimeUs(2));
    EXPECT_EQ(Board().OutputWordsSent(1), 100u);
    EXPECT_EQ(Board().Input(1).received, 0u);
    EXPECT_EQ(Board().Input(1).rateMismatched, 100u);
    EXPECT_EQ(Slot(1, 0101), 0u);

    settings[0] = 2;
    StartBoard(settings);
    ASSERT_EQ(StartInput(1, 0x0500), 1);
    ASSERT_EQ(StartFrame(1, {kA}, true), 1);
    provider.Advance(100 * WordTimeUs(2));
    EXPECT_EQ(Board().Input(1).received, 100u);
    EXPECT_EQ(Slot(1, 0101), kA);

    // Rate code 3 is no rate: the output sends nothing.
    settings[0] = 3;
    settings[8] = 3;
    StartBoard(settings);
    ASSERT_EQ(StartInput(1, 0x0500), 1);
    ASSERT_EQ(StartFrame(1, {kA}, true), 1);
    provider.Advance(100 * WordTimeUs(2));
    EXPECT_EQ(Board().OutputWordsSent(1), 200u);
    EXPECT_EQ(Board().Input(1).received, 100u);
}

TEST_F(VirtualBoardTest, ParityIsCompletedByTheOutputAndCheckedByTheInput) {
    constexpr uint32_t kOddOnes = 0x60001243;   // 7 one bits
    constexpr uint32_t kEvenOnes = 0x60001241;  // 6 one bits
    // Output completes to even parity, input checks: every word is dropped and counted.
    std::array<uint16_t, 16> settings{};
    settings[8] = 4;
    StartBoard(settings);
    ASSERT_EQ(StartInput(1, 0x0500), 1);
    ASSERT_EQ(StartFrame(1, {kOddOnes, kEvenOnes}, true), 1);
    provider.Advance(10 * kSlow);
    EXPECT_EQ(Board().Input(1).parityDropped, 10u);
    EXPECT_EQ(Board().Input(1).received, 0u);
    EXPECT_EQ(Slot(1, 0103), 0u);

    // Check off: the words arrive with the even-parity bit 32 the output put in.
    settings[0] = 4;
    StartBoard(settings);
    ASSERT_EQ(StartInput(1, 0x0500), 1);
    ASSERT_EQ(StartFrame(1, {kOddOnes, kEvenOnes}, true), 1);
    provider.Advance(2 * kSlow);
    EXPECT_EQ(Slot(1, 0103), kOddOnes | 0x80000000u);
    EXPECT_EQ(Slot(1, 0101), kEvenOnes);

    // Odd completion, check on: accepted, bit 32 reads 0.
    StartBoard();
    ASSERT_EQ(StartInput(1, 0x0500), 1);
    ASSERT_EQ(StartFrame(1, {kOddOnes, kEvenOnes}, true), 1);
    provider.Advance(2 * kSlow);
    EXPECT_EQ(Slot(1, 0103), kOddOnes);
    EXPECT_EQ(Slot(1, 0101), kEvenOnes);
    EXPECT_EQ(Board().Input(1).parityDropped, 10u);
}

TEST_F(VirtualBoardTest, FileReceptionWrapsAfter256WordsAndStopsOnTheStopLabel) {
    StartBoard();
    std::vector<uint32_t> frame;
    for (uint32_t k = 0; k < 200; ++k) frame.push_back(0x60000000u | (k << 10) | (k & 0xFF));
    ASSERT_EQ(StartInput(1, 0x8700), 1);
    ASSERT_EQ(StartFrame(1, frame, true), 1);
    provider.Advance(299 * kSlow + kSlowArrival);  // exactly 300 words
    EXPECT_EQ(Board().Input(1).received, 300u);
    std::vector<uint32_t> block = Block(1);
    for (uint32_t i = 0; i < 256; ++i) {
        const uint32_t k = i < 44 ? 256 + i : i;  // words 256..299 wrapped over the first 44
        ASSERT_EQ(block[i], frame[k % 200]) << i;
    }

    // Stop on label 3: the capture ends right after the first word of that label.
    const std::vector<uint32_t> ten(frame.begin(), frame.begin() + 10);
    ASSERT_EQ(StartFrame(1, ten, true), 1);
    ASSERT_EQ(StartInput(1, 0x8700, {{3, 0x0001}}), 1);
    provider.Advance(50 * kSlow);
    block = Block(1);
    EXPECT_EQ(block[0], ten[0]);
    EXPECT_EQ(block[3], ten[3]);
    for (uint32_t i = 4; i < 256; ++i) ASSERT_EQ(block[i], 0u) << i;
    EXPECT_GT(Board().Input(1).received, 300u + 45);
    // A new start captures again from the beginning of the block.
    ASSERT_EQ(StartInput(1, 0x8700), 1);
    provider.Advance(20 * kSlow);
    EXPECT_NE(Block(1)[10], 0u);
}

}  // namespace
}  // namespace orv::test
