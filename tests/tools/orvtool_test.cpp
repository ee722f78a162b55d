// orvtool on files the program itself writes: every kind through CSV and JSON and back byte for
// byte, imports that are refused leave the output as it was, decode agrees with the table row,
// and check names each problem.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sstream>

#include "arinc/text.h"
#include "commands.h"
#include "config/channel_settings.h"
#include "config/format_file.h"
#include "config/param_file.h"
#include "config/record_file.h"
#include "config/scratch_dir.h"
#include "monitor/table_rows.h"
#include "record_checks.h"
#include "resources/config_strings.h"
#include "transmit/frame_list.h"

namespace orv::tool {
namespace {

class OrvtoolTest : public test::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        for (const char* f : {"Orvfrmt.stt", "OrvparamList.stt", "scenario.42i"})
            std::filesystem::copy_file(std::filesystem::path(ORV_SAMPLES_DIR) / f, f);
        // The two kinds without a committed sample, written by the program's own record code.
        ChannelSettingTable settings{};
        for (int c = 1; c <= kSettingsPerKind; ++c) {
            settings[std::size_t(InputSettingIndex(c))] = SettingWord(unsigned(c % 3), unsigned(c % 2));
            settings[std::size_t(OutputSettingIndex(c))] = SettingWord(unsigned((c + 1) % 3), unsigned(c / 5));
        }
        ASSERT_TRUE(SaveChannelSettings(settings));
        WriteBytes("frame.42o", FrameBytes());
    }

    // A frame as the frame dialog saves it: words with and without a format, and pauses between.
    static std::vector<uint8_t> FrameBytes() {
        const std::vector<DecimalFormat> formats = LoadFormats();
        LineList list(false);
        FrameEntry current;
        for (std::size_t i = 0; i < 3; ++i) {
            current.address = uint16_t(0203 + i);
            current.paramLabel = Label8(std::string("P") + char('A' + int(i)));
            current.word = ComposeWord(0x12345u * uint32_t(i + 1), current.address);
            current.formatLabel = i == 1 ? Label8() : formats[i].label;
            current.format = i == 1 ? DecimalFormat::None() : formats[i];
            AppendWordLine(list, current);
            AppendPauseLines(list, int(i));
        }
        return FrameFileBytes(list, current);
    }

    std::string err() { return std::exchange(errors, std::ostringstream()).str(); }
    std::ostringstream out, errors;
};

TEST_F(OrvtoolTest, EveryKindGoesThroughCsvAndJsonAndBackByteForByte) {
    for (const char* file : {"Orvfrmt.stt", "OrvparamList.stt", "Orvparam.stt", "scenario.42i", "frame.42o"}) {
        const std::vector<uint8_t> original = ReadBytes(file);
        ASSERT_FALSE(original.empty()) << file;
        const Kind kind = *KindOfPath(file);
        EXPECT_EQ(Check(file, std::nullopt, out, errors), 0) << file << " " << out.str();
        for (const char* ext : {".csv", ".json"}) {
            SCOPED_TRACE(std::string(file) + ext);
            const std::string text = std::string("text") + ext, back = std::string("back") + ext;
            const TextForm form = std::string_view(ext) == ".csv" ? TextForm::Csv : TextForm::Json;
            ASSERT_EQ(Export(file, std::nullopt, form, text, out, errors), 0) << err();
            ASSERT_EQ(Import(kind, text, "copy.bin", errors), 0) << err();
            EXPECT_EQ(ReadBytes("copy.bin"), original);
            // And the text the copy gives is the text it came from.
            ASSERT_EQ(Export("copy.bin", kind, form, back, out, errors), 0) << err();
            EXPECT_EQ(ReadBytes(back), ReadBytes(text));
        }
    }
    // The text is readable: a head line of field names and the labels as they stand.
    std::ostringstream csv;
    ASSERT_EQ(Export("OrvparamList.stt", std::nullopt, TextForm::Csv, std::nullopt, csv, errors), 0);
    EXPECT_TRUE(csv.str().starts_with("label,address,format\n\"ALT\",203,\"ALT\"\n")) << csv.str();
}

TEST_F(OrvtoolTest, RefusedImportsNameTheLineAndLeaveTheOutputUntouched) {
    const std::vector<uint8_t> before = ReadBytes("OrvparamList.stt");
    struct Case {
        const char* text;
        std::string expected;
    } cases[] = {
        {"label,address,format\n\"ALT\",203,\"ALT\"\n\"BAD\",400,\"\"\n", std::string("line 3: ") + text::kBadAddress},
        {"label,address,format\n\"ALT\",203,\"\"\n\"alt\",204,\"\"\n", "line 3: " + std::string(text::kDuplicateParamOnAdd)},
        {"label,address,format\n\"ALT\",2x3,\"\"\n", "line 2: field address is not a number"},
        {"label,address,format\n\"TOOLONGLABEL\",203,\"\"\n", "line 2: field label is longer than 8 characters"},
        {"label,format\n\"ALT\",\"\"\n", "line 1: the head line must be"},
        {"{\"kind\":\"formats\",\"records\":[]}", "\"kind\" must be \"dictionary\""},
        {"{\"kind\":\"dictionary\",\"records\":[{\"label\":\"A\",\"address\":203,\"format\":\"\"}]}",
         "record 1: field address must be a string"},
    };
    for (const Case& c : cases) {
        const std::string input = c.text[0] == '{' ? "in.json" : "in.csv";
        WriteBytes(input, std::vector<uint8_t>(c.text, c.text + std::strlen(c.text)));
        EXPECT_EQ(Import(Kind::Dictionary, input, "OrvparamList.stt", errors), 1) << c.text;
        EXPECT_EQ(Import(Kind::Dictionary, input, "new.stt", errors), 1);
        const std::string message = err();
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        EXPECT_EQ(ReadBytes("OrvparamList.stt"), before);
        EXPECT_FALSE(std::filesystem::exists("new.stt"));
    }
    // Nothing but the files the test made: no temporary file left behind.
    for (const std::string& name : Entries()) EXPECT_FALSE(name.find(".tmp") != std::string::npos) << name;
}

TEST_F(OrvtoolTest, DecodeGivesTheFieldsOfTheTableRow) {
    const DecimalFormat alt = *FindFormat("ALT");
    for (const ArincWord word : {0x00000000u, 0x60002a0bu, 0x1fffff83u, 0xe0000083u, 0x7ffffffeu})
        for (const DecimalFormat& format : {alt, DecimalFormat::None()}) {
            DisplayEntry entry;
            entry.paramLabel = Label8("ALT");
            entry.channel = 5;
            entry.address = uint16_t(WordLabel(word));
            entry.format = format;
            const std::string row = ParameterRowText(entry, word, 0);
            const WordFields f = DecodeWord(word, format);
            EXPECT_EQ(row.substr(20, 3), f.label);
            EXPECT_EQ(row.substr(28, 10), f.hex);
            EXPECT_EQ(row.substr(41, 12), f.octal);
            EXPECT_EQ(row.substr(57, 2), f.m);
            EXPECT_EQ(row.substr(61, 21), f.decimal);
        }
    ASSERT_EQ(Decode("0x60002a0b", "ALT", "Orvfrmt.stt", out, errors), 0);
    const WordFields f = DecodeWord(0x60002a0b, alt);
    EXPECT_EQ(out.str(), "label    013\nHEX      0x60002a0b\nOCTAL    014000025013\nM        11\nDECIMAL  " +
                             Utf8FromCp1251(f.decimal) + "\n");
    EXPECT_EQ(Decode("60002a0b", "NOSUCH", "Orvfrmt.stt", out, errors), 1);
    EXPECT_EQ(Decode("0x123456789", std::nullopt, "Orvfrmt.stt", out, errors), 2);
    EXPECT_EQ(Decode("-5", std::nullopt, "Orvfrmt.stt", out, errors), 2);
}

TEST_F(OrvtoolTest, CheckNamesEveryProblemOnItsRecord) {
    std::vector<uint8_t> bytes = ReadBytes("Orvfrmt.stt");
    ASSERT_GE(bytes.size(), 3 * kFormatRecordSize);
    bytes[kFormatRecordSize + 27] = 'x';  // record 2: padding that the program writes zero
    // Record 3 gets the label of record 1: the table refuses a duplicate label.
    std::copy_n(bytes.begin() + 18, 8, bytes.begin() + 2 * kFormatRecordSize + 18);
    bytes.push_back(0);  // a partial record at the end
    WriteBytes("Orvfrmt.stt", bytes);
    ASSERT_EQ(Check("Orvfrmt.stt", std::nullopt, out, errors), 1);
    const std::string report = out.str();
    EXPECT_NE(report.find("Orvfrmt.stt: record 2: damaged record"), std::string::npos) << report;
    EXPECT_NE(report.find("Orvfrmt.stt: record 3: " + std::string(text::kDuplicateFormatOnAdd)), std::string::npos)
        << report;
    EXPECT_NE(report.find("Orvfrmt.stt: file: the file ends in a partial record of 1 bytes"), std::string::npos);
    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 3);
    // A damaged record is not exported.
    EXPECT_EQ(Export("Orvfrmt.stt", std::nullopt, TextForm::Csv, std::nullopt, out, errors), 1);

    // Channel settings: a rate code no dialog offers, and a short file.
    std::vector<uint8_t> channels = ReadBytes("Orvparam.stt");
    channels[2] = 3;
    channels.resize(30);
    WriteBytes("Orvparam.stt", channels);
    out.str("");
    EXPECT_EQ(Check("Orvparam.stt", std::nullopt, out, errors), 1);
    EXPECT_NE(out.str().find("record 2: rate code 3 names no rate"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("fewer than 16"), std::string::npos) << out.str();

    // A frame word with an address above 377: its line shows the low eight bits only, so the line
    // does not read back to the record.
    std::vector<uint8_t> frame = ReadBytes("frame.42o");
    PutU16(frame, 4, 0777);
    WriteBytes("frame.42o", frame);
    out.str("");
    EXPECT_EQ(Check("frame.42o", std::nullopt, out, errors), 1);
    const std::string frameReport = out.str();
    EXPECT_TRUE(frameReport.starts_with("frame.42o: record 1: the line does not read back to the same fields: \"  000  PA "))
        << frameReport;
    EXPECT_EQ(std::count(frameReport.begin(), frameReport.end(), '\n'), 1);
    EXPECT_EQ(Check("unknown.bin", std::nullopt, out, errors), 2);
    EXPECT_EQ(Check("missing.42i", std::nullopt, out, errors), 1);
}

TEST_F(OrvtoolTest, ShowListsTheLinesAsTheDialogsDo) {
    ASSERT_EQ(Show("frame.42o", std::nullopt, out, errors), 0);
    FrameEntry current;
    std::string expected;
    for (const std::string& line : FrameFileLines(ReadBytes("frame.42o"), current)) expected += Utf8FromCp1251(line) + "\n";
    EXPECT_EQ(out.str(), expected);
    out.str("");
    ASSERT_EQ(Show("Orvparam.stt", std::nullopt, out, errors), 0);
    const std::string lines = out.str();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 17);  // 8 inputs, a blank line, 8 outputs
}

}  // namespace
}  // namespace orv::tool
