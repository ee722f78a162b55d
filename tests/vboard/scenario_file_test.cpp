// Scenario files: what a file says reaches the traffic model; a bad file gives its line and
// reason; the shipped examples load.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

#include "vboard/scenario_file.h"

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
    EXPECT_EQ(error.reason, "board 2 has no output 3");

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
        {"[board3.input1]\nhears = \"nothing\"\n", 1, "unknown key 'board3' in the file"},
        {"[board1.input9]\nhears = \"nothing\"\n", 1, "board1 has inputs input1 to input8, not 'input9'"},
        {"[board2.input5]\nhears = \"nothing\"\n", 1, "board2 has inputs input1 to input4, not 'input5'"},
        {"[board1.input1]\nhears = \"radio\"\n", 2, "hears must be one of loopback, nothing, flight, traffic"},
        {"[board1.input1]\nhears = \"nothing\"\nbit_rate_kbps = 100\n", 3,
         "bit_rate_kbps belongs to an input that hears traffic"},
        {head + "rate_hz = 10\n", 3, "the label has no encoding: give bnr, bcd or discrete"},
        {head + bnr, 3, "value is missing in label"},
        {"[board1.input5]\nhears = \"traffic\"\n[[board1.input5.label]]\nlabel = \"208\"\n", 4,
         "a label is one to three octal digits"},
        {head + "rate_hz = 0\n", 5, "rate_hz must be between 0.01 and 100000"},
        {head + "rate_hz = 10\nbnr = { msb = 28, msb_weight = 64, resolution = 3 }\nvalue = { profile = \"constant\", value = 1 }\n",
         6, "resolution must be msb_weight halved a whole number of times"},
        {head + "rate_hz = 10\nbnr = { msb = 12, msb_weight = 64, resolution = 1 }\nvalue = { profile = \"constant\", value = 1 }\n",
         6, "resolution puts the lsb below bit 11"},
        {head + bnr + "value = { profile = \"sine\", amplitude = 1 }\n", 7, "period_s is missing in value"},
        {head + bnr + "value = { profile = \"table\", points = [[0, 1], [0, 2]] }\n", 7, "the times of points must grow"},
        {head + "rate_hz = 10\ndiscrete = { bits = [9] }\n", 6, "bits must be a list of bit numbers 11 to 29"},
        {head + "rate_hz = 10\ndiscrete = {}\ncolour = 3\n", 7, "unknown key 'colour' in label"},
        {head + "rate_hz = 10\ndiscrete = {}\n[[board1.input5.label]]\nlabel = 0o203\nrate_hz = 5\ndiscrete = {}\n", 7,
         "label 203 with SDI 0 is given twice"},
        {head + "rate_hz = 60000\ndiscrete = {}\n[[board1.input5.label]]\nlabel = \"204\"\nrate_hz = 60000\ndiscrete = {}\n",
         7, "the labels of the input offer more than 100000 words/s together"},
        {head + "rate_hz = 10\ndiscrete = {}\n[[board1.input5.fault]]\nkind = \"dropout\"\nlabel = \"204\"\n", 9,
         "the input sends no such label"},
        {head + "rate_hz = 10\ndiscrete = {}\n[[board1.input5.fault]]\nkind = \"burst\"\nrate_hz = 500\nprobability = 0.5\n",
         10, "unknown key 'probability' in fault"},
        {head + "rate_hz = 10\ndiscrete = {}\n[[board1.input5.fault]]\nkind = \"ssm\"\nssm = \"broken\"\n", 9,
         "ssm must be one of failure, ncd, test, normal"},
        {head + "rate_hz = 10\ndiscrete = {}\n[[board1.input5.fault]]\nkind = \"parity\"\nduration_s = 5\nrepeat_s = 5\n",
         10, "repeat_s must be longer than duration_s"},
    };
    for (const auto& [text, line, reason] : cases) {
        ScenarioError error;
        EXPECT_FALSE(ParseScenario(text, error)) << text;
        EXPECT_EQ(error.line, line) << text;
        EXPECT_NE(error.reason.find(reason), std::string::npos) << text << "\n-> " << error.reason;
    }
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
    EXPECT_EQ(error.reason, "there is no such file");
    EXPECT_FALSE(LoadScenarioFile("/tmp", error));
    EXPECT_EQ(error.reason, "it is not a regular file");
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
