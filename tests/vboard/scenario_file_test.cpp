// Scenario files: what a file says reaches the traffic model; a bad file gives its line and
// reason; the shipped examples load.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

#include "vboard/scenario_file.h"
#include "vboard/toml_guard.h"

namespace orv::test {
namespace {

TEST(ScenarioFileTest, ReadsInputsLabelsEncodingsAndFaults) {
    const char* text = R"(seed = 42
[board1.input1]
hears = "nothing"
[board1.input6]
hears = "traffic"
bit_rate_kbps = 100
parity = "even"
[[board1.input6.label]]
label = "203"
sdi = 2
rate_hz = 25
jitter = 0.1
bnr = { sign_bit = 29, msb = 28, msb_weight = 65536, resolution = 2 }
value = { profile = "steps", values = [1, 2], step_s = 3 }
[[board1.input6.label]]
label = 0o12
bcd = { digits = 5, resolution = 0.5 }
rate_hz = 10
value = { profile = "table", points = [[0, 1], [2, 3]] }
[[board1.input6.fault]]
kind = "ssm"
label = "203"
ssm = "test"
start_s = 5
duration_s = 2
repeat_s = 10
[[board1.input6.fault]]
kind = "extra_label"
label = "377"
rate_hz = 5
discrete = { bits = [11, 29] }
[board2.input3]
hears = "loopback"
)";
    // Board 2 has two outputs: its input 3 cannot hear output 3.
    ScenarioError error;
    EXPECT_FALSE(ParseScenario(text, error));
    EXPECT_EQ(error.line, 33);
    EXPECT_EQ(error.reason, "board2.input3.hears: у платы 2 нет выхода 3");

    const std::string good = std::string(text).replace(std::string(text).find("loopback"), 8, "flight");
    const auto s = ParseScenario(good, error);
    ASSERT_TRUE(s) << error.line << ": " << error.reason;
    EXPECT_EQ(s->seed, 42u);
    const auto& in = s->boards[0].inputs;
    EXPECT_EQ(in[0].hears, InputHears::Nothing);
    EXPECT_EQ(in[1].hears, InputHears::Default);
    EXPECT_EQ(s->boards[1].inputs[2].hears, InputHears::Flight);
    ASSERT_EQ(in[5].hears, InputHears::Traffic);
    const InputTraffic& t = in[5].traffic;
    EXPECT_EQ(t.bitRateKbps, 100.0);
    EXPECT_TRUE(t.evenParity);
    ASSERT_EQ(t.labels.size(), 2u);
    EXPECT_EQ(t.labels[0].label, 0203);
    EXPECT_EQ(t.labels[0].sdi, 2u);
    EXPECT_EQ(t.labels[0].jitter, 0.1);
    EXPECT_EQ(t.labels[0].coding.bnr.lsb, 13u);  // 65536 down to 2: 15 halvings below bit 28
    EXPECT_EQ(t.labels[0].coding.value.kind, ProfileKind::Steps);
    EXPECT_EQ(t.labels[1].label, 012);
    EXPECT_EQ(t.labels[1].coding.encoding, TrafficEncoding::Bcd);
    EXPECT_EQ(t.labels[1].coding.bcd.digits, 5u);
    ASSERT_EQ(t.faults.size(), 2u);
    EXPECT_EQ(t.faults[0].kind, FaultKind::Ssm);
    EXPECT_EQ(t.faults[0].ssm, unsigned(kSsmTest));
    EXPECT_EQ(t.faults[0].label, 0203);
    EXPECT_TRUE(t.faults[0].window.Contains(15.5));
    EXPECT_FALSE(t.faults[0].window.Contains(17.5));
    EXPECT_EQ(t.faults[1].extraLabel, 0377);
    EXPECT_EQ(t.faults[1].extraCoding.discrete.bits, (1u << 10) | (1u << 28));
}

TEST(ScenarioFileTest, BadFilesGiveTheLineAndTheReason) {
    const std::string head = "[board1.input5]\nhears = \"traffic\"\n[[board1.input5.label]]\nlabel = \"203\"\n";
    const std::string bnr = "rate_hz = 10\nbnr = { msb = 28, msb_weight = 64, resolution = 1 }\n";
    const std::tuple<std::string, int, std::string> cases[] = {
        {"[board1.input5\nhears = 1\n", 1, "Error while parsing"},
        {"[board3.input1]\nhears = \"nothing\"\n", 1, "неизвестный ключ board3"},
        {"[board1.input9]\nhears = \"nothing\"\n", 1, "неизвестный вход board1.input9: у платы 1 входы input1..input8"},
        {"[board2.input5]\nhears = \"nothing\"\n", 1, "неизвестный вход board2.input5: у платы 2 входы input1..input4"},
        {"[board1.input1]\nhears = \"radio\"\n", 2,
         "board1.input1.hears: нужно одно из значений loopback, nothing, flight, traffic, playback"},
        {"[board1.input1]\nhears = \"nothing\"\nbit_rate_kbps = 100\n", 3,
         "board1.input1.bit_rate_kbps: ключ только для входа с hears = \"traffic\""},
        {"[board1.input5]\nhears = \"traffic\"\nbit_rate_kbs = 100\n", 3, "неизвестный ключ board1.input5.bit_rate_kbs"},
        {"[board1.input5]\nhears = \"traffic\"\n\"bit rate\" = 100\n", 3, "неизвестный ключ board1.input5.\"bit rate\""},
        {head + "rate_hz = 10\n", 3, "board1.input5.label[1]: у метки нет кодировки: задайте bnr, bcd или discrete"},
        {head + bnr, 3, "нет ключа board1.input5.label[1].value"},
        {"[board1.input5]\nhears = \"traffic\"\n[[board1.input5.label]]\nlabel = \"208\"\n", 4,
         "board1.input5.label[1].label: метка пишется одной-тремя восьмеричными цифрами, как \"203\""},
        {head + "rate_hz = 0\n", 5, "board1.input5.label[1].rate_hz: нужно число от 0.01 до 100000"},
        {head + "rate_hz = 10\nbnr = { msb = 28, msb_weight = 64, resolution = 3 }\nvalue = { profile = \"constant\", value = 1 }\n",
         6, "board1.input5.label[1].bnr.resolution: нужен вес msb_weight, делённый пополам целое число раз"},
        {head + "rate_hz = 10\nbnr = { msb = 12, msb_weight = 64, resolution = 1 }\nvalue = { profile = \"constant\", value = 1 }\n",
         6, "board1.input5.label[1].bnr.resolution: младший бит поля оказывается ниже бита 11"},
        {head + bnr + "value = { profile = \"sine\", amplitude = 1 }\n", 7, "нет ключа board1.input5.label[1].value.period_s"},
        {head + bnr + "value = { profile = \"table\", points = [[0, 1], [0, 2]] }\n", 7,
         "board1.input5.label[1].value.points: времена точек должны возрастать"},
        {head + "rate_hz = 10\ndiscrete = { bits = [9] }\n", 6,
         "board1.input5.label[1].discrete.bits: нужен список номеров битов от 11 до 29"},
        {head + "rate_hz = 10\ndiscrete = {}\ncolour = 3\n", 7, "неизвестный ключ board1.input5.label[1].colour"},
        {head + "rate_hz = 10\ndiscrete = {}\n[[board1.input5.label]]\nlabel = 0o203\nrate_hz = 5\ndiscrete = {}\n", 7,
         "board1.input5.label[2]: метка 203 с SDI 0 уже задана"},
        {head + "rate_hz = 60000\ndiscrete = {}\n[[board1.input5.label]]\nlabel = \"204\"\nrate_hz = 60000\ndiscrete = {}\n",
         7, "board1.input5.label[2]: метки входа board1.input5 вместе дают больше 100000 слов/с"},
        {head + "rate_hz = 10\ndiscrete = {}\n[[board1.input5.fault]]\nkind = \"dropout\"\nlabel = \"204\"\n", 9,
         "board1.input5.fault[1].label: вход не передаёт такую метку"},
        {head + "rate_hz = 10\ndiscrete = {}\n[[board1.input5.fault]]\nkind = \"burst\"\nrate_hz = 500\nprobability = 0.5\n",
         10, "неизвестный ключ board1.input5.fault[1].probability"},
        {head + "rate_hz = 10\ndiscrete = {}\n[[board1.input5.fault]]\nkind = \"parity\"\n[[board1.input5.fault]]\n"
                "kind = \"ssm\"\nssm = \"broken\"\n", 11,
         "board1.input5.fault[2].ssm: нужно одно из значений failure, ncd, test, normal"},
        {head + "rate_hz = 10\ndiscrete = {}\n[[board1.input5.fault]]\nkind = \"parity\"\nduration_s = 5\nrepeat_s = 5\n",
         10, "board1.input5.fault[1].repeat_s: должно быть больше duration_s"},
        {head + "rate_hz = 10\ndiscrete = {}\nbcd = {}\n", 3, "board1.input5.label[1]: у метки одна кодировка: bnr, bcd или discrete"},
    };
    // The reader's own reasons whole; the parser's syntax errors as it gives them.
    for (const auto& [text, line, reason] : cases) {
        ScenarioError error;
        EXPECT_FALSE(ParseScenario(text, error)) << text;
        EXPECT_EQ(error.line, line) << text;
        if (reason.starts_with("Error")) EXPECT_TRUE(error.reason.starts_with(reason)) << error.reason;
        else EXPECT_EQ(error.reason, reason) << text;
    }
}

// toml++ 3.3.0 has undefined behaviour on a table header without a key and on some characters
// (Cyrillic among them) where it tests for white space: the reader refuses them before the parser
// sees the text. Comments and strings keep any character.
TEST(ScenarioFileTest, TextTheTomlLibraryMishandlesIsRefusedFirst) {
    const std::string noName = "после \"[\" должно идти имя таблицы";
    const std::string outside = " допустим только в строке или комментарии";
    const std::string escaped = " не может идти в строке \"\"\"...\"\"\" после \"\\\"";
    const std::tuple<std::string, int, std::string> refused[] = {
        {"[\n", 1, noName},
        {"seed = 1\n[\r\n", 2, noName},
        {"  [[ \n", 1, noName},
        {"[=board1]\n", 1, noName},
        {"\xEF\xBB\xBF[\n", 1, noName},
        {"[board1.input5]\xD0\x96\nhears = \"nothing\"\n", 1, "символ U+0416" + outside},
        {"# \xD0\x96\n[board1.input5]  \xD1\x91\n", 2, "символ U+0451" + outside},
        {"[board1]\xC2\xA1\n", 1, "символ U+00A1" + outside},
        {"[board1]\xE3\x80\x81\n", 1, "символ U+3001" + outside},
        {"[board1]\xEF\xAC\xA6\n", 1, "символ U+FB26" + outside},
        {"seed = 1\xD0\x96\n", 1, "символ U+0416" + outside},
        {"x = [\n  1,\n  \xD0\x96]\n", 3, "символ U+0416" + outside},
        {"x = \"\xD0\x96\" \xD0\x96\n", 1, "символ U+0416" + outside},
        {"x = \"\"\"a\\\xD0\x96\"\"\"\n", 1, "символ U+0416" + escaped},
        {"x = \"\"\"a\\  \n\n  \xD0\x96\"\"\"\n", 3, "символ U+0416" + escaped},
        {"discrete = { bits = [11, }\n", 1, "в списке [...] вместо значения стоит \"}\""},
        {"x = [\n  # \xD0\x96\n  \xE2\x80\xA8]\n", 3, "в списке [...] вместо значения стоит символ U+2028"},
    };
    for (const auto& [text, line, reason] : refused) {
        ScenarioError error;
        EXPECT_FALSE(ParseScenario(text, error)) << text;
        EXPECT_EQ(error.line, line) << text;
        EXPECT_EQ(error.reason, reason) << text;
    }
    // What the library reads soundly goes on to it: text in comments and strings, arrays whose
    // lines start with "[", characters outside the three ranges.
    const std::string passed[] = {
        "x = [\n[1, 2],\n  [3],\n]\n[a]\n",
        "x = \"\"\"\xD0\x96\n\xD0\x96 \\\"\xD0\x96\"\"\"\ny = '''\\\xD0\x96''' # \xD0\x96\nz = \"\\\xD0\x96\"\n",
        "x = \"\"\"a\"\"\"\"\"\n[a]\xD2\x9A\n",
        "[a]\xE3\x80\x80\n",
        "x = [ {a = [1, 2]}, # }\n  {b = 1} ]\ny = [1,\n]\nz = { c = 1 }\n",
    };
    for (const std::string& text : passed) EXPECT_FALSE(FindTomlTrap(text)) << text;
    ScenarioError error;
    EXPECT_TRUE(ParseScenario("# Вход 5 ничего не слышит: ё, Ж, ¡\n[board1.input5] # вход 5\n"
                              "hears = \"nothing\" # «нет»\n",
                              error))
        << error.reason;
    EXPECT_FALSE(ParseScenario("[board1.input5]\nhears = \"полёт\"\n", error));
    EXPECT_EQ(error.reason, "board1.input5.hears: нужно одно из значений loopback, nothing, flight, traffic, playback");
}

// A scenario file written line by line, knowing the line each table starts on.
struct ScenarioText {
    std::string text = "[board1.input5]\nhears = \"traffic\"\nbit_rate_kbps = 100\n";
    int lines = 3;
    int Add(const std::string& table) {  // returns the table's first line
        const int at = lines + 1;
        text += table;
        lines += int(std::count(table.begin(), table.end(), '\n'));
        return at;
    }
    int Label(const std::string& label, double rateHz, int sdi = 0) {
        return Add("[[board1.input5.label]]\nlabel = \"" + label + "\"\nsdi = " + std::to_string(sdi) +
                   "\nrate_hz = " + std::to_string(rateHz) + "\ndiscrete = {}\n");
    }
    int Fault(const std::string& body) { return Add("[[board1.input5.fault]]\n" + body); }
};

// What a file may ask of one input is bounded, so that no accepted file makes the board fall
// behind real time; the refusal names the key and the limit, at the table that goes beyond it.
TEST(ScenarioFileTest, FilesAskingMoreThanTheBoardPlaysInRealTimeAreRefused) {
    const auto refused = [](const ScenarioText& file, int line, const std::string& reason) {
        ScenarioError error;
        EXPECT_FALSE(ParseScenario(file.text, error));
        EXPECT_EQ(error.line, line);
        EXPECT_NE(error.reason.find(reason), std::string::npos) << error.line << ": " << error.reason;
    };
    // 10,000 extra labels at 100 kHz; 1,024 bursts.
    ScenarioText extras, bursts;
    extras.Label("1", 10);
    bursts.Label("1", 10);
    int extra65 = 0, burst65 = 0;
    for (int k = 0; k < 10000; ++k) {
        const int at = extras.Fault("kind = \"extra_label\"\nlabel = \"2\"\nrate_hz = 100000\n");
        if (k == 64) extra65 = at;
    }
    for (int k = 0; k < 1024; ++k) {
        const int at = bursts.Fault("kind = \"burst\"\nlabel = \"1\"\nrate_hz = 100000\n");
        if (k == 64) burst65 = at;
    }
    refused(extras, extra65, "board1.input5.fault: на входе больше 64 отказов");
    refused(bursts, burst65, "board1.input5.fault: на входе больше 64 отказов");

    ScenarioText labels;
    for (int k = 0; k < 256; ++k) labels.Label(std::to_string(k / 64) + std::to_string(k / 8 % 8) + std::to_string(k % 8), 1);
    const int label257 = labels.Label("0", 1, 1);
    refused(labels, label257, "board1.input5.label: на входе больше 256 меток");

    // Words offered: labels, extra labels and bursts at their fastest (a burst also offers a word
    // at each opening of its window: 99,500 words/s and 1,000 openings a second).
    ScenarioText offers;
    offers.Label("1", 60000);
    offers.Fault("kind = \"extra_label\"\nlabel = \"2\"\nrate_hz = 30000\n");
    const int tooMany = offers.Fault("kind = \"burst\"\nlabel = \"1\"\nrate_hz = 9500\nduration_s = 0.0005\nrepeat_s = 0.001\n");
    refused(offers, tooMany, "предлагают вместе больше 100000 слов/с");

    // Fault checks: 60,000 words/s against 16 faults are played, against 17 they are not.
    ScenarioText checks;
    checks.Label("1", 60000);
    int seventeenth = 0;
    for (int k = 0; k < 17; ++k) {
        if (k == 16) {
            ScenarioError error;
            EXPECT_TRUE(ParseScenario(checks.text, error)) << error.reason;
        }
        seventeenth = checks.Fault("kind = \"dropout\"\nprobability = 0.001\n");
    }
    refused(checks, seventeenth, "board1.input5.fault: отказы входа проверяют больше 1000000 слов/с");
}

TEST(ScenarioFileTest, FilesThatCannotBeReadSaySo) {
    ScenarioError error;
    EXPECT_FALSE(LoadScenarioFile("/nonexistent/scenario.toml", error));
    EXPECT_EQ(error.line, 0);
    EXPECT_EQ(error.reason, "нет такого файла");
    EXPECT_FALSE(LoadScenarioFile("/tmp", error));
    EXPECT_EQ(error.reason, "это не обычный файл");
    // A file far longer than any scenario is refused unread, not parsed into gigabytes.
    const std::string huge = std::filesystem::temp_directory_path() / "orv-huge-scenario.toml";
    {
        std::ofstream out(huge);
        out << "# a comment, then nothing but blanks\n";
    }
    std::filesystem::resize_file(huge, std::uintmax_t(1) << 30);
    EXPECT_FALSE(LoadScenarioFile(huge, error));
    EXPECT_EQ(error.reason, "файл длиннее 4194304 байт: такого сценария быть не может");
    std::filesystem::remove(huge);
}

TEST(ScenarioFileTest, ShippedExamplesLoad) {
    for (const char* name : {"all-encodings.toml", "faults.toml"}) {
        ScenarioError error;
        const auto s = LoadScenarioFile(std::string(ORV_SAMPLES_DIR "/scenarios/") + name, error);
        ASSERT_TRUE(s) << name << ":" << error.line << ": " << error.reason;
        unsigned traffic = 0;
        for (const auto& in : s->boards[0].inputs) traffic += in.hears == InputHears::Traffic ? 1 : 0;
        EXPECT_EQ(traffic, 8u) << name;
    }
    // The complete example of the documentation.
    std::ifstream doc(ORV_SAMPLES_DIR "/../docs/VIRTUAL_BOARD.md");
    const std::string text{std::istreambuf_iterator<char>(doc), {}};
    const std::size_t begin = text.find("```toml\n");
    ASSERT_NE(begin, std::string::npos);
    const std::size_t end = text.find("```", begin + 8);
    ScenarioError error;
    const auto s = ParseScenario(text.substr(begin + 8, end - begin - 8), error);
    ASSERT_TRUE(s) << error.line << ": " << error.reason;
    EXPECT_EQ(s->boards[0].inputs[4].traffic.faults.size(), 6u);
}

}  // namespace
}  // namespace orv::test
