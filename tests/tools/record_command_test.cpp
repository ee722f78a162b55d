// `orvtool record` on the virtual board's manual clock: the fault scenario recorded holds, per
// input, exactly the words the board's counters say its line carried, with the parity and rate
// errors, and checks sound; an existing OUT is refused unless replaced; a device without the word
// stream and wrong arguments are refused before any file is made.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "c10/c10_reader.h"
#include "c10_commands.h"
#include "record_command.h"
#include "resources/analysis_strings.h"
#include "support/scratch_dir.h"
#include "support/scripted_device.h"
#include "vboard/virtual_board_provider.h"

namespace orv::tool {
namespace {

namespace fs = std::filesystem;

// 2026-12-07 10:00:00 UTC in 0.1 us ticks.
constexpr int64_t kStart = (int64_t{20794} * 86400 + 10 * 3600) * 10'000'000;

struct PerBus : c10::ReadSink {
    std::array<uint64_t, 8> words{}, parity{}, format{};
    uint64_t problems = 0;
    void OnWords(std::span<const c10::Word> w, const c10::PacketInfo&) override {
        for (const c10::Word& x : w) {
            if (x.bus >= 8) continue;
            ++words[x.bus];
            parity[x.bus] += (x.flags & c10::kWordParityError) != 0;
            format[x.bus] += (x.flags & c10::kWordFormatError) != 0;
        }
    }
    void OnProblem(const c10::Problem&) override { ++problems; }
};

class RecordCommandTest : public test::ScratchDir {
protected:
    RecordOptions Faults(double seconds) const {
        RecordOptions o;
        o.device = "arinc10";
        o.scenario = (fs::path(ORV_SAMPLES_DIR) / "scenarios/faults.toml").string();
        o.manualClock = true;
        o.seconds = seconds;
        o.start = kStart;
        o.output = "faults.ch10";
        return o;
    }
    std::ostringstream out, err;
};

TEST_F(RecordCommandTest, TheFaultScenarioOnTheManualClockHoldsEveryWordTheLinesCarried) {
    VirtualBoardProvider devices(BoardClock::Manual);
    ASSERT_EQ(Record(Faults(45), devices, out, err), 0) << err.str();
    EXPECT_EQ(err.str(), "");
    const BoardCounters counters = devices.Board(1).Counters();

    PerBus file;
    c10::Reader reader;
    ASSERT_TRUE(reader.ReadFile("faults.ch10", file));
    EXPECT_EQ(file.problems, 0u);
    uint64_t total = 0, parity = 0, format = 0;
    for (unsigned i = 0; i < 8; ++i) {
        const InputCounters& c = counters.inputs[i];
        EXPECT_EQ(file.words[i], c.received + c.parityDropped + c.rateMismatched) << "input " << i + 1;
        EXPECT_EQ(file.parity[i], c.parityDropped) << "input " << i + 1;
        EXPECT_EQ(file.format[i], c.rateMismatched) << "input " << i + 1;
        EXPECT_GT(file.words[i], 0u) << "input " << i + 1;
        total += file.words[i];
        parity += file.parity[i];
        format += file.format[i];
    }
    EXPECT_GT(parity, 0u);  // inputs 1 and 7
    EXPECT_GT(format, 0u);  // inputs 3 and 8
    EXPECT_EQ(out.str(), "faults.ch10: 45.000 s, " + std::to_string(total) + " words, " +
                             std::to_string(fs::file_size("faults.ch10")) + " bytes\n");

    std::ostringstream problems, complaints;
    EXPECT_EQ(C10Check({"faults.ch10"}, problems, complaints), 0);
    EXPECT_EQ(problems.str(), "");
}

TEST_F(RecordCommandTest, AnExistingOutIsRefusedUnlessReplaced) {
    WriteBytes("faults.ch10", {'k', 'e', 'e', 'p'});
    {
        VirtualBoardProvider devices(BoardClock::Manual);
        EXPECT_EQ(Record(Faults(1), devices, out, err), 1);
    }
    EXPECT_EQ(err.str(), "faults.ch10: Файл уже существует: faults.ch10 (--replace replaces it)\n");
    EXPECT_EQ(ReadBytes("faults.ch10"), (std::vector<uint8_t>{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(out.str(), "");

    // Replaced, on the real clock this time (the recorder's own thread writes).
    RecordOptions replace = Faults(0.3);
    replace.replace = true;
    replace.manualClock = false;
    VirtualBoardProvider devices(BoardClock::RealTime);
    err.str("");
    EXPECT_EQ(Record(replace, devices, out, err), 0) << err.str();
    std::ostringstream problems, complaints;
    EXPECT_EQ(C10Check({"faults.ch10"}, problems, complaints), 0) << problems.str();
    PerBus file;
    c10::Reader reader;
    ASSERT_TRUE(reader.ReadFile("faults.ch10", file));
    EXPECT_GT(file.words[5], 0u);  // input 6: 70 words/s
}

TEST_F(RecordCommandTest, ADeviceWithoutTheWordStreamAndWrongArgumentsMakeNoFile) {
    RecordingProvider scripted({"arinc10"});
    RecordOptions o = Faults(1);
    o.scenario.reset();
    o.manualClock = false;
    EXPECT_EQ(Record(o, scripted, out, err), 1);
    EXPECT_EQ(err.str(), std::string("arinc10: ") + text::kRecordNoStream + "\n");
    ASSERT_EQ(scripted.LiveDevices(), 0);  // the board was let go

    VirtualBoardProvider devices(BoardClock::Manual);
    RecordOptions name = Faults(1), seconds = Faults(0), scenario = Faults(1), clock = Faults(1);
    name.device = "arinc99";
    scenario.scenario = "missing.toml";
    err.str("");
    EXPECT_EQ(Record(name, devices, out, err), 2);
    EXPECT_EQ(Record(seconds, devices, out, err), 2);
    EXPECT_EQ(Record(scenario, devices, out, err), 2);
    EXPECT_EQ(err.str(),
              "arinc99: not a device name (arinc10, arinc11, arinc12, arinc20, ... arinc42)\n"
              "--seconds: a duration above 0 and at most 86400 s\nmissing.toml: no such file\n");
    // The manual clock asked of boards that run in real time.
    VirtualBoardProvider realTime(BoardClock::RealTime);
    EXPECT_EQ(Record(clock, realTime, out, err), 2);
    EXPECT_FALSE(fs::exists("faults.ch10"));
    EXPECT_EQ(out.str(), "");
}

}  // namespace
}  // namespace orv::tool
