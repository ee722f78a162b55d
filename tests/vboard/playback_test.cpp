// Recorded buses played on a line: exact timing at speed 1, pacing and not-sent counting when a
// faster speed packs words closer than the bus allows, loops, skipping, words of another rate
// class; and the scenario keys that choose a recording's bus.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <vector>

#include "c10/c10_writer.h"
#include "support/scratch_dir.h"
#include "vboard/playback_source.h"
#include "vboard/scenario_file.h"

namespace orv::test {
namespace {

// A 100 kbit/s bus whose words start at the given times (0.1 us): label 0 + k, SDI 0.
std::shared_ptr<RecordedBus> Bus(const std::vector<int64_t>& starts, double bitRate = 100000.0) {
    auto bus = std::make_shared<RecordedBus>();
    bus->bitRate = bitRate;
    for (std::size_t k = 0; k < starts.size(); ++k) bus->words.push_back({starts[k], 0x80000000u | uint32_t(k & 0xFF)});
    return bus;
}

std::vector<TrafficWord> PlayAll(LineSource& source, uint64_t untilUs) {
    std::vector<TrafficWord> words;
    TrafficWord w;
    while (source.Next(untilUs, w)) words.push_back(w);
    return words;
}

TEST(PlaybackSourceTest, PlaysRecordedStartsExactlyAndLoopsWithTheRecordingsLength) {
    // Three words 1 ms apart; the recording (all its buses) ends at 10 ms.
    auto bus = Bus({0, 10'000, 20'000});
    bus->words[1].formatError = true;   // heard as of another class: sent at another class's rate
    bus->words[1].highSpeed = false;
    bus->words[2].parityError = true;
    bus->words[2].word = 0x00000002;    // even parity, as recorded
    PlaybackSource once(bus, 100'000, {});
    const auto words = PlayAll(once, 50'000);
    ASSERT_EQ(words.size(), 3u);
    EXPECT_EQ(words[0].startUs, 0u);
    EXPECT_EQ(words[0].endUs, 320u);
    EXPECT_EQ(words[1].startUs, 1000u);
    EXPECT_EQ(words[1].bitRateKbps, 12.5);  // a 100 kbit/s bus's foreign word: the low class
    EXPECT_EQ(words[1].endUs, 1000u + 2560u);
    EXPECT_EQ(words[1].rateClass, 0u);
    EXPECT_EQ(words[2].word, 0x00000002u);
    EXPECT_EQ(words[2].rateClass, 2u);
    EXPECT_EQ(once.NextArrivalUs(std::bitset<256>().set()), LineSource::kNone);

    // Looping from 1 ms at half speed: 2 words a pass, a pass of 9 ms recorded lasts 18 ms.
    PlaybackSource loop(Bus({0, 10'000, 20'000}), 100'000, {0.5, true, 0.001});
    const auto looped = PlayAll(loop, 38'100);
    ASSERT_EQ(looped.size(), 5u);
    const uint64_t expected[] = {0, 2'000, 18'000, 20'000, 36'000};
    for (std::size_t k = 0; k < 5; ++k) EXPECT_EQ(looped[k].startUs, expected[k]) << k;
    EXPECT_EQ(looped[2].word & 0xFF, 1u);
    // The bound on the next arrival is never late.
    std::bitset<256> label2;
    label2.set(2);
    EXPECT_LE(loop.NextArrivalUs(label2), 38'000u + 320u);
}

TEST(PlaybackSourceTest, AFasterSpeedSendsWhatTheBusAllowsAndCountsTheRest) {
    // A bus at its limit (a word every 360 us) of four labels in turn, played four times as fast:
    // the bus carries a word every 360 us, a label's waiting word is replaced by its fresher one.
    std::vector<int64_t> starts;
    for (int k = 0; k < 4000; ++k) starts.push_back(int64_t(k) * 3600);
    auto bus = Bus(starts);
    for (std::size_t k = 0; k < bus->words.size(); ++k) bus->words[k].word = 0x80000000u | uint32_t(k % 4);
    PlaybackSource fast(bus, 4000 * 3600, {4.0, false, 0.0});
    const auto words = PlayAll(fast, 1'000'000);
    ASSERT_FALSE(words.empty());
    for (std::size_t k = 1; k < words.size(); ++k) ASSERT_GE(words[k].startUs, words[k - 1].startUs + 360);
    EXPECT_EQ(fast.Sent(), words.size());
    EXPECT_EQ(fast.Sent() + fast.NotSent(), 4000u);
    EXPECT_NEAR(double(fast.Sent()), 4000.0 / 4, 5.0);  // the bus's share of the 360 ms played

    // Skipping counts the words offered meanwhile, however many passes a loop makes.
    PlaybackSource skipped(Bus({0, 10'000, 20'000}), 100'000, {1.0, true, 0.0});
    skipped.Skip(90'500, true);  // 9 passes and the first word of the tenth
    EXPECT_EQ(skipped.NotSent(), 28u);
    const auto rest = PlayAll(skipped, 100'000);
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].startUs, 91'000u);
}

class PlaybackScenarioTest : public ScratchDir {
protected:
    // A recording of two buses on channel 2 ("Вход 1", "Вход 2") written by the writer.
    void Record(const std::string& path) {
        c10::WriterOptions o;
        o.setup.channels.push_back({2, "arinc10", {{0, "Вход 1", 12'500.0}, {1, "Вход 2", 100'000.0}}});
        o.startTime = 17'000'000'000'000'000;
        std::string error;
        auto writer = c10::Writer::Create(path, o, &error);
        ASSERT_TRUE(writer) << error;
        for (int k = 0; k < 10; ++k) {
            ASSERT_TRUE(writer->Offer({uint64_t(k + 1) * 1'000'000, 0x80000001u, 2, 0}));  // every 100 ms
            ASSERT_TRUE(writer->Offer({uint64_t(k + 1) * 1'000'000 + 50'000, 0x80000002u, 2, 1}));
        }
        ASSERT_TRUE(writer->Close());
    }
    std::optional<Scenario> Parse(const std::string& input, ScenarioError& error) {
        return ParseScenario("[board1.input3]\nhears = \"playback\"\n" + input, error, ".");
    }
};

TEST_F(PlaybackScenarioTest, ChoosesTheBusByNumberOrNameAndRefusesWhatDoesNotFit) {
    Record("two.ch10");
    ScenarioError error;
    auto s = Parse("file = \"two.ch10\"\nbus_name = \"Вход 2\"\nspeed = 2\nloop = true\n", error);
    ASSERT_TRUE(s) << error.reason;
    const InputScenario& in = s->boards[0].inputs[2];
    EXPECT_EQ(in.hears, InputHears::Playback);
    EXPECT_EQ(in.playback.bus->bus, 1);
    EXPECT_EQ(in.playback.bus->bitRate, 100'000.0);
    EXPECT_EQ(in.playback.bus->words.size(), 10u);
    EXPECT_EQ(in.playback.timing.speed, 2.0);
    EXPECT_TRUE(in.playback.timing.loop);
    EXPECT_TRUE(s->notes.empty());

    const std::pair<std::string, std::string> bad[] = {
        {"file = \"none.ch10\"\nbus = 0\n", "board1.input3.file: Не удалось открыть файл записи ./none.ch10"},
        {"file = \"two.ch10\"\n", "нет ключа board1.input3.bus (или bus_name)"},
        {"file = \"two.ch10\"\nbus = 0\nbus_name = \"Вход 1\"\n", "board1.input3.bus_name: шину уже выбирает ключ bus"},
        {"file = \"two.ch10\"\nchannel = 3\nbus = 0\n",
         "board1.input3.bus: в записи ./two.ch10 нет такой шины в канале 3 (есть: канал 2, шина 0 «Вход 1»; "
         "канал 2, шина 1 «Вход 2»)"},
        {"file = \"two.ch10\"\nbus = 0\nstart_s = 5\n", "board1.input3.start_s: запись длится только 0.908 с"},
        {"file = \"two.ch10\"\nbus = 0\nspeed = 0\n", "board1.input3.speed: нужно число от 0.01 до 100"},
        {"file = \"two.ch10\"\nbus = 0\nlabel = []\n", "board1.input3.label: ключ только для входа с hears = \"traffic\""},
    };
    for (const auto& [text, reason] : bad) {
        EXPECT_FALSE(Parse(text, error)) << text;
        EXPECT_EQ(error.reason, reason) << text;
    }
    EXPECT_FALSE(ParseScenario("[board1.input3]\nhears = \"traffic\"\nfile = \"two.ch10\"\n", error));
    EXPECT_EQ(error.reason, "board1.input3.file: ключ только для входа с hears = \"playback\"");
}

TEST_F(PlaybackScenarioTest, ADamagedRecordingPlaysItsSoundPartWithANote) {
    Record("two.ch10");
    // The last packet cut short; the file is named relative to the scenario's folder.
    std::filesystem::create_directory("s");
    std::filesystem::copy_file("two.ch10", "s/cut.ch10");
    std::filesystem::resize_file("s/cut.ch10", std::filesystem::file_size("s/cut.ch10") - 6);
    std::ofstream("s/play.toml") << "[board1.input3]\nhears = \"playback\"\nfile = \"cut.ch10\"\nbus = 0\n";
    ScenarioError error;
    const auto s = LoadScenarioFile("s/play.toml", error);
    ASSERT_TRUE(s) << error.reason;
    ASSERT_EQ(s->notes.size(), 1u);
    EXPECT_NE(s->notes[0].find("Запись s/cut.ch10 повреждена (ошибок: 1):\nСмещение "), std::string::npos) << s->notes[0];
    EXPECT_FALSE(s->boards[0].inputs[2].playback.bus->words.empty());
}

}  // namespace
}  // namespace orv::test
