// orvtool on the committed samples, which the program itself wrote: every kind through CSV and
// JSON and back byte for byte, imports that are refused leave the output as it was, decode agrees
// with the table row, and check names each problem with the program's own reason.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "text/code_page.h"
#include "commands.h"
#include "config/channel_settings.h"
#include "config/format_file.h"
#include "config/param_file.h"
#include "files/record_codec.h"
#include "files/file_replacement.h"
#include "support/scratch_dir.h"
#include "config/table_rules.h"
#include "display/display_line_file.h"
#include "monitor/table_rows.h"
#include "resources/config_strings.h"
#include "resources/display_strings.h"
#include "resources/file_strings.h"
#include "transmit/frame_list.h"
#include "vboard/scenario_file.h"

namespace orv::tool {
namespace {

constexpr const char* kSamples[] = {"Orvfrmt.stt", "OrvparamList.stt", "Orvparam.stt", "scenario.42i", "scenario.42o"};

// Works on copies of the committed samples, which the program's own record code wrote.
class OrvtoolTest : public test::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        for (const char* f : kSamples) std::filesystem::copy_file(std::filesystem::path(ORV_SAMPLES_DIR) / f, f);
    }

    static std::string Utf8Lines(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += Utf8FromCp1251(line) + "\n";
        return text;
    }
    std::string err() { return std::exchange(errors, std::ostringstream()).str(); }
    std::string report() { return std::exchange(out, std::ostringstream()).str(); }
    std::ostringstream out, errors;
};

TEST_F(OrvtoolTest, EveryKindGoesThroughCsvAndJsonAndBackByteForByte) {
    EXPECT_EQ(Check(std::vector<std::string>(std::begin(kSamples), std::end(kSamples)), std::nullopt, out, errors), 0)
        << report() << err();
    for (const char* file : kSamples) {
        const std::vector<uint8_t> original = ReadBytes(file);
        ASSERT_FALSE(original.empty()) << file;
        const Kind kind = *KindOfPath(file);
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
    using namespace std::string_literals;
    struct Case {
        std::string text;
        std::string expected;
    } cases[] = {
        {"label,address,format\n\"ALT\",203,\"ALT\"\n\"BAD\",1000,\"\"\n", std::string("line 3: ") + text::kDefectColumns},
        {"label,address,format\n\"ALT\",203,\"\"\n\"alt\",204,\"\"\n", "line 3: " + std::string(text::kDuplicateParamOnAdd)},
        {"label,address,format\n\"A\tB\",203,\"\"\n", std::string("line 2: ") + text::kDefectControl},
        {"label,address,format\n\"ALT\",2x3,\"\"\n", "line 2: field address is not a number"},
        {"label,address,format\n\"TOOLONGLABEL\",203,\"\"\n", "line 2: field label is longer than 8 characters"},
        {"label,format\n\"ALT\",\"\"\n", "line 1: the head line must be"},
        {"{\"kind\":\"formats\",\"records\":[]}", "\"kind\" must be \"dictionary\""},
        {"{\"kind\":\"dictionary\",\"records\":[{\"label\":\"A\",\"address\":203,\"format\":\"\"}]}",
         "record 1: field address must be a string"},
        // A NUL would end the label's text and hide what follows it.
        {"label,address,format\n\"ALT\",203,\"\"\n\"A\nB\0C\",204,\"\"\n"s,
         "line 4: a NUL character, which no text of a record can hold"},
        {"{\"kind\":\"dictionary\",\"records\":[{\"label\":\"A\\u0000B\",\"address\":\"203\",\"format\":\"\"}]}",
         "record 1: field label holds a NUL character"},
        // A key given twice is refused, not resolved one way or the other.
        {"{\"kind\":\"dictionary\",\"records\":[{\"label\":\"A\",\"address\":\"203\",\"format\":\"\","
         "\"label\":\"B\"}]}",
         "record 1: the key \"label\" is given twice in one object"},
        {"{\"kind\":\"dictionary\",\"records\":[],\"kind\":\"dictionary\"}", "the key \"kind\" is given twice"},
        {"{\"records\":[{\"label\":\"A\"}],\"kind\":\"dictionary\"}",
         "record 1: must be an object with the fields of a dictionary record"},
        {"{\"kind\":\"dictionary\",\"records\":{}}", "\"records\" must be an array"},
        {"{\"kind\":\"dictionary\",\"records\":[]} x", "not a JSON object"},
    };
    for (const Case& c : cases) {
        const std::string input = c.text[0] == '{' ? "in.json" : "in.csv";
        WriteBytes(input, std::vector<uint8_t>(c.text.begin(), c.text.end()));
        EXPECT_EQ(Import(Kind::Dictionary, input, "OrvparamList.stt", errors), 1) << c.text;
        EXPECT_EQ(Import(Kind::Dictionary, input, "new.stt", errors), 1);
        const std::string message = err();
        EXPECT_NE(message.find(c.expected), std::string::npos) << message;
        EXPECT_EQ(ReadBytes("OrvparamList.stt"), before);
        EXPECT_FALSE(std::filesystem::exists("new.stt"));
    }
    // Nothing but the files the test made: no temporary file left behind.
    for (const std::string& name : Entries()) EXPECT_FALSE(IsReplacementTemporary(name)) << name;
}

// A spreadsheet writes a UTF-8 byte-order mark before the head line: the text imports as without it.
TEST_F(OrvtoolTest, ACsvWithAByteOrderMarkImports) {
    ASSERT_EQ(Export("OrvparamList.stt", std::nullopt, TextForm::Csv, "text.csv", out, errors), 0) << err();
    std::vector<uint8_t> text = ReadBytes("text.csv");
    text.insert(text.begin(), {0xEF, 0xBB, 0xBF});
    WriteBytes("bom.csv", text);
    ASSERT_EQ(Import(Kind::Dictionary, "bom.csv", "copy.stt", errors), 0) << err();
    EXPECT_EQ(ReadBytes("copy.stt"), ReadBytes("OrvparamList.stt"));
}

// Output that cannot be written (a full disk) fails with a message, whatever the command found.
TEST_F(OrvtoolTest, OutputThatCannotBeWrittenFailsWithAMessage) {
    const std::string told = "orvtool: the output could not be written\n";
    std::ofstream full("/dev/full");
    ASSERT_TRUE(full.is_open());
    EXPECT_EQ(Show("scenario.42i", std::nullopt, full, errors), 1);
    EXPECT_EQ(err(), told);
    full.clear();
    EXPECT_EQ(Export("Orvfrmt.stt", std::nullopt, TextForm::Json, std::nullopt, full, errors), 1);
    EXPECT_EQ(err(), told);
    full.clear();
    // Check writes nothing for sound files, but a problem line that is lost must not pass as "none".
    std::vector<uint8_t> bytes = ReadBytes("Orvfrmt.stt");
    bytes.push_back(0);
    WriteBytes("Orvfrmt.stt", bytes);
    EXPECT_EQ(Check(std::vector<std::string>{"scenario.42i", "Orvfrmt.stt"}, std::nullopt, full, errors), 1);
    EXPECT_EQ(err(), told);
    full.clear();
    EXPECT_EQ(Decode("0x60002a0b", std::nullopt, "Orvfrmt.stt", full, errors), 1);
    EXPECT_EQ(err(), told);
}

void MakeSparseFile(const char* name, off_t size) {
    const int fd = open(name, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    EXPECT_EQ(ftruncate(fd, size), 0);
    close(fd);
}

// A file or text longer than its kind can be is refused unread, and a text with more records than
// the kind takes is refused when the parser meets the one too many: memory stays bounded.
TEST_F(OrvtoolTest, InputsTooLargeForTheirKindAreRefused) {
    MakeSparseFile("Orvfrmt.stt", off_t(1) << 30);
    const std::string limit = "longer than the 29360128 bytes orvtool reads of a formats file (1048576 records); not read";
    EXPECT_EQ(Check("Orvfrmt.stt", std::nullopt, out, errors), 1);
    EXPECT_EQ(report(), "Orvfrmt.stt: file: " + limit + "\n");
    EXPECT_EQ(Show("Orvfrmt.stt", std::nullopt, out, errors), 1);
    EXPECT_EQ(err(), "Orvfrmt.stt: " + limit + "\n");
    EXPECT_EQ(report(), "");

    MakeSparseFile("big.csv", off_t(1) << 30);
    EXPECT_EQ(Import(Kind::Channels, "big.csv", "Orvparam.stt", errors), 1);
    EXPECT_EQ(err(), "big.csv: longer than the 8388608 bytes orvtool reads of a text for a channels file; not read\n");

    std::string csv = "direction,channel,rate,parity\n", json = "{\"kind\":\"channels\",\"records\":[";
    for (std::size_t i = 0; i <= MaxRecords(Kind::Channels); ++i) {
        csv += "\"in\",1,0,0\n";
        json += i ? ",{}" : "{}";
    }
    WriteBytes("many.csv", std::vector<uint8_t>(csv.begin(), csv.end()));
    EXPECT_EQ(Import(Kind::Channels, "many.csv", "Orvparam.stt", errors), 1);
    EXPECT_EQ(err(), "many.csv: line 32770: more than the 32768 records orvtool takes for a channels file\n");
    json += "]}";
    WriteBytes("many.json", std::vector<uint8_t>(json.begin(), json.end()));
    EXPECT_EQ(Import(Kind::Channels, "many.json", "Orvparam.stt", errors), 1);
    EXPECT_EQ(err(), "many.json: record 32769: more than the 32768 records orvtool takes for a channels file\n");

    // Nor do fields, keys or levels beyond what any text of records holds take memory.
    const std::string commas = "direction,channel,rate,parity\n" + std::string(4 * 32770, ',');
    const std::string deep = "{\"kind\":\"channels\",\"records\":" + std::string(100, '[') + std::string(100, ']') + "}";
    std::string keys = "{\"kind\":\"channels\",\"records\":[],\"k0\":0";
    for (int k = 1; k <= 64; ++k) keys += ",\"k" + std::to_string(k) + "\":0";
    keys += "}";
    for (const auto& [name, text, expected] : {std::tuple<std::string, std::string, std::string>{
             "commas.csv", commas, "commas.csv: line 2: more fields than 32768 records of a channels file hold\n"},
             {"deep.json", deep, "deep.json: values nested more than 64 deep\n"},
             {"keys.json", keys, "keys.json: an object with more than 64 keys\n"}}) {
        WriteBytes(name, std::vector<uint8_t>(text.begin(), text.end()));
        EXPECT_EQ(Import(Kind::Channels, name, "Orvparam.stt", errors), 1);
        EXPECT_EQ(err(), expected);
    }
}

// An allocation that fails ends the command with a message and exit code 1, never an abort: a
// child limits its address space below what a file of the largest size orvtool reads needs.
TEST_F(OrvtoolTest, AFailedAllocationIsAMessage) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "the sanitizers' allocators end the process on a failed allocation";
#endif
    MakeSparseFile("Orvfrmt.stt", off_t(MaxFileBytes(Kind::Formats)));
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(fds[0]);
        long pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t(16) << 20);
        const rlimit rl{limit, limit};
        if (pages == 0 || setrlimit(RLIMIT_AS, &rl) != 0) _exit(10);
        std::ostringstream o, e;
        const int code = Check("Orvfrmt.stt", std::nullopt, o, e);
        const std::string told = e.str();
        if (write(fds[1], told.data(), told.size()) < 0) _exit(11);
        _exit(code);
    }
    close(fds[1]);
    std::string told;
    char buf[256];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) told.append(buf, std::size_t(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(told, "Orvfrmt.stt: not enough memory; stopped\n");
}

TEST_F(OrvtoolTest, DecodeGivesTheFieldsOfTheTableRow) {
    const DecimalFormat alt = *FindFormat("ALT");
    for (const ArincWord word : {0x00000000u, 0x60002a0bu, 0x1fffff83u, 0xe0000083u, 0x7ffffffeu, 0x10000083u})
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
    // Sign set, field all 0: the most negative altitude, 2 x 65536 ft.
    EXPECT_EQ(DecodeWord(0x10000083, alt).decimal, " -1.310720e+005 ft   ");
    EXPECT_EQ(Decode("60002a0b", "NOSUCH", "Orvfrmt.stt", out, errors), 1);
    EXPECT_EQ(Decode("0x123456789", std::nullopt, "Orvfrmt.stt", out, errors), 2);
    EXPECT_EQ(Decode("-5", std::nullopt, "Orvfrmt.stt", out, errors), 2);
}

TEST_F(OrvtoolTest, CheckNamesEveryProblemOnItsRecordWithTheProgramsReason) {
    std::vector<uint8_t> bytes = ReadBytes("Orvfrmt.stt");
    ASSERT_GE(bytes.size(), 4 * kFormatRecordSize);
    bytes[kFormatRecordSize + 27] = 'x';      // record 2: padding the program ignores
    PutU16(bytes, kFormatRecordSize + 8, 300);  // record 2: msb wider than its two columns
    // Record 3 gets the label of record 1: the table refuses a duplicate label.
    std::copy_n(bytes.begin() + 18, 8, bytes.begin() + 2 * kFormatRecordSize + 18);
    // Record 4: a weight its six-decimal text does not give back (lsb 5, which only the editor
    // refuses, is no damage).
    PutF32(bytes, 3 * kFormatRecordSize + 4, 0.1234567f);
    PutU16(bytes, 3 * kFormatRecordSize + 10, 5);
    bytes.push_back(0);                            // a partial record at the end
    WriteBytes("Orvfrmt.stt", bytes);
    ASSERT_EQ(Check("Orvfrmt.stt", std::nullopt, out, errors), 1);
    EXPECT_EQ(report(), std::string("Orvfrmt.stt: record 2: ") + text::kDefectColumns + "\n" +
                            "Orvfrmt.stt: record 3: " + text::kDuplicateFormatOnAdd + "\n" +
                            "Orvfrmt.stt: record 4: " + text::kDefectColumns + "\n" +
                            "Orvfrmt.stt: file: the file ends in a partial record of 1 bytes\n");
    // What the program leaves out is not exported; show leaves it out and tells as the dialog does.
    EXPECT_EQ(Export("Orvfrmt.stt", std::nullopt, TextForm::Csv, std::nullopt, out, errors), 1);
    EXPECT_EQ(report(), "");
    EXPECT_NE(err().find("record 4: " + std::string(text::kDefectColumns)), std::string::npos);
    ASSERT_EQ(Show("Orvfrmt.stt", std::nullopt, out, errors), 0);
    EXPECT_EQ(report(), Utf8Lines(FormatLines(LoadFormats()).Lines()));
    EXPECT_EQ(err(), "Orvfrmt.stt: " + text::DamagedRecordsMessage("Orvfrmt.stt", 3) + "\n");

    // Channel settings: a rate code no dialog offers; a short file is read over the table as the
    // dialog reads it; bytes beyond the sixteen words are not read; bits above 2 are kept by the
    // program but the text cannot hold them.
    std::vector<uint8_t> channels = ReadBytes("Orvparam.stt");
    channels[2] = 3;
    channels.resize(30);
    WriteBytes("Orvparam.stt", channels);
    EXPECT_EQ(Check("Orvparam.stt", std::nullopt, out, errors), 1);
    EXPECT_EQ(report(), "Orvparam.stt: record 2: " + std::string(text::kDefectUnknownRate) + "\n");
    channels[2] = 0x10;
    channels.resize(34);
    WriteBytes("Orvparam.stt", channels);
    EXPECT_EQ(Check("Orvparam.stt", std::nullopt, out, errors), 1);
    EXPECT_EQ(report(), "Orvparam.stt: file: the program reads the first 32 bytes only; 2 more are not read\n");
    channels.resize(32);
    WriteBytes("Orvparam.stt", channels);
    EXPECT_EQ(Check("Orvparam.stt", std::nullopt, out, errors), 0);
    EXPECT_EQ(Export("Orvparam.stt", std::nullopt, TextForm::Json, std::nullopt, out, errors), 1);
    EXPECT_NE(err().find("record 2: bits above 2 are set"), std::string::npos);

    // A frame word with an address above 377: its line shows the low eight bits only.
    std::vector<uint8_t> frame = ReadBytes("scenario.42o");
    PutU16(frame, 4, 0777);
    WriteBytes("scenario.42o", frame);
    EXPECT_EQ(Check("scenario.42o", std::nullopt, out, errors), 1);
    EXPECT_EQ(report(), "scenario.42o: record 1: " + std::string(text::kDefectColumns) + "\n");

    // A display list: the list dialog takes 256 lines, and its editor refuses a second line of the
    // same address and channel.
    std::vector<DisplayLineRecord> lines = DecodeDisplayLineFile(ReadBytes("scenario.42i")).records;
    lines.push_back(lines[0]);
    // The filler lines are on input 2, which the sample list leaves free.
    for (uint16_t a = 0; lines.size() < 257; ++a) lines.push_back({.address = a, .channel = 2, .formatLabel = Label8(), .paramLabel = Label8("X")});
    WriteBytes("many.42i", EncodeDisplayLines(lines));
    EXPECT_EQ(Check("many.42i", std::nullopt, out, errors), 1);
    const std::size_t first = DecodeDisplayLineFile(ReadBytes("scenario.42i")).records.size() + 1;
    EXPECT_EQ(report(), "many.42i: record " + std::to_string(first) + ": " + text::kDisplayDuplicate + "\n" +
                            "many.42i: record 257: " + text::kDisplayListFull + "\n");

    // A line with no label slot stays in the list, but loading the list refuses it.
    WriteBytes("high.42i", EncodeDisplayLines(std::vector<DisplayLineRecord>{
                               lines[0], {.address = 0400, .channel = 1, .formatLabel = Label8(), .paramLabel = Label8("HIGH")}}));
    EXPECT_EQ(Check("high.42i", std::nullopt, out, errors), 1);
    EXPECT_EQ(report(), "high.42i: record 2: " + std::string(text::kDisplayBadAddress) + "\n");

    // A missing file is a wrong argument; one that cannot be read is a problem with the program's
    // message.
    std::filesystem::create_directory("folder.42i");
    EXPECT_EQ(Check(std::vector<std::string>{"missing.42i", "folder.42i", "scenario.42i"}, std::nullopt, out, errors), 2);
    EXPECT_EQ(report(), "folder.42i: file: " + text::FileMessage(text::kFileReadFailed, "folder.42i") + "\n");
    EXPECT_EQ(err(), "missing.42i: no such file\n");
    EXPECT_EQ(Check("folder.42i", std::nullopt, out, errors), 1);
    EXPECT_EQ(Check("unknown.bin", std::nullopt, out, errors), 2);
}

TEST_F(OrvtoolTest, CheckReadsAScenarioFileWithTheProgramsMessages) {
    const std::filesystem::path scenarios = std::filesystem::path(ORV_SAMPLES_DIR) / "scenarios";
    std::filesystem::copy_file(scenarios / "faults.toml", "faults.toml");
    std::filesystem::copy_file(scenarios / "all-encodings.toml", "ALL.TOML");
    EXPECT_EQ(Check(std::vector<std::string>{"faults.toml", "ALL.TOML"}, std::nullopt, out, errors), 0) << report() << err();
    EXPECT_EQ(report(), "");

    // A problem: the reader's reason on its line, as the program's message gives it.
    const std::string misspelt = "[board1.input5]\nhears = \"traffic\"\nbit_rate_kbs = 100\n";
    WriteBytes("misspelt.toml", std::vector<uint8_t>(misspelt.begin(), misspelt.end()));
    WriteBytes("header.toml", {'[', '\n'});
    ScenarioError error;
    ASSERT_FALSE(LoadScenarioFile("misspelt.toml", error));
    EXPECT_EQ(Check(std::vector<std::string>{"faults.toml", "misspelt.toml", "header.toml"}, std::nullopt, out, errors), 1);
    EXPECT_EQ(report(), "misspelt.toml: line 3: неизвестный ключ board1.input5.bit_rate_kbs\n"
                        "header.toml: line 1: после \"[\" должно идти имя таблицы\n");
    EXPECT_NE(ScenarioErrorMessage("misspelt.toml", error).find("строка 3: " + error.reason + "."), std::string::npos);

    // Missing: a wrong argument; unreadable: a problem with the program's message; the other
    // commands do not take a scenario.
    std::filesystem::create_directory("folder.toml");
    EXPECT_EQ(Check(std::vector<std::string>{"missing.toml", "folder.toml"}, std::nullopt, out, errors), 2);
    EXPECT_EQ(report(), "folder.toml: file: " + text::FileMessage(text::kFileReadFailed, "folder.toml") + "\n");
    EXPECT_EQ(err(), "missing.toml: no such file\n");
    EXPECT_EQ(Show("faults.toml", std::nullopt, out, errors), 2);
    EXPECT_EQ(err(), "faults.toml: a scenario file has no records; only check reads it\n");
}

TEST_F(OrvtoolTest, ShowListsTheLinesAsTheDialogsDo) {
    ASSERT_EQ(Show("scenario.42o", std::nullopt, out, errors), 0);
    FrameEntry current;
    EXPECT_EQ(report(), Utf8Lines(FrameFileLines(ReadBytes("scenario.42o"), current)));
    ASSERT_EQ(Show("Orvparam.stt", std::nullopt, out, errors), 0);
    const std::string lines = out.str();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 17);  // 8 inputs, a blank line, 8 outputs
}

}  // namespace
}  // namespace orv::tool
