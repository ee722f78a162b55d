// Mask: pattern encoding and matching, the edit rule, and the requests of set and reset.
#include <gtest/gtest.h>

#include "support/scripted_device.h"
#include "monitor/mask.h"
#include "monitor_fixture.h"

namespace orv {
namespace {

using test::PutEntry;

std::string Bits(char fill, std::initializer_list<std::pair<int, char>> set = {}) {
    std::string s(kMaskBits, fill);
    for (auto [bit, c] : set) s[std::size_t(31 - bit)] = c;
    return s;
}

TEST(MaskPatternTest, Encodings) {
    EXPECT_EQ(EncodeMask(Bits('x')), (MaskPattern{0x7FFFFFFF, 0x7FFFFFFF}));
    EXPECT_EQ(EncodeMask(Bits('X')), (MaskPattern{0x7FFFFFFF, 0x7FFFFFFF}));
    EXPECT_EQ(EncodeMask(Bits('0', {{31, '1'}})), (MaskPattern{0x000000FF, 0x400000FF}));
    const MaskPattern p = EncodeMask(Bits('0', {{29, '1'}, {9, '1'}, {10, 'X'}}));
    EXPECT_EQ(p, (MaskPattern{0x000002FF, 0x100003FF}));
    // The compare the acquisition thread makes.
    EXPECT_TRUE(MaskMatches(0x100001AB, p));
    EXPECT_TRUE(MaskMatches(0x100003AB, p));   // bit 10 is X
    EXPECT_FALSE(MaskMatches(0x000001AB, p));  // bit 29 must be 1
    EXPECT_FALSE(MaskMatches(0x500001AB, p));  // bit 31 must be 0
    EXPECT_FALSE(MaskMatches(0x900001AB, p));  // bit 32 must be 0
    EXPECT_TRUE(MaskMatches(0x7FFFFFFF, EncodeMask(Bits('x'))));
    EXPECT_FALSE(MaskMatches(0x80000000, EncodeMask(Bits('x'))));
}

TEST(MaskPatternTest, EditRuleKeepsOnlyTheFourCharacters) {
    for (const char* kept : {"0", "1", "x", "X"}) EXPECT_EQ(MaskEditText(kept), kept);
    for (const char* other : {"2", "", "11", "x1", "y", " "}) EXPECT_EQ(MaskEditText(other), "x") << other;
}

class MaskCommands : public ::testing::Test {
protected:
    MaskCommands() { link.Attach(&device); }
    ~MaskCommands() override { link.Attach(nullptr); }

    DisplayState display;
    AcquisitionState acq;
    BoardImage image;
    BoardLink link{image};
    ScriptedDevice device;
};

TEST_F(MaskCommands, SetWritesTheLabelTableWordThenMarksTheRowAndChannel) {
    PutEntry(display, 0, "ALT1", 2, 0310);
    acq.MaskMatchCount[1] = 5;
    acq.TraceIndex[1] = 9;
    acq.TraceValues[1][3] = 0x1234;
    ASSERT_EQ(CheckSetMask(display, acq, 0), MaskCheck::Allowed);
    StoreMaskPattern(acq, 1, MaskPattern{0x2FF, 0x100003FF});
    EXPECT_EQ(acq.TraceIndex[1], 0);
    EXPECT_EQ(acq.TraceValues[1][3], 0u);
    EXPECT_EQ(acq.MaskOrPattern[1], 0x2FFu);
    EXPECT_EQ(acq.MaskMatchValue[1], 0x100003FFu);
    EXPECT_EQ(acq.MaskActive[1], 0);  // not yet: the thread must not see a half-set mask

    ASSERT_TRUE(SetMask(display, acq, link, 0));
    const auto requests = device.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].code, kWriteRange);
    const uint16_t address = 0x2000 + 256 + 0310;
    EXPECT_EQ(requests[0].input.size(), 2u * address + 2);  // the image through that word
    EXPECT_EQ(requests[0].InputWord(2 * ControlBlock::WriteAddress), address);
    EXPECT_EQ(requests[0].InputWord(2 * ControlBlock::WriteLength), 1);
    EXPECT_EQ(requests[0].InputWord(2u * address), 0x8000 + 512 + 2 * 0310);
    EXPECT_EQ(display.DisplayTable[0].maskMode, 1);
    EXPECT_EQ(acq.MaskLabel[1], 0310);
    EXPECT_EQ(acq.MaskActive[1], 1);
    EXPECT_EQ(acq.MaskMatchCount[1], 5);  // kept until the next reset
}

TEST_F(MaskCommands, SecondMaskOnAChannelIsRefused) {
    PutEntry(display, 0, "A", 2, 0310);
    PutEntry(display, 1, "B", 2, 0311);
    PutEntry(display, 2, "C", 3, 0311);
    ASSERT_TRUE(SetMask(display, acq, link, 0));
    device.Clear();
    EXPECT_EQ(CheckSetMask(display, acq, 1), MaskCheck::AlreadySet);
    EXPECT_FALSE(SetMask(display, acq, link, 1));
    EXPECT_EQ(display.DisplayTable[1].maskMode, 0);
    EXPECT_TRUE(device.Requests().empty());
    EXPECT_EQ(CheckSetMask(display, acq, 2), MaskCheck::Allowed);  // another channel is free
}

TEST_F(MaskCommands, ResetWritesTheWordBackAndClearsTheChannel) {
    PutEntry(display, 0, "A", 8, 0377);
    ASSERT_TRUE(SetMask(display, acq, link, 0));
    acq.MaskMatchCount[7] = 12;
    device.Clear();
    ASSERT_TRUE(ResetMask(display, acq, link, 0));
    const auto requests = device.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const uint16_t address = 0x2000 + 7 * 256 + 0377;
    EXPECT_EQ(requests[0].code, kWriteRange);
    EXPECT_EQ(requests[0].input.size(), 2u * address + 2);
    EXPECT_EQ(requests[0].InputWord(2u * address), 7 * 512 + 2 * 0377);
    EXPECT_EQ(display.DisplayTable[0].maskMode, 0);
    EXPECT_EQ(acq.MaskActive[7], 0);
    EXPECT_EQ(acq.MaskMatchCount[7], 0);
    EXPECT_FALSE(ResetMask(display, acq, link, 0));  // no mask left on the row
}

TEST_F(MaskCommands, RowsWithoutALabelSlotNeverTouchTheTables) {
    PutEntry(display, 0, "A", 9, 0310);   // channel beyond the eight inputs
    PutEntry(display, 1, "B", 0, 0310);
    PutEntry(display, 2, "C", 1, 0400);   // label beyond 255
    for (int row : {0, 1, 2, 3, -1, 300}) {
        EXPECT_EQ(CheckSetMask(display, acq, row), MaskCheck::NoSlot) << row;
        EXPECT_FALSE(SetMask(display, acq, link, row)) << row;
    }
    display.DisplayTable[0].maskMode = 1;
    EXPECT_FALSE(ResetMask(display, acq, link, 0));
    EXPECT_TRUE(device.Requests().empty());
    for (int ch = 0; ch < kInputChannels; ++ch) EXPECT_EQ(acq.MaskActive[std::size_t(ch)], 0);
}

}  // namespace
}  // namespace orv
