#pragma once
// What a scenario gives each input of the virtual boards to hear, as the scenario file reader
// (scenario_file.h) fills it and the board (virtual_board.h) plays it.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vboard/playback_source.h"
#include "vboard/recorded_buses.h"
#include "vboard/traffic_generator.h"

namespace orv {

enum class InputHears : uint8_t {
    Default,   // the documented wiring: its output when looped back, the built-in flight otherwise
    Loopback,  // output N of the same board
    Nothing,
    Flight,    // the built-in flight
    Traffic,   // the traffic of the file
    Playback,  // a bus of a recording
};

struct InputPlayback {
    std::shared_ptr<const RecordedBus> bus;
    int64_t recordingEnd = 0;  // BusRecording::end of its file
    PlaybackTiming timing;
};

struct InputScenario {
    InputHears hears = InputHears::Default;
    InputTraffic traffic;
    InputPlayback playback;
};

struct BoardScenario {
    std::array<InputScenario, 8> inputs;
};

struct Scenario {
    uint64_t seed = 1;
    std::array<BoardScenario, 2> boards;  // boards 1 and 2
    // What the engineer should know though the scenario plays: recordings that are damaged
    // (their sound part plays), one message each (UTF-8).
    std::vector<std::string> notes;
};

struct ScenarioError {
    int line = 0;  // 1-based; 0 when the file itself could not be read
    std::string reason;  // UTF-8
};

}  // namespace orv
