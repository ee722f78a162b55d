#include "session/recording.h"

#include <chrono>

#include "resources/analysis_strings.h"

namespace orv {
namespace {

// The rate an input's setting asks for, bit/s (12.5, 50 or 100 kbit/s; 0 for no valid rate).
double NominalRate(uint16_t setting) {
    switch (setting & 3u) {
        case 0: return 12'500.0;
        case 1: return 50'000.0;
        case 2: return 100'000.0;
        default: return 0.0;
    }
}

int64_t SystemTimeNow() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count() / 100;
}

}  // namespace

bool CanRecord(const ProgramState& state) {
    return state.Board.DeviceHandle && state.Board.DeviceHandle->Stream() != nullptr;
}

uint16_t RecordingChannelId(const std::string& deviceName) {
    return deviceName.size() > 5 && deviceName[5] == '2' ? 3 : 2;
}

std::string StartRecording(ProgramState& state, const RecordingRequest& request) {
    BoardState& board = state.Board;
    if (!board.DeviceHandle || state.Shell.DeviceState == kNoDevice) return text::kRecordNoBoard;
    WordStream* stream = board.DeviceHandle->Stream();
    if (!stream) return text::kRecordNoStream;
    board.Recorder.reset();

    RecorderOptions options;
    options.path = request.path;
    options.channelId = RecordingChannelId(board.DeviceName);
    options.channelName = board.DeviceName;
    options.replace = request.replace;
    options.ownThread = request.ownThread;
    options.startTime = request.startTime != 0 ? request.startTime : SystemTimeNow();
    std::vector<uint8_t> inputs = request.inputs;
    if (inputs.empty())
        for (uint8_t n = 1; n <= board.InputChannelCount && n <= 8; ++n) inputs.push_back(n);
    for (uint8_t n : inputs)
        if (n >= 1 && n <= board.InputChannelCount && n <= 8)
            options.inputs.push_back({n, NominalRate(board.ChannelSettings[n - 1u])});
    if (options.inputs.empty()) return text::kRecordNoInputs;

    std::string error;
    board.Recorder = BusRecorder::Start(*stream, std::move(options), &error);
    return board.Recorder ? std::string() : error;
}

std::string StopRecording(ProgramState& state, RecordingTotals* totals) {
    std::unique_ptr<BusRecorder> recorder = std::move(state.Board.Recorder);
    if (totals) *totals = {};
    if (!recorder) return {};
    const bool whole = recorder->Stop();
    if (totals) *totals = {recorder->WordsWritten(), recorder->BytesWritten(), recorder->LostWords()};
    if (whole) return {};
    return recorder->FailureMessage();  // it says that the recording stopped and what the file holds
}

std::string RecordingStatus(const ProgramState& state) {
    const BusRecorder* r = state.Board.Recorder.get();
    if (!r) return {};
    if (r->Failed()) return r->FailureMessage();
    std::string s = text::kRecordStatusWords + std::to_string(r->WordsWritten()) + text::kRecordStatusBytes +
                    std::to_string(r->BytesWritten()) + text::kRecordStatusTail;
    if (r->LostWords() != 0) s += text::kRecordStatusLost + std::to_string(r->LostWords());
    return s;
}

}  // namespace orv
