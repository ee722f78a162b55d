// The ".42i" record against hand-built bytes.
#include <gtest/gtest.h>

#include <vector>

#include "display/display_line_file.h"

namespace orv {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(DisplayLineRecordTest, MatchesTheFileLayoutByteForByte) {
    DisplayLineRecord r;
    r.address = 0310;  // 0xC8
    r.channel = 3;
    r.formatLabel.Assign("ALT1");
    r.paramLabel.Assign("\xC2\xDB\xD1");  // "ВЫС"
    const Bytes expected = {0, 0, 0, 0, 0xC8, 0, 3, 0, 'A', 'L', 'T', '1', ' ', ' ', ' ', ' ', 0,
                            0xC2, 0xDB, 0xD1, ' ', ' ', ' ', ' ', ' ', 0, 0, 0};
    const auto rec = EncodeDisplayLine(r);
    EXPECT_EQ(Bytes(rec.begin(), rec.end()), expected);

    Bytes other = expected;
    other[1] = 0x77;  // reserved, not interpreted
    other[5] = 0x01;  // address 0x1C8: taken as it stands
    other[6] = 8;
    const DisplayLineRecord d = DecodeDisplayLine(other);
    EXPECT_EQ(d.address, 0x1C8);
    EXPECT_EQ(d.channel, 8);
    EXPECT_EQ(d.formatLabel.View(), "ALT1    ");
    EXPECT_EQ(d.paramLabel, r.paramLabel);
}

TEST(DisplayLineRecordTest, AFileOfFiveRecordsIs140BytesAndAPartialRecordIsDropped) {
    std::vector<DisplayLineRecord> records(5);
    for (uint16_t i = 0; i < 5; ++i) {
        records[i].address = uint16_t(i * 10);
        records[i].channel = uint16_t(i + 1);
        records[i].paramLabel.Assign(std::string(1, char('A' + i)));
    }
    Bytes bytes = EncodeDisplayLines(records);
    EXPECT_EQ(bytes.size(), 140u);
    bytes.resize(bytes.size() + 27, 0);
    const auto back = DecodeDisplayLines(bytes);
    ASSERT_EQ(back.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(back[i], records[i]);
    }
}

TEST(DisplayLineRecordTest, DamagedRecordsAreLeftOutOfAFile) {
    DisplayLineRecord good;
    good.paramLabel.Assign("AB CD");  // a dictionary label with an inner blank is sound
    good.channel = 8;
    good.address = 0377;
    EXPECT_EQ(DisplayLineDefect(good), nullptr);
    DisplayLineRecord wide = good;
    wide.channel = 100;  // three columns where the line has two
    EXPECT_NE(DisplayLineDefect(wide), nullptr);
    // Channel 0 and address 0400 read back from their columns: kept (loading refuses them).
    DisplayLineRecord noChannel = good;
    noChannel.channel = 0;
    EXPECT_EQ(DisplayLineDefect(noChannel), nullptr);
    DisplayLineRecord high = good;
    high.address = 0400;
    EXPECT_EQ(DisplayLineDefect(high), nullptr);
    DisplayLineRecord control = good;
    control.formatLabel.Assign("F\x7F");
    EXPECT_NE(DisplayLineDefect(control), nullptr);

    const std::vector<DisplayLineRecord> records = {wide, good, noChannel, control, high};
    Bytes bytes = EncodeDisplayLines(records);
    bytes.push_back(1);
    const auto read = DecodeDisplayLineFile(bytes);
    EXPECT_EQ(read.records, (std::vector<DisplayLineRecord>{good, noChannel, high}));
    ASSERT_EQ(read.damaged.size(), 2u);
    EXPECT_EQ(read.damaged[1].index, 3u);
    EXPECT_EQ(read.trailingBytes, 1u);
}

}  // namespace
}  // namespace orv
