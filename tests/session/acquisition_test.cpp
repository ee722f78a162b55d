#include "session/acquisition.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <fstream>
#include <thread>

#include "session/board_control.h"
#include "board_fixture.h"
#include "monitor/mask.h"

namespace orv::test {
namespace {

using ::testing::ElementsAre;

class TickTest : public BoardTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
        Device().Clear();
        state.Acquisition.AcquisitionMode = 1;
    }
    void Use(int e, uint16_t channel, uint16_t label, int maskMode = 0) {
        DisplayEntry& entry = state.Display.DisplayTable[std::size_t(e)];
        entry.paramLabel = Label8("P" + std::to_string(e));
        entry.channel = channel;
        entry.address = label;
        entry.slot = LabelSlotAddress(channel, label);
        entry.maskMode = maskMode;
        state.Display.SlotAddresses[std::size_t(e)] = entry.slot;
    }
};

TEST_F(TickTest, ReadsEveryOneOf256EntriesAndReleasesReceivedOnes) {
    for (int e = 0; e < kDisplayRows; ++e) Use(e, uint16_t(e % 8 + 1), uint16_t(e));
    Device().SetReply(kReadSlot, SlotReply(0x00010000u));  // high half set: received
    RefreshTick(state);

    EXPECT_EQ(state.Acquisition.CycleCounter, 1);
    const auto reads = RequestsOf(Device(), kReadSlot);
    const auto releases = RequestsOf(Device(), kReleaseSlot);
    ASSERT_EQ(reads.size(), 256u);
    ASSERT_EQ(releases.size(), 256u);
    for (int e = 0; e < kDisplayRows; ++e) {
        const uint16_t slot = LabelSlotAddress(unsigned(e % 8 + 1), unsigned(e));
        EXPECT_EQ(SentWordAddress(reads[e]), slot);
        EXPECT_EQ(SentLoadChannel(reads[e]), e % 8 + 1);
        EXPECT_EQ(reads[e].input.size(), 546u);
        EXPECT_EQ(SentWordAddress(releases[e]), slot);
        EXPECT_EQ(state.Display.DisplayTable[e].receivedCycle, 1);
    }
    // Read and release alternate per entry.
    const auto codes = Device().Codes();
    EXPECT_EQ(codes[0], kReadSlot);
    EXPECT_EQ(codes[1], kReleaseSlot);
}

TEST_F(TickTest, SkipsMaskedAndKeepsUnreceivedEntries) {
    Use(0, 2, 0310);
    Use(1, 3, 0101, /*maskMode=*/1);
    Use(2, 8, 0377);
    Use(4, 1, 1);  // past the end: entry 3 is free
    state.Display.DisplayTable[0].receivedCycle = 0;
    state.Display.DisplayTable[1].receivedCycle = -7;
    state.Display.DisplayTable[2].receivedCycle = 3;
    state.Acquisition.CycleCounter = 4;
    Device().QueueReply(kReadSlot, SlotReply(0x0001FFFFu));  // entry 0 received
    Device().QueueReply(kReadSlot, SlotReply(0x0000FFFFu));  // entry 2: high half 0
    RefreshTick(state);

    EXPECT_EQ(state.Acquisition.CycleCounter, 5);
    EXPECT_THAT(Device().Codes(), ElementsAre(kReadSlot, kReleaseSlot, kReadSlot));
    const auto reads = RequestsOf(Device(), kReadSlot);
    EXPECT_EQ(SentWordAddress(reads[0]), 0x4390);
    EXPECT_EQ(SentWordAddress(reads[1]), 0x4000 + 7 * 512 + 2 * 0377);
    EXPECT_EQ(state.Display.DisplayTable[0].receivedCycle, 5);
    EXPECT_EQ(state.Display.DisplayTable[1].receivedCycle, -7);
    EXPECT_EQ(state.Display.DisplayTable[2].receivedCycle, 3);
    // The slot words arrived in the image for the table view.
    EXPECT_EQ(state.Board.BoardImage.Get32(0x4390), 0x0001FFFFu);
}

TEST_F(TickTest, EntryWithoutValidChannelIsNotRead) {
    Use(0, 0, 5);  // channel 0 would address words below the receive area
    Use(1, 9, 5);
    Use(2, 1, 5);
    RefreshTick(state);
    const auto reads = RequestsOf(Device(), kReadSlot);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(SentLoadChannel(reads[0]), 1);
}

TEST_F(TickTest, FileReceptionReadsBlockWithoutCounting) {
    state.Acquisition.AcquisitionMode = 2;
    state.Capture.StreamAddress = 0x4600;
    state.Acquisition.CycleCounter = 12;
    Use(0, 1, 1);
    RefreshTick(state);
    EXPECT_THAT(Device().Codes(), ElementsAre(kReadBlock));
    const auto r = RequestsOf(Device(), kReadBlock).at(0);
    EXPECT_EQ(r.InputWord(0x210), 0x4600);
    EXPECT_EQ(r.InputWord(0x212), 512);
    EXPECT_EQ(r.outputLength, 1024u);
    EXPECT_EQ(state.Acquisition.CycleCounter, 12);
}

TEST_F(TickTest, IdleAndNoBoardSendNothing) {
    Use(0, 1, 1);
    state.Acquisition.AcquisitionMode = 0;
    RefreshTick(state);
    EXPECT_TRUE(Device().Codes().empty());
    EXPECT_EQ(state.Acquisition.CycleCounter, 0);

    state.Acquisition.AcquisitionMode = 1;
    state.Shell.DeviceState = -1;
    RefreshTick(state);
    EXPECT_TRUE(Device().Codes().empty());
    EXPECT_EQ(state.Acquisition.CycleCounter, 0);
}

class SignalTest : public BoardTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
        Device().Clear();
        state.Board.TickCount = [this] { return clock += 10; };
    }
    uint32_t clock = 1000;
    SignalEvent event{"test"};
};

TEST_F(SignalTest, ServesSignalledMaskedChannelsOnly) {
    auto& acq = state.Acquisition;
    acq.MaskActive[0] = 1;
    acq.MaskLabel[0] = 0x21;
    acq.MaskActive[1] = 1;
    acq.MaskLabel[1] = 0x22;
    Device().QueueReplyWord(kReadEvents, 0x0005);  // channels 1 and 3; channel 3 has no mask
    Device().SetReplyWord(kReadEvents, 0);
    Device().SetReply(kReadSlot, SlotReply(0xCAFE0042u));
    event.Set();

    ServeAcquisitionSignal(state, event);
    EXPECT_FALSE(event.IsSet());
    EXPECT_THAT(Device().Codes(), ElementsAre(kReadEvents, kReadSlot, kReadEvents, kEndEventHandling));
    const auto read = RequestsOf(Device(), kReadSlot).at(0);
    EXPECT_EQ(SentLoadChannel(read), 1);
    EXPECT_EQ(SentWordAddress(read), 0x4000 + 2 * 0x21);
    EXPECT_EQ(acq.TraceIndex[0], 1);
    EXPECT_EQ(acq.TraceValues[0][0], 0xCAFE0042u);
    EXPECT_EQ(acq.TraceTimes[0][0], 1010u);
    EXPECT_EQ(acq.TraceIndex[1], 0);
    EXPECT_EQ(acq.TraceIndex[2], 0);
}

TEST_F(SignalTest, ChannelsInIndexOrderAndEventsReadAgain) {
    auto& acq = state.Acquisition;
    for (int i = 0; i < 8; ++i) {
        acq.MaskActive[i] = 1;
        acq.MaskLabel[i] = uint16_t(i + 1);
    }
    Device().QueueReplyWord(kReadEvents, 0x0084);  // channels 3 and 8
    Device().QueueReplyWord(kReadEvents, 0x0002);  // then channel 2
    Device().SetReplyWord(kReadEvents, 0);
    ServeAcquisitionSignal(state, event);
    EXPECT_THAT(Device().Codes(), ElementsAre(kReadEvents, kReadSlot, kReadSlot, kReadEvents,
                                              kReadSlot, kReadEvents, kEndEventHandling));
    const auto reads = RequestsOf(Device(), kReadSlot);
    EXPECT_EQ(SentLoadChannel(reads[0]), 3);
    EXPECT_EQ(SentLoadChannel(reads[1]), 8);
    EXPECT_EQ(SentWordAddress(reads[1]), 0x4000 + 7 * 512 + 2 * 8);
    EXPECT_EQ(SentLoadChannel(reads[2]), 2);
}

TEST_F(SignalTest, EndlessEventsEndTheHandlingAndCountOnlyWordsRead) {
    auto& acq = state.Acquisition;
    acq.MaskActive[0] = 1;
    acq.MaskLabel[0] = 1;
    acq.MaskOrPattern[0] = 0x7FFFFFFF;
    acq.MaskMatchValue[0] = 0x7FFFFFFF;
    Device().SetReplyWord(kReadEvents, 0x0003);  // a board that never stops reporting
    Device().SetReply(kReadSlot, SlotReply(0x00010001));
    ServeAcquisitionSignal(state, event);
    EXPECT_EQ(Device().Count(kEndEventHandling), 1u);
    EXPECT_EQ(Device().Count(kReadEvents), std::size_t(kEventReadsPerSignal));
    EXPECT_EQ(acq.MaskMatchCount[0], int32_t(Device().Count(kReadSlot)));
    EXPECT_TRUE(event.IsSet());  // the rest is served at the next pass

    // Bits of channels without a mask are read past too, up to the same limit.
    Device().Clear();
    acq.MaskActive[0] = 0;
    ServeAcquisitionSignal(state, event);
    EXPECT_EQ(Device().Count(kReadEvents), std::size_t(kEventReadsPerSignal));
    EXPECT_EQ(Device().Count(kReadSlot), 0u);
    EXPECT_EQ(Device().Count(kEndEventHandling), 1u);
}

// The events are read until they read 0: a read that names only channels without a mask does not
// end the handling, and the masked channel reported after it is served in the same pass.
TEST_F(SignalTest, ReadsTheEventsUntilTheyRead0) {
    auto& acq = state.Acquisition;
    acq.MaskActive[0] = 1;
    acq.MaskLabel[0] = 0x21;
    Device().QueueReplyWord(kReadEvents, 0x0004);  // channel 3 only, no mask there
    Device().QueueReplyWord(kReadEvents, 0x0001);
    Device().SetReplyWord(kReadEvents, 0);
    Device().SetReply(kReadSlot, SlotReply(0xCAFE0021u));
    ServeAcquisitionSignal(state, event);
    EXPECT_THAT(Device().Codes(),
                ElementsAre(kReadEvents, kReadEvents, kReadSlot, kReadEvents, kEndEventHandling));
    EXPECT_EQ(acq.TraceIndex[0], 1);
}

// A board that reports channel 1 without end, answering at once and recording nothing.
class EndlessDevice : public Device {
public:
    std::size_t Control(uint32_t code, std::span<const uint8_t>, std::span<uint8_t> out) override {
        static constexpr uint8_t kEvents[] = {0x01, 0};    // channel 1
        static constexpr uint8_t kWord[] = {1, 0, 1, 0};  // a received word of label 1
        const std::span<const uint8_t> reply = code == kReadEvents ? std::span<const uint8_t>(kEvents)
                                               : code == kReadSlot ? std::span<const uint8_t>(kWord)
                                                                   : std::span<const uint8_t>();
        if (out.size() < reply.size()) return 0;
        std::copy(reply.begin(), reply.end(), out.begin());
        return reply.size();
    }
};

// Nanoseconds the calling thread waited for a core (the kernel's scheduler statistics), so that
// a busy machine does not count as the thread resting; 0 where the kernel does not give them.
uint64_t RunQueueWaitNs() {
    std::ifstream in("/proc/thread-self/schedstat");
    uint64_t running = 0, waiting = 0;
    return in >> running >> waiting ? waiting : 0;
}

// Against such a board the thread rests after each service that reached the read limit: its CPU
// time stays a fraction of the time it could have run, however long it is left to it.
TEST_F(SignalTest, ABoardThatReportsWithoutEndDoesNotKeepTheThreadBusy) {
    EndlessDevice endless;
    state.Board.Link.Attach(&endless);
    auto& acq = state.Acquisition;
    acq.MaskActive[0] = 1;
    acq.MaskLabel[0] = 1;
    constexpr int kServices = 3;
    double cpuS = 0, availableS = 0;
    std::thread thread([&] {
        timespec cpu0{}, cpu1{};
        const uint64_t wait0 = RunQueueWaitNs();
        const auto wall0 = std::chrono::steady_clock::now();
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu0);
        for (int k = 0; k < kServices; ++k) ServeAcquisitionSignal(state, event);
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu1);
        const double wallS = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        cpuS = double(cpu1.tv_sec - cpu0.tv_sec) + double(cpu1.tv_nsec - cpu0.tv_nsec) * 1e-9;
        availableS = wallS - double(RunQueueWaitNs() - wait0) * 1e-9;
    });
    thread.join();
    state.Board.Link.Attach(nullptr);
    EXPECT_TRUE(event.IsSet());
    // The rests make it at most a quarter; half leaves room for the work around the reads.
    EXPECT_LT(cpuS, 0.5 * availableS) << cpuS << " s of CPU in " << availableS << " s";
}

TEST_F(SignalTest, NoEventsStillEndsHandling) {
    Device().SetReplyWord(kReadEvents, 0);
    ServeAcquisitionSignal(state, event);
    EXPECT_THAT(Device().Codes(), ElementsAre(kReadEvents, kEndEventHandling));
}

TEST_F(SignalTest, TraceRingWrapsAfter256Words) {
    auto& acq = state.Acquisition;
    acq.MaskActive[4] = 1;
    acq.MaskLabel[4] = 0300;
    for (uint32_t k = 1; k <= 257; ++k) Device().QueueReply(kReadSlot, SlotReply(0x10000u + k));
    for (int k = 0; k < 256; ++k) ServeMaskedChannel(state, 4);
    EXPECT_EQ(acq.TraceIndex[4], 256);
    EXPECT_EQ(acq.TraceValues[4][255], 0x10000u + 256);
    ServeMaskedChannel(state, 4);
    EXPECT_EQ(acq.TraceIndex[4], 1);
    EXPECT_EQ(acq.TraceValues[4][0], 0x10000u + 257);
    EXPECT_EQ(acq.TraceTimes[4][0], 1000u + 257 * 10);
    EXPECT_EQ(acq.TraceValues[4][1], 0x10000u + 2);
    // A corrupt index never writes outside the ring.
    acq.TraceIndex[4] = 999;
    ServeMaskedChannel(state, 4);
    EXPECT_EQ(acq.TraceIndex[4], 1);
}

TEST_F(SignalTest, CountsEveryMatchingArrival) {
    auto& acq = state.Acquisition;
    acq.MaskActive[0] = 1;
    acq.MaskLabel[0] = 7;
    acq.MaskOrPattern[0] = 0x0000FF00;
    acq.MaskMatchValue[0] = 0x1234FF07;
    Device().QueueReply(kReadSlot, SlotReply(0x12340007));  // matches after the OR
    Device().QueueReply(kReadSlot, SlotReply(0x12340007));  // same value again
    Device().QueueReply(kReadSlot, SlotReply(0x1234AB07));  // matches too
    Device().QueueReply(kReadSlot, SlotReply(0x12350007));  // does not
    for (int k = 0; k < 4; ++k) ServeMaskedChannel(state, 0);
    EXPECT_EQ(acq.MaskMatchCount[0], 3);
    EXPECT_EQ(acq.TraceIndex[0], 4);
}

// The thread started by StartBoard serves a signal of its event.
TEST_F(BoardTest, StartedThreadServesDriverSignal) {
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
    StartBoard(state);
    state.Acquisition.MaskActive[0] = 1;
    state.Acquisition.MaskLabel[0] = 0x10;
    Device().QueueReplyWord(kReadEvents, 0x0001);
    Device().SetReplyWord(kReadEvents, 0);
    Device().SetReply(kReadSlot, SlotReply(0x00AA0010));
    SignalEvent::SignalHandle(state.Board.SignalEvent->Handle());
    ASSERT_TRUE(WaitUntil([&] { return Device().Count(kEndEventHandling) == 1; }));
    EXPECT_EQ(state.Acquisition.TraceIndex[0], 1);
    EXPECT_EQ(state.Acquisition.TraceValues[0][0], 0x00AA0010u);
    EXPECT_FALSE(state.Board.SignalEvent->IsSet());
    // A second signal is served again.
    Device().QueueReplyWord(kReadEvents, 0x0001);
    SignalEvent::SignalHandle(state.Board.SignalEvent->Handle());
    ASSERT_TRUE(WaitUntil([&] { return Device().Count(kEndEventHandling) == 2; }));
    EXPECT_EQ(state.Acquisition.TraceIndex[0], 2);
}

}  // namespace
// A mask reset while the thread serves the channel: nothing served for the old mask is counted
// after the reset returns, so the next mask starts from 0 (the board here reports without end).
TEST_F(SignalTest, NoWordOfAResetMaskIsCountedAfterTheReset) {
    auto& acq = state.Acquisition;
    DisplayEntry& entry = state.Display.DisplayTable[0];
    entry.paramLabel.Assign("     ALT");
    entry.channel = 1;
    entry.address = 7;
    entry.slot = LabelSlotAddress(1, 7);
    acq.MaskOrPattern[0] = 0x7FFFFFFF;  // every word fits
    acq.MaskMatchValue[0] = 0x7FFFFFFF;
    Device().SetReplyWord(kReadEvents, 0x0001);
    Device().SetReply(kReadSlot, SlotReply(0x00010007));
    // The thread reads the clock between its slot read and its count: a slow clock holds it there,
    // where a reset used to slip in.
    state.Board.TickCount = [] {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        return uint32_t(1);
    };

    std::atomic<bool> stop{false};
    std::thread thread([&] {
        while (!stop) ServeAcquisitionSignal(state, event);
    });
    int countedAfterReset = 0;
    for (int round = 0; round < 100; ++round) {
        Device().Clear();  // the recording would grow without end
        ASSERT_TRUE(SetMask(state.Display, acq, state.Board.Link, 0));
        while (acq.MaskMatchCount[0].load() == 0) std::this_thread::yield();
        ASSERT_TRUE(ResetMask(state.Display, acq, state.Board.Link, 0));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));  // longer than the clock's hold
        if (acq.MaskMatchCount[0].load() != 0) ++countedAfterReset;
    }
    stop = true;
    thread.join();
    EXPECT_EQ(countedAfterReset, 0);
}

}  // namespace orv::test
