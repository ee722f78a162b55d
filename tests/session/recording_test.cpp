// Recording the virtual board's lines through the session: the fault scenario on a manual clock,
// every word each running input's line carried, none more, none lost; a new board ends it; a file
// size limit stops it with the program's message and leaves whole packets only.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "c10/c10_reader.h"
#include "support/scratch_dir.h"
#include "display/display_line_file.h"
#include "display/list_rules.h"
#include "display/table_ops.h"
#include "recordings/bus_recorder.h"
#include "resources/analysis_strings.h"
#include "session/board_control.h"
#include "session/recording.h"
#include "vboard/virtual_board_provider.h"

namespace orv::test {
namespace {

namespace fs = std::filesystem;

struct Kept : c10::ReadSink {
    std::array<uint64_t, 8> words{}, parity{}, format{};
    std::vector<c10::Problem> problems;
    void OnWords(std::span<const c10::Word> w, const c10::PacketInfo&) override {
        for (const c10::Word& x : w) {
            ++words[x.bus];
            parity[x.bus] += (x.flags & c10::kWordParityError) != 0;
            format[x.bus] += (x.flags & c10::kWordFormatError) != 0;
        }
    }
    void OnProblem(const c10::Problem& p) override { problems.push_back(p); }
};

class RecordingTest : public ScratchDir {
protected:
    void SetUp() override {
        ScratchDir::SetUp();
        state.Devices = &devices;
        ASSERT_FALSE(devices.PlayScenarioFile((fs::path(ORV_SAMPLES_DIR) / "scenarios/faults.toml").string()));
        ASSERT_TRUE(OpenSelectedBoard(state, "arinc10"));
        StartBoard(state);
        std::ifstream in(fs::path(ORV_SAMPLES_DIR) / "scenario.42i", std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        ASSERT_EQ(LoadDisplayList(LinesOfRecords(DecodeDisplayLines(bytes)), state.Display, state.Acquisition,
                                  state.Board, (fs::path(ORV_SAMPLES_DIR) / "Orvfrmt.stt").string()),
                  nullptr);
    }
    void TearDown() override {
        ReleaseBoard(state);
        ScratchDir::TearDown();
    }
    VirtualBoardProvider devices{BoardClock::Manual};
    ProgramState state;
};

TEST_F(RecordingTest, HoldsEveryWordTheRunningLinesCarriedWithTheirErrors) {
    const BoardCounters before = devices.Board(1).Counters();
    RecordingRequest request;
    request.path = "faults.ch10";
    request.ownThread = false;
    request.startTime = 17'000'000'000'000'000;
    ASSERT_EQ(StartRecording(state, request), "");
    for (int s = 0; s < 40; ++s) {  // 40 s in steps of 0.5 s: the faults of inputs 1 to 4 come round
        devices.Advance(500'000);
        ASSERT_TRUE(state.Board.Recorder->Service());
    }
    EXPECT_NE(RecordingStatus(state).find("Запись: "), std::string::npos);
    const BoardCounters after = devices.Board(1).Counters();
    RecordingTotals totals;
    ASSERT_EQ(StopRecording(state, &totals), "");
    EXPECT_EQ(totals.bytes, fs::file_size("faults.ch10"));
    EXPECT_EQ(totals.lost, 0u);

    Kept kept;
    c10::Reader reader;
    ASSERT_TRUE(reader.ReadFile("faults.ch10", kept));
    EXPECT_TRUE(kept.problems.empty()) << kept.problems.front().Message();
    uint64_t parity = 0, format = 0;
    for (unsigned i = 0; i < 8; ++i) {
        const InputCounters& a = after.inputs[i];
        const InputCounters& b = before.inputs[i];
        // What the line carried to the running input: accepted, dropped for parity, of another class.
        const uint64_t carried = (a.received - b.received) + (a.parityDropped - b.parityDropped) +
                                 (a.rateMismatched - b.rateMismatched);
        EXPECT_EQ(kept.words[i], carried) << "input " << i + 1;
        EXPECT_EQ(kept.parity[i], a.parityDropped - b.parityDropped) << "input " << i + 1;
        EXPECT_EQ(kept.format[i], a.rateMismatched - b.rateMismatched) << "input " << i + 1;
        parity += kept.parity[i];
        format += kept.format[i];
    }
    EXPECT_GT(parity, 0u);
    EXPECT_GT(format, 0u);
    uint64_t words = 0;
    for (uint64_t n : kept.words) words += n;
    EXPECT_EQ(totals.words, words);
}

TEST_F(RecordingTest, ANewBoardEndsTheRecordingWithTheFileWhole) {
    RecordingRequest request;
    request.path = "cut.ch10";
    ASSERT_EQ(StartRecording(state, request), "");
    devices.Advance(300'000);
    ASSERT_TRUE(OpenSelectedBoard(state, "arinc20"));
    EXPECT_EQ(state.Board.Recorder, nullptr);
    Kept kept;
    c10::Reader reader;
    ASSERT_TRUE(reader.ReadFile("cut.ch10", kept));
    EXPECT_TRUE(kept.problems.empty());
    EXPECT_GT(kept.words[4], 0u);
    // Refused: the file exists, nobody confirmed; the board without a list is still recordable.
    EXPECT_NE(StartRecording(state, request), "");
    EXPECT_EQ(state.Board.Recorder, nullptr);
}

// Every word of a file by bus: the word, its flags and its start after the file's first word.
struct Words : c10::ReadSink {
    struct Heard {
        uint32_t word;
        uint8_t flags;
        int64_t start;
    };
    std::map<uint8_t, std::vector<Heard>> buses;
    uint64_t problems = 0;
    void OnWords(std::span<const c10::Word> w, const c10::PacketInfo&) override {
        for (const c10::Word& x : w) buses[x.bus].push_back({x.word, x.flags, x.relative});
    }
    void OnProblem(const c10::Problem&) override { ++problems; }
};

TEST_F(RecordingTest, APlayedBackRecordingRecordsAgainAsItWas) {
    const auto record = [&](const std::string& path, int halfSeconds) {
        RecordingRequest request;
        request.path = path;
        request.ownThread = false;
        ASSERT_EQ(StartRecording(state, request), "");
        for (int s = 0; s < halfSeconds; ++s) {
            devices.Advance(500'000);
            ASSERT_TRUE(state.Board.Recorder->Service());
        }
        ASSERT_EQ(StopRecording(state), "");
    };
    // 30 s of every fault kind; then each of its buses played on the input it came from.
    record("first.ch10", 60);
    std::ofstream("replay.toml") << [] {
        std::string text;
        for (int i = 1; i <= 8; ++i)
            text += "[board1.input" + std::to_string(i) + "]\nhears = \"playback\"\nfile = \"first.ch10\"\n"
                    "channel = 2\nbus = " + std::to_string(i - 1) + "\n";
        return text;
    }();
    ASSERT_FALSE(devices.PlayScenarioFile("replay.toml"));
    record("second.ch10", 61);

    Words first, second;
    c10::Reader reader;
    ASSERT_TRUE(reader.ReadFile("first.ch10", first));
    ASSERT_TRUE(reader.ReadFile("second.ch10", second));
    EXPECT_EQ(first.problems + second.problems, 0u);
    uint64_t flagged = 0;
    for (uint8_t bus = 0; bus < 8; ++bus) {
        const auto& a = first.buses[bus];
        const auto& b = second.buses[bus];
        ASSERT_GT(a.size(), 100u) << "bus " << int(bus);
        ASSERT_EQ(a.size(), b.size()) << "bus " << int(bus);
        for (std::size_t k = 0; k < a.size(); ++k) {
            ASSERT_EQ(a[k].word, b[k].word) << "bus " << int(bus) << " word " << k;
            ASSERT_EQ(a[k].flags, b[k].flags) << "bus " << int(bus) << " word " << k;
            ASSERT_NEAR(double(a[k].start), double(b[k].start), 2500.0) << "bus " << int(bus) << " word " << k;
            flagged += (a[k].flags & (c10::kWordParityError | c10::kWordFormatError)) != 0;
        }
    }
    EXPECT_GT(flagged, 0u);
}

// Records the fault scenario on a fresh manual-clock board for up to `seconds`, in the recorder's
// service steps, through the session's functions; stops early when the recording fails. The
// status bar's text when it stopped, or empty; `message` gets StopRecording's.
std::string RecordFaults(const std::string& path, int seconds, std::string& message) {
    VirtualBoardProvider devices{BoardClock::Manual};
    ProgramState state;
    state.Devices = &devices;
    if (devices.PlayScenarioFile((fs::path(ORV_SAMPLES_DIR) / "scenarios/faults.toml").string()) ||
        !OpenSelectedBoard(state, "arinc10"))
        return "no board";
    StartBoard(state);
    StartInputReception(state.Board);
    RecordingRequest request;
    request.path = path;
    request.ownThread = false;
    request.startTime = 17'000'000'000'000'000;
    if (std::string m = StartRecording(state, request); !m.empty()) return m;
    std::string status;
    for (uint64_t us = 0; us < uint64_t(seconds) * 1'000'000; us += BusRecorder::kServicePeriodUs) {
        devices.Advance(BusRecorder::kServicePeriodUs);
        if (!state.Board.Recorder->Service()) {
            status = RecordingStatus(state);
            break;
        }
    }
    message = StopRecording(state);
    ReleaseBoard(state);
    return status;
}

// A full disk, as a file size limit in a child (SIGXFSZ ignored, so write(2) fails with EFBIG):
// the recording stops with the program's message in the status bar and from StopRecording, and
// the file is exactly the first whole packets of the same recording made without the limit, so
// it reads without a single problem.
TEST(RecordingFullDiskTest, AFileSizeLimitStopsTheRecordingWithWholePacketsOnly) {
    const fs::path dir = fs::temp_directory_path() / ("orv_full_disk_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string full = (dir / "full.ch10").string(), whole = (dir / "whole.ch10").string();
    constexpr rlim_t kLimit = 50'000;  // about 15 s of the fault scenario
    const std::string expected = "Ошибка записи в файл " + full +
                                 " (превышен допустимый размер файла). Запись остановлена; файл читается до "
                                 "последнего целого пакета.";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{kLimit, kLimit};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(10);
        std::string message;
        const std::string status = RecordFaults(full, 120, message);
        _exit(status != expected ? 11 : message != expected ? 12 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "11: status bar, 12: StopRecording's message";

    std::string message;
    ASSERT_EQ(RecordFaults(whole, 60, message), "");
    ASSERT_EQ(message, "");
    std::ifstream a(full, std::ios::binary), b(whole, std::ios::binary);
    const std::string cut{std::istreambuf_iterator<char>(a), {}}, all{std::istreambuf_iterator<char>(b), {}};
    EXPECT_GT(cut.size(), kLimit - 10'000);
    EXPECT_LE(cut.size(), kLimit);
    ASSERT_GT(all.size(), cut.size());
    EXPECT_TRUE(all.compare(0, cut.size(), cut) == 0) << "the cut file is not the start of the whole one";

    Kept kept;
    c10::Reader reader;
    ASSERT_TRUE(reader.ReadFile(full, kept));
    EXPECT_TRUE(kept.problems.empty()) << kept.problems.front().Message();
    EXPECT_EQ(reader.Summary().fileBytes, cut.size());
    uint64_t words = 0;
    for (uint64_t n : kept.words) words += n;
    EXPECT_GT(words, 3000u);
    fs::remove_all(dir);
}

}  // namespace
}  // namespace orv::test
