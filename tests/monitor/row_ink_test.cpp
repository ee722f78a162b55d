// Inks of the parameter rows: when a row counts as stale, and which columns a masked row greys.
#include <gtest/gtest.h>

#include "monitor/row_ink.h"
#include "monitor_fixture.h"

namespace orv {
namespace {

using test::PutEntry;

class RowInkTest : public ::testing::Test {
protected:
    // Row 0 received at cycle `cycle` and time `ms`; the counter stands at `counter`.
    void Received(int32_t cycle, uint32_t ms, int32_t counter) {
        entry.receivedCycle = cycle;
        entry.receivedWord = 0x12345678;
        entry.receivedMs = ms;
        acq.CycleCounter = counter;
    }
    DisplayState display;
    AcquisitionState acq;
    DisplayEntry& entry = PutEntry(display, 0, "ALT", 1, 0203);
};

TEST_F(RowInkTest, StaleNeedsTwoSecondsAndTwoCyclesBoth) {
    Received(10, 5000, 12);
    EXPECT_FALSE(RowIsStale(display, acq, 0, 6999));  // 2 cycles, 1999 ms
    EXPECT_TRUE(RowIsStale(display, acq, 0, 7000));   // 2 cycles, 2000 ms
    Received(10, 5000, 11);
    EXPECT_FALSE(RowIsStale(display, acq, 0, 60000));  // 1 cycle (a long period), a minute
    Received(10, 5000, 10);
    EXPECT_FALSE(RowIsStale(display, acq, 0, 60000));  // received in the latest tick

    // Both clocks wrap.
    Received(INT32_MAX, 0xFFFFFF00u, INT32_MIN + 1);
    EXPECT_FALSE(RowIsStale(display, acq, 0, 0x00000600u));  // 1792 ms
    EXPECT_TRUE(RowIsStale(display, acq, 0, 0x00000700u));   // 2048 ms

    const RowInks live = ParameterRowInks(display, acq, 0, 0x600);
    const RowInks stale = ParameterRowInks(display, acq, 0, 0x700);
    for (std::size_t c = 0; c < kParameterRowWidth; ++c) {
        EXPECT_EQ(live[c], Ink::Black) << c;
        EXPECT_EQ(stale[c], Ink::Grey) << c;
    }
}

TEST_F(RowInkTest, NeverReceivedSinceLoadIsStaleAtOnce) {
    acq.CycleCounter = 1;
    EXPECT_TRUE(RowIsStale(display, acq, 0, 0));
    Received(1, 0, 1);
    EXPECT_FALSE(RowIsStale(display, acq, 0, 0));
    entry.receivedCycle = 0;  // edited: nothing of the new parameter received yet
    EXPECT_TRUE(RowIsStale(display, acq, 0, 0));
    // Free rows and rows outside the table are not rows at all.
    EXPECT_FALSE(RowIsStale(display, acq, 1, 0));
    EXPECT_FALSE(RowIsStale(display, acq, -1, 0));
    EXPECT_FALSE(RowIsStale(display, acq, kDisplayRows, 0));
}

TEST_F(RowInkTest, MaskedRowIsNeverStaleAndGreysOnlyItsValueAndCycle) {
    entry.maskMode = 1;
    acq.CycleCounter = 500;  // never received, long ago
    EXPECT_FALSE(RowIsStale(display, acq, 0, 100000));
    const RowInks inks = ParameterRowInks(display, acq, 0, 100000);
    for (std::size_t c = 0; c < kParameterRowWidth; ++c) {
        const bool grey = c >= 26 && c <= 92;  // HEX, OCTAL, M, DECIMAL and the cycle
        EXPECT_EQ(inks[c], grey ? Ink::Grey : Ink::Black) << c;
    }
    EXPECT_EQ(kInkRgb[std::size_t(Ink::Grey)], 0x808080u);
}

}  // namespace
}  // namespace orv
