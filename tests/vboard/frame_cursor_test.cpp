#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "vboard/frame_cursor.h"

namespace orv {
namespace {

// The slots a cursor visits from its start until it ends or has made `steps` steps.
std::vector<uint16_t> Walk(FrameCursor c, unsigned steps) {
    std::vector<uint16_t> slots{c.slot};
    for (unsigned k = 0; k < steps && c.Step(0); ++k) slots.push_back(c.slot);
    return slots;
}

TEST(FrameCursorTest, AFrameEndsAtItsFirstMarkedSlotOnceOrRoundAndRound) {
    std::array<uint16_t, BoardImage::kWords> memory{};
    memory[SlotTableAddress(3, 2)] = kLastSlotMark;
    memory[SlotTableAddress(3, 1)] = 0x8000;  // one bit of the mark is not the mark
    memory[FrameSlotAddress(3, 1)] = 0x1234;
    memory[FrameSlotAddress(3, 1) + 1] = 0x8765;

    const FrameCursor once = FrameCursor::Start(memory, 3, true, 1000);
    EXPECT_EQ(once.last, 2);
    EXPECT_EQ(Walk(once, 10), (std::vector<uint16_t>{0, 1, 2}));
    EXPECT_EQ(Walk(FrameCursor::Start(memory, 3, false, 0), 4), (std::vector<uint16_t>{0, 1, 2, 0, 1}));

    FrameCursor c = once;
    EXPECT_EQ(c.Word(memory, 3), 0u);  // a pause
    ASSERT_TRUE(c.Step(2));
    EXPECT_EQ(c.next, 1000 + WordTimeUs(2));
    EXPECT_EQ(c.Word(memory, 3), 0x87651234u);
    // Without a mark the frame is all 256 slots.
    EXPECT_EQ(FrameCursor::Start(memory, 4, true, 0).last, 255);
    EXPECT_EQ(FrameSlotAddress(2, 0), BoardImage::OutputFrameArea + 512);
}

}  // namespace
}  // namespace orv
