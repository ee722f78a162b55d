#include "record_command.h"

#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "c10_reading.h"
#include "config/channel_settings.h"
#include "display/table_ops.h"
#include "recordings/bus_recorder.h"
#include "resources/analysis_strings.h"
#include "resources/board_strings.h"
#include "resources/vboard_strings.h"
#include "session/board_control.h"
#include "session/recording.h"
#include "vboard/virtual_board_provider.h"

namespace orv::tool {
namespace {

// How often a real-time recording looks for a failure or a signal while it runs.
constexpr auto kWatchPeriod = std::chrono::milliseconds(100);

// SIGINT and SIGTERM: a real-time recording waits for them, so that they end it with the file whole.
sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// The board let go (thread joined, device released) whichever way the command ends.
struct BoardRelease {
    ProgramState& state;
    ~BoardRelease() { ReleaseBoard(state); }
};

// Plays the bus for `us` microseconds of manual board time, servicing the recorder after each step
// as its own thread would. The bus time played.
uint64_t RunManual(VirtualBoardProvider& boards, BusRecorder& recorder, uint64_t us) {
    uint64_t done = 0;
    while (done < us) {
        const uint64_t step = std::min<uint64_t>(BusRecorder::kServicePeriodUs, us - done);
        boards.Advance(step);
        done += step;
        if (!recorder.Service()) break;  // a failure: the recording has stopped
    }
    return done;
}

// Lets the recorder's own thread record for `us` microseconds of real time, or until it fails or
// a stop signal (blocked by the caller) comes. The time it ran, and whether a signal ended it.
uint64_t RunRealTime(const BusRecorder& recorder, uint64_t us, bool& interrupted) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start = Clock::now(), end = start + std::chrono::microseconds(us);
    const sigset_t signals = StopSignals();
    for (Clock::time_point now = start; now < end && !recorder.Failed(); now = Clock::now()) {
        const auto wait = std::min<Clock::duration>(end - now, kWatchPeriod);
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
        const timespec timeout{time_t(ns / 1'000'000'000), long(ns % 1'000'000'000)};
        if (sigtimedwait(&signals, nullptr, &timeout) > 0) {
            interrupted = true;
            break;
        }
    }
    return uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start).count());
}

}  // namespace

int Record(const RecordOptions& o, DeviceProvider& devices, std::ostream& out, std::ostream& err) {
    if (std::find(kDeviceNames.begin(), kDeviceNames.end(), o.device) == kDeviceNames.end()) {
        err << o.device << ": not a device name (arinc10, arinc11, arinc12, arinc20, ... arinc42)\n";
        return 2;
    }
    if (!(o.seconds > 0 && o.seconds <= kMaxRecordSeconds)) {
        err << "--seconds: a duration above 0 and at most " << kMaxRecordSeconds << " s\n";
        return 2;
    }
    auto* boards = dynamic_cast<VirtualBoardProvider*>(&devices);
    if (o.manualClock && (!boards || boards->Board(1).Clock() != BoardClock::Manual)) {
        err << "--clock manual: only the virtual boards on their manual clock have one\n";
        return 2;
    }
    for (const std::optional<std::string>* file : {&o.scenario, &o.settings})
        if (*file && Missing(**file)) {
            err << **file << ": no such file\n";
            return 2;
        }
    // The scenario first, so that it plays from the start, as the program's options do.
    if (o.scenario) {
        if (!boards) {
            err << *o.scenario << ": " << text::kScenarioNeedsVirtualBoard << "\n";
            return 1;
        }
        if (const std::optional<std::string> message = boards->PlayScenarioFile(*o.scenario)) {
            err << *message << "\n";
            return 1;
        }
    }

    ProgramState state;
    state.Devices = &devices;
    if (!OpenSelectedBoard(state, o.device)) {
        err << o.device << ": " << text::kDeviceOpenError << "\n";
        return 1;
    }
    const BoardRelease release{state};
    if (o.settings && !RestoreChannelSettings(state.Board.ChannelSettings, *o.settings)) {
        err << *o.settings << ": the channel settings file cannot be read\n";
        return 1;
    }
    StartBoard(state);
    // Every input runs, as a loaded list makes them run; no label is reported, so the acquisition
    // thread has nothing to read.
    StartInputReception(state.Board);
    if (!CanRecord(state)) {
        err << o.device << ": " << text::kRecordNoStream << "\n";
        return 1;
    }

    RecordingRequest request;
    request.path = o.output;
    request.replace = o.replace;
    request.startTime = o.start.value_or(0);
    request.ownThread = !o.manualClock;
    const bool existed = !Missing(o.output);
    if (const std::string message = StartRecording(state, request); !message.empty()) {
        err << o.output << ": " << message << (existed && !o.replace ? " (--replace replaces it)" : "") << "\n";
        return 1;
    }
    BusRecorder& recorder = *state.Board.Recorder;
    const auto us = uint64_t(std::llround(o.seconds * 1e6));
    bool interrupted = false;
    const uint64_t ran = o.manualClock ? RunManual(*boards, recorder, us) : RunRealTime(recorder, us, interrupted);

    // Stopped here first so that the counts include what the end wrote; StopRecording then gives
    // the program's message for a recording that a failure had stopped.
    recorder.Stop();
    const uint64_t words = recorder.WordsWritten(), bytes = recorder.BytesWritten(), lost = recorder.LostWords();
    const std::string failure = StopRecording(state);
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", double(ran) / 1e6);
    out << o.output << ": " << seconds << " s, " << words << " words, " << bytes << " bytes\n";
    int code = 0;
    if (!failure.empty()) {
        err << o.output << ": " << failure << "\n";
        code = 1;
    }
    if (lost != 0) {
        err << o.output << ": " << lost << " words lost: the recorder fell behind\n";
        code = 1;
    }
    if (interrupted) {
        err << o.output << ": interrupted; the file holds what was recorded until then\n";
        code = 1;
    }
    if (!Flushed(out, err, "record")) code = 1;
    return code;
}

int Record(const RecordOptions& options, std::ostream& out, std::ostream& err) {
    // Blocked before any thread starts (the threads inherit the mask), so that a stop signal waits
    // for the recording's loop instead of ending the process.
    const sigset_t signals = StopSignals();
    sigset_t previous;
    const bool watch = !options.manualClock;
    if (watch) pthread_sigmask(SIG_BLOCK, &signals, &previous);
    int code = 0;
    {
        VirtualBoardProvider devices(options.manualClock ? BoardClock::Manual : BoardClock::RealTime);
        code = Record(options, devices, out, err);
    }
    if (watch) pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return code;
}

}  // namespace orv::tool
