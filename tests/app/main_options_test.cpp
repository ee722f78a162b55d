// The start-up options on the virtual board: each does what its dialogs would have done, and a
// bad value gives its message and leaves the rest of the start as it was.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <vector>

#include "app/main_options.h"
#include "c10/c10_writer.h"
#include "session/acquisition.h"
#include "session/board_control.h"
#include "config/channel_settings.h"
#include "files/file_read.h"
#include "support/scratch_dir.h"
#include "display/table_ops.h"
#include "monitor/table_rows.h"
#include "resources/board_strings.h"
#include "resources/capture_strings.h"
#include "resources/shell_strings.h"
#include "resources/vboard_strings.h"
#include "vboard/virtual_board_provider.h"

namespace orv {
namespace {

const std::filesystem::path kSamples = ORV_SAMPLES_DIR;

class StartOptionsTest : public test::ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        for (const char* f : {"Orvfrmt.stt", "OrvparamList.stt", "scenario.42i"})
            std::filesystem::copy_file(kSamples / f, f);
        state.Devices = &devices;
    }
    void TearDown() override {
        ReleaseBoard(state);
        ScratchDir::TearDown();
    }
    std::vector<std::string> Apply(const StartOptions& options) {
        std::vector<std::string> messages;
        ApplyStartOptions(state, options, [&](const std::string& m) { messages.push_back(m); });
        return messages;
    }

    VirtualBoardProvider devices{BoardClock::Manual};
    ProgramState state;
};

TEST_F(StartOptionsTest, DeviceAndListGiveLiveRowsWithTheSavedChannelSettings) {
    ChannelSettingTable saved{};
    saved[std::size_t(InputSettingIndex(5))] = SettingWord(0, 1);
    saved[std::size_t(OutputSettingIndex(2))] = SettingWord(2, 1);
    ASSERT_TRUE(SaveChannelSettings(saved));

    EXPECT_TRUE(Apply({"arinc10", "scenario.42i", "250", std::nullopt}).empty());
    EXPECT_EQ(state.Shell.RefreshPeriodMs, 250);
    EXPECT_EQ(state.Shell.DeviceState, 0);
    EXPECT_EQ(state.Board.ChannelSettings, saved);
    EXPECT_EQ(state.Acquisition.AcquisitionMode, 1);
    ASSERT_GT(UsedEntries(state.Display.DisplayTable), 0);

    devices.Advance(300'000);
    RefreshTick(state);
    int live = 0;
    for (int r = 0; r < UsedEntries(state.Display.DisplayTable); ++r)
        if (state.Display.DisplayTable[std::size_t(r)].receivedCycle == 1) {
            ++live;
            const std::string row = ParameterRowText(state.Display, state.Acquisition, state.Board.BoardImage, r);
            EXPECT_NE(row.substr(26, 13), "  0x00000000 ") << row;
        }
    EXPECT_GT(live, 0);
}

TEST_F(StartOptionsTest, WithoutASettingsFileTheBoardStartsWithTheDialogDefaults) {
    EXPECT_TRUE(Apply({"arinc20", std::nullopt, std::nullopt, std::nullopt}).empty());
    EXPECT_EQ(state.Shell.DeviceState, 0);
    EXPECT_EQ(state.Board.ChannelSettings, ChannelSettingTable{});
    EXPECT_EQ(state.Shell.RefreshPeriodMs, 1000);
}

TEST_F(StartOptionsTest, BadValuesGiveTheirMessagesAndTheStartGoesOn) {
    // An unknown device, a bad period: nothing selected, the period kept.
    EXPECT_EQ(Apply({"arinc99", std::nullopt, "0", std::nullopt}),
              (std::vector<std::string>{std::string(kBadPeriodOption) + "0", text::kDeviceOpenError}));
    EXPECT_EQ(state.Shell.DeviceState, -1);
    EXPECT_EQ(state.Shell.RefreshPeriodMs, 1000);
    // A device the selection offers but that does not open.
    EXPECT_EQ(Apply({"arinc42", std::nullopt, std::nullopt, std::nullopt}), std::vector<std::string>{text::kDeviceOpenError});
    // A list without a board.
    EXPECT_EQ(Apply({std::nullopt, "scenario.42i", std::nullopt, std::nullopt}), std::vector<std::string>{text::kNoBoard});

    // With a board: an unreadable list and an empty one; the board keeps running.
    ASSERT_TRUE(Apply({"arinc10", std::nullopt, std::nullopt, std::nullopt}).empty());
    EXPECT_EQ(Apply({std::nullopt, "missing.42i", std::nullopt, std::nullopt}),
              std::vector<std::string>{std::string(text::kOpenFailed) + "missing.42i"});
    std::filesystem::create_directory("dir.42i");
    EXPECT_EQ(Apply({std::nullopt, "dir.42i", std::nullopt, std::nullopt}),
              std::vector<std::string>{std::string(text::kOpenFailed) + "dir.42i"});
    WriteBytes("empty.42i", {});
    EXPECT_EQ(Apply({std::nullopt, "empty.42i", std::nullopt, std::nullopt}).size(), 1u);
    EXPECT_EQ(state.Shell.DeviceState, 0);
    EXPECT_EQ(UsedEntries(state.Display.DisplayTable), 0);
}

TEST_F(StartOptionsTest, ScenarioPlaysFromTheStartAndAnUnreadableOneKeepsTheFlight) {
    const std::string traffic =
        "[board1.input5]\nhears = \"traffic\"\n\n[[board1.input5.label]]\nlabel = \"203\"\nrate_hz = 20\n"
        "bnr = { sign_bit = 29, msb = 28, msb_weight = 65536, resolution = 1 }\n"
        "value = { profile = \"constant\", value = 12000 }\n";
    WriteBytes("good.toml", std::vector<uint8_t>(traffic.begin(), traffic.end()));
    const std::string bad = "[board1.input5]\nhears = \"traffic\"\ncolour = \"red\"\n";
    WriteBytes("bad.toml", std::vector<uint8_t>(bad.begin(), bad.end()));

    // A file that cannot be read is named with its line; the flight plays on and the rest of the
    // start goes on.
    StartOptions options{"arinc10", std::nullopt, std::nullopt, "bad.toml"};
    std::vector<std::string> messages = Apply(options);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].rfind("Сценарий bad.toml не прочитан:\nстрока 3: ", 0), 0u) << messages[0];
    EXPECT_TRUE(messages[0].ends_with(".\nПлаты играют встроенный полёт.")) << messages[0];
    EXPECT_EQ(devices.Counters(1).hears[4], InputHears::Flight);
    EXPECT_EQ(state.Shell.DeviceState, 0);
    options.scenario = "missing.toml";
    EXPECT_EQ(Apply(options).size(), 1u);

    // A readable file: input 5 hears its traffic, which the list's input 5 receives.
    options.scenario = "good.toml";
    options.list = "scenario.42i";
    EXPECT_TRUE(Apply(options).empty());
    EXPECT_EQ(devices.Counters(1).hears[4], InputHears::Traffic);
    EXPECT_EQ(devices.Counters(1).hears[5], InputHears::Flight);  // inputs it leaves alone
    devices.Advance(200'000);
    EXPECT_GT(devices.Counters(1).inputs[4].received, 0u);

    // Without the virtual boards there is nothing to play it on.
    struct NoBoards : DeviceProvider {
        std::unique_ptr<Device> Open(std::string_view) override { return nullptr; }
    } none;
    ProgramState other;
    other.Devices = &none;
    EXPECT_EQ(ApplyScenarioOption(other, "good.toml"), std::string(text::kScenarioNeedsVirtualBoard));
}

// A recording of nine buses: board 1's eight inputs (input 7 at 100 kbit/s, the others at 12.5)
// and one bus of board 2, each with a word every 10 ms.
void WriteNineBuses(const std::string& path) {
    c10::WriterOptions o;
    c10::ArincChannelSetup one{2, "arinc10", {}}, two{3, "arinc20", {{0, "Вход 1", 12'500.0}}};
    for (uint8_t b = 0; b < 8; ++b) one.buses.push_back({b, "Вход " + std::to_string(b + 1), b == 6 ? 100'000.0 : 12'500.0});
    o.setup.channels = {one, two};
    std::string error;
    auto writer = c10::Writer::Create(path, o, &error);
    ASSERT_TRUE(writer) << error;
    for (uint64_t t = 1; t <= 20; ++t) {
        for (uint8_t b = 0; b < 8; ++b) ASSERT_TRUE(writer->Offer({t * 100'000 + b * 5'000, 0x80000000u | (0200u + b), 2, b}));
        ASSERT_TRUE(writer->Offer({t * 100'000, 0x80000001u, 3, 0}));
    }
    ASSERT_TRUE(writer->Close());
}

TEST_F(StartOptionsTest, PlaybackPutsTheBusesOnInputsOneToEightAndSaysWhatItCouldNot) {
    WriteNineBuses("nine.ch10");
    StartOptions options{"arinc10", "scenario.42i", std::nullopt, std::nullopt};  // the list runs inputs 5..8
    options.playback = "nine.ch10";
    const std::vector<std::string> messages = Apply(options);
    ASSERT_EQ(messages.size(), 1u);
    // One box, after the start: where each bus went, the ninth bus left out, and once, after the
    // board started with its settings (the dialog's defaults: 12-14.5 kbit/s), the input whose
    // class does not hear its bus.
    EXPECT_EQ(messages[0].rfind("Запись nine.ch10 играет на входах платы 1:\n"
                                "вход 1: канал 2, шина 0 «Вход 1», 12.5 кбит/с\n", 0), 0u) << messages[0];
    EXPECT_NE(messages[0].find("\nвход 8: канал 2, шина 7 «Вход 8», 12.5 кбит/с\n\n"
                               "В записи больше восьми шин; не играют: канал 3, шина 0 «Вход 1»"),
              std::string::npos) << messages[0];
    EXPECT_TRUE(messages[0].ends_with("\n\nЧастота записи вне класса входа: вход сочтёт её слова словами другой частоты.\n"
                           "вход 7 настроен на 12-14,5 кбит/с, шина записи идёт на 100 кбит/с"))
        << messages[0];
    for (int step = 0; step < 25; ++step) devices.Advance(100'000);
    const BoardCounters counters = devices.Counters(1);
    for (unsigned i = 0; i < 8; ++i) {
        EXPECT_EQ(counters.hears[i], InputHears::Playback);
        EXPECT_EQ(counters.lines[i].sent, 20u) << "input " << i + 1;
    }
    EXPECT_EQ(counters.inputs[4].received, 20u);
    EXPECT_EQ(counters.inputs[6].rateMismatched, 20u);

    // A file that is no recording: the message, and the flight plays on.
    WriteBytes("not.ch10", std::vector<uint8_t>(100, 0x55));
    options.playback = "not.ch10";
    ProgramState other;
    VirtualBoardProvider fresh{BoardClock::Manual};
    other.Devices = &fresh;
    const auto refused = ApplyPlaybackOption(other, "not.ch10");
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].rfind("Запись not.ch10 не воспроизводится: в записи нет", 0), 0u) << refused[0];
    EXPECT_EQ(fresh.Counters(1).hears[4], InputHears::Flight);
}

// A folder tree whose path is longer than PATH_MAX, made and removed one level at a time (the
// kernel refuses such a path in one call).
class DeepFolder {
public:
    DeepFolder() {
        while (path_.size() <= PATH_MAX && mkdir(kLevel.c_str(), 0755) == 0 && chdir(kLevel.c_str()) == 0) {
            path_ += kLevel + "/";
            ++depth_;
        }
        Up();
    }
    ~DeepFolder() {
        Down();
        for (const auto& name : files_) unlink(name.c_str());
        for (int i = 0; i < depth_; ++i)
            if (chdir("..") != 0 || rmdir(kLevel.c_str()) != 0) return;
    }
    // Writes a file at the bottom of the tree and returns its path from the top.
    std::string Put(const std::string& name, const std::vector<uint8_t>& bytes) {
        Down();
        std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        files_.push_back(name);
        Up();
        return path_ + name;
    }

private:
    void Down() {
        for (int i = 0; i < depth_; ++i) EXPECT_EQ(chdir(kLevel.c_str()), 0);
    }
    void Up() {
        for (int i = 0; i < depth_; ++i) EXPECT_EQ(chdir(".."), 0);
    }
    const std::string kLevel = std::string(200, 'd');
    std::string path_;
    int depth_ = 0;
    std::vector<std::string> files_;
};

// File names are opened as the bytes given: one longer than PATH_MAX, and one that is not UTF-8.
TEST_F(StartOptionsTest, ListAndScenarioOpenTheExactBytesOfLongAndNonUtf8Names) {
    const std::vector<uint8_t> list = ReadBytes("scenario.42i");
    const std::string traffic =
        "[board1.input5]\nhears = \"traffic\"\n\n[[board1.input5.label]]\nlabel = \"203\"\nrate_hz = 20\n"
        "bnr = { sign_bit = 29, msb = 28, msb_weight = 65536, resolution = 1 }\n"
        "value = { profile = \"constant\", value = 12000 }\n";
    const std::vector<uint8_t> scenario(traffic.begin(), traffic.end());

    DeepFolder deep;
    const std::string longList = deep.Put("long.42i", list);
    const std::string longScenario = deep.Put("long.toml", scenario);
    ASSERT_GT(longList.size(), std::size_t(PATH_MAX));
    EXPECT_TRUE(Apply({"arinc10", longList, std::nullopt, longScenario}).empty());
    EXPECT_EQ(UsedEntries(state.Display.DisplayTable), int(list.size() / 28));
    EXPECT_EQ(devices.Counters(1).hears[4], InputHears::Traffic);
    EXPECT_EQ(ReadFileBytes(longList).bytes, list);
    // A missing file at the end of a long path is missing, not unreadable.
    EXPECT_EQ(ReadFileBytes(longList + "x").status, ReadStatus::Missing);

    // This scenario sends its traffic to input 6 instead.
    std::string input6 = traffic;
    for (std::size_t at; (at = input6.find("input5")) != std::string::npos;) input6.replace(at, 6, "input6");
    EXPECT_EQ(devices.Counters(1).hears[5], InputHears::Flight);
    const std::string cyrillic = "\xd1\xef\xe8\xf1\xee\xea";  // Windows-1251 "Список"
    WriteBytes(cyrillic + ".42i", std::vector<uint8_t>(list.begin(), list.begin() + 28));
    WriteBytes(cyrillic + "\xff.toml", std::vector<uint8_t>(input6.begin(), input6.end()));
    EXPECT_TRUE(Apply({std::nullopt, cyrillic + ".42i", std::nullopt, cyrillic + "\xff.toml"}).empty());
    EXPECT_EQ(UsedEntries(state.Display.DisplayTable), 1);
    EXPECT_EQ(devices.Counters(1).hears[5], InputHears::Traffic);
}

}  // namespace
}  // namespace orv
