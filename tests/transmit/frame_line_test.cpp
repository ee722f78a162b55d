// Frame lines and ".42o" records: exact columns, the parse back, and the record bytes.
#include <gtest/gtest.h>

#include <vector>

#include "transmit/frame_line.h"
#include "transmit_fixture.h"

namespace orv {
namespace {

using test::W;
using test::WordEntry;

std::string Blanks(std::size_t n) { return std::string(n, ' '); }

TEST(FrameLine, WordWithoutFormatHas96ColumnsEndingIn35Blanks) {
    const std::string line = RenderFrameLine(WordEntry(5, "ALT", 0310, 0x123456C8));
    const std::string expected = "  005" + Blanks(2) + "ALT     " + Blanks(2) + "310" + Blanks(6) + "0x123456c8" +
                                 Blanks(3) + "002215053310" + Blanks(3) + "00" + Blanks(5) + Blanks(35);
    EXPECT_EQ(line, expected);
    EXPECT_EQ(line.size(), 96u);
}

TEST(FrameLine, WordWithFormatPlacesDecimalAt61AndFormatLineAt82) {
    const std::string line = RenderFrameLine(WordEntry(0x1f, "ALT1", 0310, 0x0C8000C8, true));
    EXPECT_EQ(line.substr(0, 61), "  01f  ALT1      310      0x0c8000c8   001440000310   00     ");
    EXPECT_EQ(line.substr(61, 21), " +1.406250e+002 deg  ");
    EXPECT_EQ(line.substr(82), W("ALT1      знак      28          11        deg        90.000000"));
}

TEST(FrameLine, MIsTwoBinaryDigitsWithLeadingZero) {
    EXPECT_EQ(RenderFrameLine(WordEntry(0, "P", 1, 0x20000001)).substr(54, 2), "01");
    EXPECT_EQ(RenderFrameLine(WordEntry(0, "P", 1, 0x60000001)).substr(54, 2), "11");
}

TEST(FrameLine, PauseLinesForPauseFieldAndForBlankParameterLabel) {
    EXPECT_EQ(RenderPauseLine(10), "  00a            " + W("пауза") + " ");
    FrameEntry pause = WordEntry(0x12, "P", 3, 0x1234);
    pause.pause = 7;  // a length from the pause dialog counts as a pause too
    EXPECT_EQ(RenderFrameLine(pause), RenderPauseLine(0x12));
    EXPECT_EQ(RenderFrameLine(WordEntry(0x12, " X", 3, 0x1234)), RenderPauseLine(0x12));
}

TEST(FrameLine, ParseGivesTheFieldsBackAndLeavesUnreadFieldsOfAPause) {
    const FrameEntry original = WordEntry(0x2a, "ALT1", 0310, 0x0C8000C8, true);
    FrameEntry parsed;
    parsed.endFlag = 1;
    parsed.pause = 1;
    ParseFrameLine(RenderFrameLine(original), parsed);
    EXPECT_EQ(parsed, original);

    FrameEntry keep = original;
    ParseFrameLine(RenderPauseLine(7), keep);
    EXPECT_EQ(keep.pause, 1);
    EXPECT_EQ(keep.number, 7);
    EXPECT_EQ(keep.paramLabel.View(), "        ");
    EXPECT_EQ(keep.address, 0310);  // not read from a pause line
    EXPECT_EQ(keep.word, 0x0C8000C8u);

    // A word line without a format keeps the format of the entry it is read into.
    FrameEntry target = original;
    ParseFrameLine(RenderFrameLine(WordEntry(1, "Q", 7, 0x700)), target);
    EXPECT_TRUE(target.formatLabel.IsBlank());
    EXPECT_EQ(target.format, test::Alt1Format());
    EXPECT_EQ(target.word, 0x700u);
    EXPECT_EQ(target.pause, 0);
}

TEST(FrameLine, EditorTextsAndPauseTest) {
    const std::string line = RenderFrameLine(WordEntry(3, "ALT1", 0310, 0x0C8000C8, true));
    const FrameLineTexts t = TextsOfFrameLine(line);
    EXPECT_EQ(t.address, "310");
    EXPECT_EQ(t.paramLabel, "ALT1    ");
    EXPECT_EQ(t.formatLabel, "ALT1    ");
    EXPECT_EQ(t.code, "0c8000");
    EXPECT_FALSE(IsPauseLine(line));
    EXPECT_TRUE(IsPauseLine(RenderPauseLine(3)));
}

TEST(FrameRecord, BytesOfAWordWithFormat) {
    FrameEntry e = WordEntry(0x105, "ALT1", 0310, 0x0C8000C8, true);
    const auto rec = EncodeFrameEntry(e);
    std::vector<uint8_t> expected(64, 0);
    auto put = [&](std::size_t at, std::vector<uint8_t> bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) expected[at + i] = bytes[i];
    };
    put(4, {0xC8, 0x00});               // address
    put(6, {0x00, 0x00});               // word slot
    put(8, {0x05, 0x01});               // number
    put(12, {'A', 'L', 'T', '1', ' ', ' ', ' ', ' ', 0});
    put(21, {'A', 'L', 'T', '1', ' ', ' ', ' ', ' ', 0});
    put(32, {0xC8, 0x00, 0x80, 0x0C});  // word
    put(40, {0x00, 0x00, 0xB4, 0x42});  // 90.0f
    put(44, {28, 0, 11, 0, 0});         // msb, lsb, role
    put(49, {'d', 'e', 'g', ' ', 0});
    put(54, {'A', 'L', 'T', '1', ' ', ' ', ' ', ' ', 0});
    EXPECT_EQ(std::vector<uint8_t>(rec.begin(), rec.end()), expected);

    // The reserved word of a file record is ignored on reading.
    auto read = rec;
    read[0] = 0x42;
    read[36] = 0x13;
    FrameEntry back = DecodeFrameEntry(read);
    back.format.reserved = 0;
    EXPECT_EQ(back, e);
}

}  // namespace
}  // namespace orv
