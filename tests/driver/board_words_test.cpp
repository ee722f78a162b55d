#include <gtest/gtest.h>

#include <set>

#include "driver/board_words.h"

namespace orv {
namespace {

// Every label slot of every input lies in ReceiveArea, in its channel's block, and reads back as
// the channel and label it was made from; no two slots share a word.
TEST(BoardWordsTest, LabelSlotsAndTheirInverseCoverTheReceiveAreaOnce) {
    std::set<uint32_t> words;
    for (unsigned c = 1; c <= 8; ++c) {
        for (unsigned label = 0; label < 256; ++label) {
            const uint32_t a = LabelSlotAddress(c, label);
            ASSERT_TRUE(IsReceiveSlotAddress(a)) << c << " " << label;
            EXPECT_EQ(ReceiveSlotChannel(a), c);
            EXPECT_EQ(ReceiveSlotLabel(a), label);
            EXPECT_EQ(a, ReceiveBlockAddress(c) + 2 * label);
            EXPECT_TRUE(words.insert(a).second && words.insert(a + 1).second);
        }
    }
    EXPECT_EQ(words.size(), BoardImage::ReceiveAreaWords);
    EXPECT_FALSE(IsReceiveSlotAddress(BoardImage::ReceiveArea + 1));
    EXPECT_FALSE(IsReceiveSlotAddress(BoardImage::ReceiveArea + BoardImage::ReceiveAreaWords));
    EXPECT_FALSE(IsFrameSlotAddress(BoardImage::OutputFrameArea - 2));
    EXPECT_TRUE(IsFrameSlotAddress(BoardImage::OutputFrameArea + BoardImage::OutputFrameAreaWords - 2));
    EXPECT_FALSE(IsFrameSlotAddress(BoardImage::OutputFrameArea + BoardImage::OutputFrameAreaWords - 1));
}

TEST(BoardWordsTest, ChannelTablesAndSettingBits) {
    EXPECT_EQ(LabelTableAddress(1, 0), BoardImage::InputLabelTable);
    EXPECT_EQ(LabelTableAddress(8, 255) + 1, BoardImage::OutputSlotTable);
    EXPECT_EQ(SlotTableAddress(2, 3), BoardImage::OutputSlotTable + 256 + 3);
    EXPECT_EQ(ChannelSettingAddress(OutputChannelCode(1)), BoardImage::ChannelSettingWords + 8);
    EXPECT_EQ(ChannelModeAddress(InputChannelCode(8)), BoardImage::ChannelControlWords + 7);
    // Rate code in bits 0-1, parity choice in bit 2, nothing else reaches the board.
    EXPECT_EQ(ChannelSetting::RateCode(0xFFFE), 2u);
    EXPECT_TRUE(ChannelSetting::ParityChoice(0x0004));
    EXPECT_FALSE(ChannelSetting::ParityChoice(0xFFFB));
    EXPECT_EQ(ChannelSetting::BoardWord(0xFFFE), 6);
}

}  // namespace
}  // namespace orv
