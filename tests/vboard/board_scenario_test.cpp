// Scenario traffic on the virtual board, seen the way the program sees it: through the board's
// requests, on the manual clock.

#include <chrono>
#include <thread>

#include "vboard/board_fixture.h"
#include "vboard/scenario_file.h"

namespace orv::test {
namespace {

// Hashes of the flight's stream on input 5 as the board played it before scenarios existed.
constexpr std::pair<uint64_t, uint64_t> kFlightBefore{0x37a762a5c1b78200ull, 0x48e89653df2e491dull};

uint64_t Fnv(const std::vector<uint32_t>& words) {
    uint64_t h = 1469598103934665603ull;
    for (uint32_t w : words) h = (h ^ w) * 1099511628211ull;
    return h;
}

class BoardScenarioTest : public VirtualBoardTest {
protected:
    // The built-in flight captured on input 5 as a stream: the first 256 words, then 256 more.
    std::pair<uint64_t, uint64_t> FlightStream() { return FlightStream(provider); }
    std::pair<uint64_t, uint64_t> FlightStream(VirtualBoardProvider& boards) {
        boards.Advance(3000);
        const std::vector<uint32_t> first = Block(5);
        boards.Advance(1'004'000 - 3000);
        const std::vector<uint32_t> second = Block(5);
        return {Fnv(first), Fnv(second)};
    }
};

TEST_F(BoardScenarioTest, WithoutAFileTheFlightIsTheSameWordsAsBefore) {
    StartBoard();
    ASSERT_EQ(StartInput(5, 0x8700), 1);
    EXPECT_EQ(FlightStream(), kFlightBefore);
    EXPECT_EQ(Block(5)[0], 0x62328183u);  // ALT 18,000 ft, SDI 1
    const BoardCounters c = provider.Counters(1);
    EXPECT_EQ(c.hears[0], InputHears::Loopback);
    EXPECT_EQ(c.hears[4], InputHears::Flight);
    EXPECT_EQ(c.lines[4].sent, c.inputs[4].received);
    EXPECT_EQ(c.lines[4].notSent, 0u);
}

TEST_F(BoardScenarioTest, AFileThatNamesTheFlightOrLeavesTheWiringPlaysTheSameWords) {
    for (const char* text : {"[board1.input1]\nhears = \"nothing\"\n", "[board1.input5]\nhears = \"flight\"\n"}) {
        VirtualBoardProvider fresh(BoardClock::Manual);
        ScenarioError error;
        const auto scenario = ParseScenario(text, error);
        ASSERT_TRUE(scenario);
        fresh.PlayScenario(*scenario);
        auto handle = fresh.Open("arinc10");
        link.Attach(handle.get());
        StartBoard();
        ASSERT_EQ(StartInput(5, 0x8700), 1);
        EXPECT_EQ(FlightStream(fresh), kFlightBefore) << text;
        link.Attach(device.get());
    }
}

// Traffic on input 5 of board 1 from a scenario text, played from board time 0.
class TrafficOnInput5 : public BoardScenarioTest {
protected:
    void Play(const std::string& extra, const std::string& labels = kAlt100) {
        ScenarioError error;
        const auto scenario =
            ParseScenario("[board1.input5]\nhears = \"traffic\"\n" + labels + extra, error);
        ASSERT_TRUE(scenario) << error.line << ": " << error.reason;
        provider.PlayScenario(*scenario);
    }
    InputCounters In5() { return provider.Counters(1).inputs[4]; }

    static inline const std::string kAlt100 =
        "[[board1.input5.label]]\nlabel = \"203\"\nsdi = 1\nrate_hz = 100\n"
        "bnr = { msb = 28, msb_weight = 65536, resolution = 1 }\n"
        "value = { profile = \"constant\", value = 18000 }\n";
    static constexpr uint32_t kAltWord = 0x62328183u;
};

TEST_F(TrafficOnInput5, ParityErrorsAreDroppedWithTheCheckOnAndCounted) {
    Play("[[board1.input5.fault]]\nkind = \"parity\"\nstart_s = 1\nduration_s = 1\n");
    StartBoard();
    ASSERT_EQ(StartInput(5, 0x0500), 1);
    provider.Advance(1'010'000);  // the last word sent before the fault has arrived
    EXPECT_EQ(Slot(5, 0203), kAltWord);
    link.ReleaseSlot(LabelSlotAddress(5, 0203));
    provider.Advance(990'000);
    EXPECT_EQ(Slot(5, 0203) >> 16, 0u);  // nothing accepted inside the fault
    provider.Advance(1'000'000);
    EXPECT_EQ(Slot(5, 0203), kAltWord);
    EXPECT_NEAR(double(In5().parityDropped), 100, 1);
    EXPECT_NEAR(double(In5().received), 200, 1);

    // With the check off the words come in with the parity bit as it was on the wire.
    std::array<uint16_t, 16> settings{};
    settings[4] = 4;
    StartBoard(settings);
    Play("[[board1.input5.fault]]\nkind = \"parity\"\nstart_s = 0\nduration_s = 1\n");
    ASSERT_EQ(StartInput(5, 0x8700), 1);
    const uint64_t dropped = In5().parityDropped;
    provider.Advance(500'000);
    EXPECT_EQ(In5().parityDropped, dropped);
    EXPECT_EQ(Block(5)[0], kAltWord | kArincParityBit);  // even parity on an odd data word
}

TEST_F(TrafficOnInput5, ADropoutStopsTheLabelAndItComesBack) {
    Play("[[board1.input5.fault]]\nkind = \"dropout\"\nlabel = \"203\"\nstart_s = 1\nduration_s = 2\n",
         kAlt100 + "[[board1.input5.label]]\nlabel = \"270\"\nrate_hz = 10\ndiscrete = { bits = [11, 29] }\n");
    StartBoard();
    ASSERT_EQ(StartInput(5, 0x0500), 1);
    provider.Advance(1'100'000);
    link.ReleaseSlot(LabelSlotAddress(5, 0203));
    link.ReleaseSlot(LabelSlotAddress(5, 0270));
    provider.Advance(1'800'000);
    EXPECT_EQ(Slot(5, 0203) >> 16, 0u);       // stopped
    EXPECT_EQ(Slot(5, 0270), 0x100004B8u);    // the other label goes on
    provider.Advance(200'000);
    EXPECT_EQ(Slot(5, 0203), kAltWord);       // back
    EXPECT_NEAR(double(In5().received), 100 + 10 + 31, 2);  // ALT before and after, DISC
    EXPECT_EQ(provider.Counters(1).lines[4].notSent, 0u);
}

TEST_F(TrafficOnInput5, AnSsmChangeShowsInBits30And31) {
    Play("[[board1.input5.fault]]\nkind = \"ssm\"\nssm = \"ncd\"\nstart_s = 1\nduration_s = 1\n"
         "[[board1.input5.fault]]\nkind = \"ssm\"\nssm = 2\nstart_s = 2\nduration_s = 1\n");
    StartBoard();
    ASSERT_EQ(StartInput(5, 0x0500), 1);
    provider.Advance(1'500'000);
    EXPECT_EQ(Slot(5, 0203), (kAltWord & 0x9FFFFFFFu) | (1u << 29));
    provider.Advance(1'000'000);
    EXPECT_EQ(Slot(5, 0203), (kAltWord & 0x9FFFFFFFu) | (2u << 29));
    provider.Advance(1'000'000);
    EXPECT_EQ(Slot(5, 0203), kAltWord);
}

TEST_F(TrafficOnInput5, ABurstSendsTheBurstsWordsAndTheirEvents) {
    // 10 Hz, and 300 Hz between 1 and 2 s: 10 + 300 + 10 words in 3 s instead of 30.
    const std::string alt10 = std::string(kAlt100).replace(kAlt100.find("100"), 3, "10");
    Play("[[board1.input5.fault]]\nkind = \"burst\"\nlabel = \"203\"\nrate_hz = 300\nstart_s = 1\nduration_s = 1\n",
         alt10);
    StartBoard();
    ASSERT_EQ(StartInput(5, 0x0500, {{0203, kLabelEvent}}), 1);
    unsigned events = 0;
    std::vector<uint32_t> read;
    for (int ms = 0; ms < 3000; ++ms) {
        provider.Advance(1000);
        if (link.ReadEvents() & 0x10) {
            ++events;
            read.push_back(Slot(5, 0203));  // takes the word off the label's queue
        }
    }
    EXPECT_NEAR(double(In5().received), 320, 2);
    // Every word raises the event and is read once; at 300 Hz at most one word falls in a
    // millisecond, so nothing is left waiting.
    EXPECT_EQ(events, In5().received);
    EXPECT_EQ(link.ReadEvents() & 0x10, 0);
    for (uint32_t w : read) ASSERT_EQ(w & 0xFF, 0203u);
}

TEST_F(TrafficOnInput5, WordsAtTheWrongBitRateAreRateMismatches) {
    Play("[[board1.input5.fault]]\nkind = \"bit_rate\"\nbit_rate_kbps = 50\nstart_s = 1\nduration_s = 1\n");
    StartBoard();
    ASSERT_EQ(StartInput(5, 0x0500), 1);
    provider.Advance(3'000'000);
    EXPECT_NEAR(double(In5().rateMismatched), 100, 1);
    EXPECT_NEAR(double(In5().received), 200, 1);
    // An input set to 50 kbit/s hears only those.
    std::array<uint16_t, 16> settings{};
    settings[4] = 1;
    StartBoard(settings);
    ASSERT_EQ(StartInput(5, 0x0500), 1);
    provider.Advance(3'000'000);
    EXPECT_NEAR(double(In5().rateMismatched), 100 + 300, 1);
}

TEST_F(TrafficOnInput5, AnExtraLabelAppearsOnlyInItsWindow) {
    Play("[[board1.input5.fault]]\nkind = \"extra_label\"\nlabel = \"377\"\nsdi = 2\nrate_hz = 20\n"
         "start_s = 1\nduration_s = 1\nssm = 3\ndiscrete = { bits = [20] }\n");
    StartBoard();
    ASSERT_EQ(StartInput(5, 0x0500), 1);
    provider.Advance(1'000'000);
    EXPECT_EQ(Slot(5, 0377), 0u);
    provider.Advance(1'000'000);
    EXPECT_EQ(Slot(5, 0377), 0x600802FFu);  // label 377, SDI 2, bit 20, SSM 11
    EXPECT_NEAR(double(In5().received), 200 + 20, 1);
}

TEST_F(TrafficOnInput5, TrafficAboveTheBusIsSentAtTheBusLimitAndTheRestCounted) {
    std::string labels;
    for (unsigned i = 0; i < 32; ++i)
        labels += "[[board1.input5.label]]\nlabel = " + std::to_string(i + 1) +
                  "\nrate_hz = 100\ndiscrete = { bits = [29] }\n";
    Play("", "bit_rate_kbps = 100\n" + labels);
    std::array<uint16_t, 16> settings{};
    settings[4] = 2;
    StartBoard(settings);
    ASSERT_EQ(StartInput(5, 0x0500), 1);
    provider.Advance(1'000'000);
    const BoardCounters c = provider.Counters(1);
    EXPECT_NEAR(double(c.lines[4].sent), 1e6 / 360, 2);  // 2,777.8 words/s
    EXPECT_EQ(c.inputs[4].received, c.lines[4].sent);
    EXPECT_NEAR(double(c.lines[4].sent + c.lines[4].notSent), 3200, 33);
}

TEST_F(BoardScenarioTest, InputsHearTheirOutputNothingOrTraffic) {
    ScenarioError error;
    const auto scenario = ParseScenario(
        "[board1.input1]\nhears = \"nothing\"\n[board1.input6]\nhears = \"loopback\"\n"
        "[board1.input2]\nhears = \"traffic\"\n", error);
    ASSERT_TRUE(scenario);
    provider.PlayScenario(*scenario);
    StartBoard();
    for (unsigned ch : {1u, 2u, 6u}) ASSERT_EQ(StartInput(ch, 0x0500), 1);
    ASSERT_EQ(StartFrame(1, {0x60001241}, true), 1);
    ASSERT_EQ(StartFrame(6, {0x60001241}, true), 1);
    provider.Advance(100 * kSlow);
    const BoardCounters c = provider.Counters(1);
    EXPECT_EQ(c.inputs[0].received, 0u);
    EXPECT_EQ(c.inputs[1].received, 0u);  // traffic without labels: a silent line
    EXPECT_EQ(c.inputs[5].received, 100u);
    EXPECT_EQ(c.lines[5].sent, 100u);
    EXPECT_EQ(c.outputsSent[0], 100u);
    EXPECT_EQ(c.hears[5], InputHears::Loopback);
    EXPECT_EQ(c.hears[6], InputHears::Flight);
}

TEST(BoardScenarioRealTimeTest, AScenarioChangesWhileTheFirmwareRuns) {
    // Scenario, counters and firmware thread meet under the board's lock (run under TSan too).
    VirtualBoardProvider boards(BoardClock::RealTime);
    auto handle = boards.Open("arinc10");  // starts the firmware thread
    ScenarioError error;
    const auto scenario = ParseScenario(
        "[board1.input5]\nhears = \"traffic\"\nbit_rate_kbps = 100\n[[board1.input5.label]]\nlabel = \"1\"\n"
        "rate_hz = 5000\ndiscrete = { bits = [29] }\n", error);
    ASSERT_TRUE(scenario);
    boards.PlayScenario(*scenario);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (boards.Counters(1).lines[4].sent < 100 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const BoardCounters c = boards.Counters(1);
    EXPECT_GE(c.lines[4].sent, 100u);
    EXPECT_EQ(c.hears[4], InputHears::Traffic);
    boards.PlayScenario(Scenario{});
    EXPECT_EQ(boards.Counters(1).hears[4], InputHears::Flight);
}

// A board whose firmware is far behind the clock (here its thread never runs) plays only the last
// kMaxCatchUpUs of scenario traffic at the next request and counts the rest as not sent, so that
// a request from the user-interface side never waits under the board's lock for a long catch-up.
TEST(BoardScenarioRealTimeTest, ACatchUpPlaysAtMostItsLimitAndCountsTheRestAsNotSent) {
    auto board = std::make_shared<VirtualBoard>(VirtualBoardOne(), BoardClock::RealTime);
    ScenarioError error;
    const auto scenario = ParseScenario(
        "[board1.input5]\nhears = \"traffic\"\nbit_rate_kbps = 100\n[[board1.input5.label]]\nlabel = \"1\"\n"
        "rate_hz = 2000\ndiscrete = { bits = [29] }\n", error);
    ASSERT_TRUE(scenario) << error.reason;
    board->PlayScenario(scenario->boards[0], 1);
    const auto device = OpenVirtualDevice(board);
    BoardImage image;
    BoardLink link(image);
    link.Attach(device.get());
    image.Set(BoardImage::ChannelSettingWords + 4, 2);  // input 5 at 100 kbit/s
    link.StartBoard();
    ASSERT_EQ(link.LoadInputChannel(5), 0);
    image.Set(BoardImage::ChannelControlWords + InputChannelCode(5), 0x0500);
    ASSERT_EQ(link.StartInputChannel(5), 1);
    const uint64_t received = board->Input(5).received;
    const uint64_t notSent = board->Counters().lines[4].notSent;

    constexpr uint64_t kBehindUs = 600000;
    std::this_thread::sleep_for(std::chrono::microseconds(kBehindUs));  // at least that far behind
    link.ReadEvents();
    constexpr uint64_t kWordsPerS = 2000;
    EXPECT_LE(board->Input(5).received - received, VirtualBoard::kMaxCatchUpUs * kWordsPerS / 1000000 + 2);
    EXPECT_GE(board->Counters().lines[4].notSent - notSent,
              (kBehindUs - VirtualBoard::kMaxCatchUpUs) * kWordsPerS / 1000000 - 2);
}

}  // namespace
}  // namespace orv::test
