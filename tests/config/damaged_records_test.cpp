// Which stored formats, dictionary entries and channel settings are damaged: a control character,
// or what their list line does not give back (channel settings: what their editors cannot show).
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstring>

#include "config/channel_settings.h"
#include "config/format_file.h"
#include "config/param_file.h"
#include "files/settings_guard.h"
#include "config/table_rules.h"
#include "support/scratch_dir.h"
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

TEST(DamagedRecordTest, FormatsAreDamagedOnlyByAControlCharacterOrALineThatChangesThem) {
    EXPECT_EQ(FormatRecordDefect(test::Alt1Format()), nullptr);
    // Text after a zero byte is no part of the label, and units ending early are still units.
    EXPECT_EQ(FormatRecordDefect(Format([](DecimalFormat& f) { std::memcpy(&f.label, "ALT\0junk", 8); })), nullptr);
    EXPECT_EQ(FormatRecordDefect(Format([](DecimalFormat& f) { std::memcpy(&f.units, "m\0\0\0", 4); })), nullptr);

    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.msbBit = 300; })), text::kDefectColumns);
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.bit29Role = 2; })), text::kDefectColumns);
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.label.Assign("A\x01"); })), text::kDefectControl);
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.units.Assign("\tm"); })), text::kDefectControl);
    // A weight its six-decimal text does not give back as the same float.
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.msbWeight = 0.1234567f; })), text::kDefectColumns);
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.msbWeight = 1e-9f; })), text::kDefectColumns);
    EXPECT_STREQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.msbWeight = std::nanf(""); })),
                 text::kDefectColumns);

    // What the list writes itself, or what only this program's editor refuses, is no damage: a
    // weight of 0 (a tiny weight saved through its line), bit numbers beyond the editor's ranges,
    // no units, a label that begins with a blank.
    EXPECT_EQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.msbWeight = 0; })), nullptr);
    EXPECT_EQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.msbWeight = -0.000001f; })), nullptr);
    EXPECT_EQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.msbBit = 29; })), nullptr);
    EXPECT_EQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.lsbBit = 8; })), nullptr);
    EXPECT_EQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.units.Assign(""); })), nullptr);
    EXPECT_EQ(FormatRecordDefect(Format([](DecimalFormat& f) { f.label.Assign(" ALT"); })), nullptr);
}

TEST(DamagedRecordTest, DictionaryEntriesAreDamagedOnlyByAControlCharacterOrALineThatChangesThem) {
    ParamRecord r;
    r.paramLabel.Assign("ALT");
    r.address = 0377;
    EXPECT_EQ(ParamRecordDefect(r), nullptr);
    r.address = 0x1000;  // shown as 10000, read back as 0100
    EXPECT_STREQ(ParamRecordDefect(r), text::kDefectColumns);
    // Addresses 0400..0777 fit the columns: the dictionary keeps them (they reach no label slot).
    r.address = 0400;
    EXPECT_EQ(ParamRecordDefect(r), nullptr);
    r.address = 0777;
    EXPECT_EQ(ParamRecordDefect(r), nullptr);
    r.address = 01000;
    EXPECT_STREQ(ParamRecordDefect(r), text::kDefectColumns);
    r.address = 1;
    r.paramLabel.Assign("");
    EXPECT_EQ(ParamRecordDefect(r), nullptr);
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

// Records the list writes itself stay in every list, are found and loaded, and survive "Применить".
TEST_F(DamagedFileTest, AZeroWeightAndADictionaryAddressAbove0377StayInTheFiles) {
    DecimalFormat zero = test::Alt1Format();
    zero.label.Assign("ZERO");
    zero.msbWeight = 0.0000001f;  // typed in the editor: its line saves it as 0
    const std::vector<DecimalFormat> typed{test::Alt1Format(), zero};
    ASSERT_TRUE(SaveFormats(FormatsOfLines(FormatLines(typed))));
    const Bytes formats = ReadBytes(kFormatFileName);
    const auto read = ReadFormatFile();
    EXPECT_TRUE(read.damaged.empty());
    ASSERT_EQ(read.records.size(), 2u);
    EXPECT_EQ(read.records[1].msbWeight, 0.0f);
    ASSERT_TRUE(FindFormat("ZERO").has_value());
    EXPECT_EQ(FindFormat("ZERO")->msbWeight, 0.0f);
    // "Применить" rebuilds the records from the lines of what it read: the same file.
    ASSERT_TRUE(SaveFormats(FormatsOfLines(FormatLines(LoadFormats()))));
    EXPECT_EQ(ReadBytes(kFormatFileName), formats);

    ParamRecord high;
    high.paramLabel.Assign("HIGH");
    high.address = 0777;
    ASSERT_TRUE(SaveParams(std::vector<ParamRecord>{high}));
    const Bytes params = ReadBytes(kParamFileName);
    ASSERT_EQ(LoadParams().size(), 1u);
    EXPECT_EQ(LoadParams()[0].address, 0777);
    ASSERT_TRUE(SaveParams(ParamsOfLines(ParamLines(LoadParams()))));
    EXPECT_EQ(ReadBytes(kParamFileName), params);
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
