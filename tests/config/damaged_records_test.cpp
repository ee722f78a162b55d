// Which stored formats, dictionary entries and channel settings are damaged: what their list line
// does not give back, or what their editor refuses.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>

#include "config/channel_settings.h"
#include "config/format_file.h"
#include "config/param_file.h"
#include "config/scratch_dir.h"
#include "resources/config_strings.h"
#include "resources/file_strings.h"
#include "support/example_formats.h"

namespace orv {
namespace {

using Bytes = std::vector<uint8_t>;

DecimalFormat Format(void (*change)(DecimalFormat&)) {
    DecimalFormat f = test::Alt1Format();
    change(f);
    return f;
}

TEST(DamagedRecordTest, FormatsThatTheirLineOrTheEditorWouldChange) {
    EXPECT_EQ(FormatRecordDefect(test::Alt1Format()), nullptr);
    // Text after a zero byte is no part of the label, and units ending early are still units.
    EXPECT_EQ(FormatRecordDefect(Format([](DecimalFormat& f) { std::memcpy(&f.label, "ALT\0junk", 8); })), nullptr);
    EXPECT_EQ(FormatRecordDefect(Format([](DecimalFormat& f) { std::memcpy(&f.units, "m\0\0\0", 4); })), nullptr);

    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.msbBit = 300; })), text::kDefectColumns);
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.bit29Role = 2; })), text::kDefectColumns);
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.label.Assign("A\x01"); })), text::kDefectControl);
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.units.Assign("\tm"); })), text::kDefectControl);
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.label.Assign(" ALT"); })), text::kNoFormatLabel);
    // The editor's own refusals, with its messages.
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.msbBit = 29; })), text::kMsbAbove28);
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.lsbBit = 8; })), text::kLsbBelow9);
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.msbWeight = 0; })), text::kNoWeight);
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.units.Assign(""); })), text::kNoUnits);
}

TEST(DamagedRecordTest, DictionaryEntriesThatTheirLineOrTheEditorWouldChange) {
    ParamRecord r;
    r.paramLabel.Assign("ALT");
    r.address = 0377;
    EXPECT_EQ(ParamRecordDefect(r), nullptr);
    r.address = 0x1000;  // shown as 10000, read back as 0100
    EXPECT_STREQ(ParamRecordDefect(r), text::kDefectColumns);
    r.address = 0400;  // fits the columns, but no label number
    EXPECT_STREQ(ParamRecordDefect(r), text::kBadAddress);
    r.address = 1;
    r.paramLabel.Assign("");
    EXPECT_STREQ(ParamRecordDefect(r), text::kNoParamLabel);
    r.paramLabel.Assign("A\nB");
    EXPECT_STREQ(ParamRecordDefect(r), text::kDefectControl);
}

class DamagedFileTest : public test::ScratchDir {};

TEST_F(DamagedFileTest, AFileReadLeavesDamagedRecordsOutAndCountsThem) {
    DecimalFormat wide = test::Alt1Format();
    wide.msbBit = 300;
    const DecimalFormat good = test::Alt1Format();
    Bytes bytes;
    for (const auto& f : {good, wide, good}) {
        const auto rec = EncodeFormat(f);
        bytes.insert(bytes.end(), rec.begin(), rec.end());
    }
    bytes.resize(bytes.size() + 5, 0);
    WriteBytes(kFormatFileName, bytes);

    const auto read = ReadFormatFile();
    EXPECT_EQ(read.status, ReadStatus::Ok);
    EXPECT_EQ(read.records.size(), 2u);
    ASSERT_EQ(read.damaged.size(), 1u);
    EXPECT_EQ(read.damaged[0].index, 1u);
    EXPECT_EQ(read.trailingBytes, 5u);
    EXPECT_EQ(LoadFormats().size(), 2u);

    const SettingsFileGuard guard = GuardOf(read, kFormatFileName);
    EXPECT_FALSE(guard.unreadable);
    EXPECT_TRUE(guard.keepBackup);
    EXPECT_EQ(guard.openMessage, "В файле Orvfrmt.stt пропущено поврежденных записей: 2");
    EXPECT_EQ(guard.SaveFailure(), "Ошибка создания файла Orvfrmt.stt");
    EXPECT_TRUE(guard.SaveRefusal().empty());

    ASSERT_EQ(StoreFormats(read.records, kFormatFileName, guard.keepBackup), SaveError::None);
    EXPECT_EQ(ReadBytes(std::string(kFormatFileName) + ".bak"), bytes);
    EXPECT_FALSE(GuardOf(ReadFormatFile(), kFormatFileName).keepBackup);

    const SettingsFileGuard unread = GuardOfRead(kParamFileName, ReadStatus::Unreadable, 0);
    EXPECT_TRUE(unread.unreadable);
    EXPECT_EQ(unread.openMessage, "Ошибка чтения файла OrvparamList.stt");
    EXPECT_EQ(unread.SaveRefusal(), "Файл OrvparamList.stt не был прочитан и не перезаписан.");
}

TEST_F(DamagedFileTest, ChannelSettingsWithAnUnknownRateKeepTheirTableEntry) {
    WriteBytes(kChannelSettingsFileName, {0x02, 0x00, 0x03, 0x00, 0x06, 0x12});
    ChannelSettingTable table;
    table.fill(1);
    const ChannelSettingsRead read = ReadChannelSettings(table);
    EXPECT_EQ(read.status, ReadStatus::Ok);
    ASSERT_EQ(read.damaged.size(), 1u);
    EXPECT_EQ(read.damaged[0].index, 1u);
    EXPECT_EQ(table[0], 2);
    EXPECT_EQ(table[1], 1);       // rate code 3: left out
    EXPECT_EQ(table[2], 0x1206);  // bits above 2 are the board's to ignore
    EXPECT_EQ(ReadChannelSettings(table, "missing.stt").status, ReadStatus::Missing);

    chmod(kChannelSettingsFileName, 0444);
    EXPECT_EQ(StoreChannelSettings(table), SaveError::ReadOnly);
}

}  // namespace
}  // namespace orv
