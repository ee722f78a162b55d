// Format and dictionary records against hand-built bytes, and the settings files.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "config/format_file.h"
#include "config/param_file.h"
#include "support/scratch_dir.h"
#include "support/example_formats.h"

namespace orv {
namespace {

using Bytes = std::vector<uint8_t>;

// ALT1, sign role, bits 28..11, 90.0 (0x42B40000) per MSB, units "deg".
const Bytes kAlt1Record = {0, 0, 0, 0,  0x00, 0x00, 0xB4, 0x42,  28, 0,  11, 0,  0,
                           'd', 'e', 'g', ' ', 0,  'A', 'L', 'T', '1', ' ', ' ', ' ', ' ', 0,  0};

TEST(FormatRecordTest, EncodesTheFileLayoutByteForByte) {
    const auto rec = EncodeFormat(test::Alt1Format());
    EXPECT_EQ(Bytes(rec.begin(), rec.end()), kAlt1Record);
}

TEST(FormatRecordTest, DecodesHandBuiltBytesIgnoringTheReservedWord) {
    // Reserved bytes with content, data role, 29..9, weight 1.0 (0x3F800000), Cyrillic label "ВЫС".
    const Bytes rec = {0xDE, 0xAD, 0xBE, 0xEF, 0x00, 0x00, 0x80, 0x3F, 29, 0, 9, 0, 1,
                       'm', ' ', ' ', ' ', 0, 0xC2, 0xDB, 0xD1, ' ', ' ', ' ', ' ', ' ', 0, 0};
    const DecimalFormat f = DecodeFormat(rec);
    EXPECT_EQ(f.msbWeight, 1.0f);
    EXPECT_EQ(f.msbBit, 29);
    EXPECT_EQ(f.lsbBit, 9);
    EXPECT_EQ(f.bit29Role, 1);
    EXPECT_EQ(f.units.View(), "m   ");
    EXPECT_EQ(f.label.View(), "\xC2\xDB\xD1     ");
}

TEST(ParamRecordTest, EncodesAndDecodesTheFileLayout) {
    ParamRecord r;
    r.address = 0310;  // 200: 0xC8
    r.formatLabel.Assign("ALT1");
    r.paramLabel.Assign("AB CD");
    const Bytes expected = {0, 0, 0, 0, 0xC8, 0, 'A', 'L', 'T', '1', ' ', ' ', ' ', ' ', 0,
                            'A', 'B', ' ', 'C', 'D', ' ', ' ', ' ', 0};
    const auto rec = EncodeParam(r);
    EXPECT_EQ(Bytes(rec.begin(), rec.end()), expected);

    Bytes other = expected;
    other[0] = 0x55;          // reserved: not interpreted
    other[4] = 0xFF;          // address 255
    for (int i = 6; i < 14; ++i) other[std::size_t(i)] = ' ';  // no format
    const ParamRecord d = DecodeParam(other);
    EXPECT_EQ(d.address, 255);
    EXPECT_TRUE(d.formatLabel.IsBlank());
    EXPECT_EQ(d.paramLabel.View(), "AB CD   ");
}

class SettingsFileTest : public test::ScratchDir {};

TEST_F(SettingsFileTest, MissingOrUnreadableFilesAreEmptyTables) {
    EXPECT_TRUE(LoadFormats().empty());
    EXPECT_TRUE(LoadParams().empty());
    EXPECT_FALSE(FindFormat("ALT1").has_value());
    std::filesystem::create_directory(kFormatFileName);  // something that is not a file
    EXPECT_TRUE(LoadFormats().empty());
}

TEST_F(SettingsFileTest, ReadsWholeRecordsAndDropsATrailingPartialRecord) {
    Bytes bytes = kAlt1Record;
    Bytes second = kAlt1Record;
    second[21] = '2';  // label ALT2
    bytes.insert(bytes.end(), second.begin(), second.end());
    bytes.insert(bytes.end(), kAlt1Record.begin(), kAlt1Record.begin() + 27);  // one byte short
    WriteBytes(kFormatFileName, bytes);
    const auto formats = LoadFormats();
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats[0], test::Alt1Format());
    EXPECT_EQ(formats[1].label.View(), "ALT2    ");

    Bytes params(24 + 23, 0);  // one record and 23 stray bytes
    params[15] = 'P';
    WriteBytes(kParamFileName, params);
    EXPECT_EQ(LoadParams().size(), 1u);
}

TEST_F(SettingsFileTest, FindFormatComparesTrimmedLabelsWithCaseAndTakesTheFirst) {
    DecimalFormat a = test::Alt1Format();
    DecimalFormat b = test::Alt1Format();
    b.msbBit = 20;
    DecimalFormat lower = test::Alt1Format();
    lower.label.Assign("alt1");
    const std::vector<DecimalFormat> formats = {lower, a, b};
    ASSERT_TRUE(SaveFormats(formats));
    const auto found = FindFormat("ALT1    ");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->msbBit, 28);  // the first ALT1, not the second
    EXPECT_EQ(FindFormat("alt1")->label.View(), "alt1    ");
    EXPECT_FALSE(FindFormat("ALT").has_value());
}

TEST_F(SettingsFileTest, SavingReplacesTheFileWithoutWritingIntoTheOldOne) {
    const std::vector<DecimalFormat> one = {test::Alt1Format()};
    ASSERT_TRUE(SaveFormats(one));
    // A reader of the old file keeps seeing the old content: the new file is a different file put
    // in place only when complete.
    const int fd = open(kFormatFileName, O_RDONLY);
    ASSERT_GE(fd, 0);
    DecimalFormat other = test::Alt1Format();
    other.label.Assign("B");
    const std::vector<DecimalFormat> two = {test::Alt1Format(), other};
    ASSERT_TRUE(SaveFormats(two));
    uint8_t buf[64];
    EXPECT_EQ(read(fd, buf, sizeof buf), 28);
    close(fd);
    EXPECT_EQ(ReadBytes(kFormatFileName).size(), 56u);
    EXPECT_EQ(Entries(), std::vector<std::string>{kFormatFileName});  // no temporary file left

    const std::vector<ParamRecord> params(2);
    ASSERT_TRUE(SaveParams(params));
    EXPECT_EQ(ReadBytes(kParamFileName).size(), 48u);
}

TEST_F(SettingsFileTest, AFileThatCannotBeWrittenIsReportedAndNothingIsLeft) {
    std::filesystem::create_directory(kParamFileName);
    const std::vector<ParamRecord> params(1);
    EXPECT_FALSE(SaveParams(params));
    EXPECT_TRUE(std::filesystem::is_directory(kParamFileName));
    EXPECT_FALSE(SaveFormats(std::vector<DecimalFormat>{test::Alt1Format()}, "no-such-dir/x.stt"));
    EXPECT_EQ(Entries().size(), 1u);
}

}  // namespace
}  // namespace orv
