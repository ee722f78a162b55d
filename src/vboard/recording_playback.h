#pragma once
// A recording played on board 1 as a whole: its buses, in order of channel id and bus number, on
// inputs 1..8, each at its recorded speed and timing, once.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "vboard/scenario_types.h"

namespace orv {

struct RecordingPlayback {
    Scenario scenario;
    std::array<double, 8> inputRates{};  // bit/s of the bus each input plays, 0 when none
    std::vector<std::string> messages;   // which bus went where, what was left out, damage (UTF-8)
};

// The scenario that plays the recording at `path`; nothing, with the message to show, when the
// file cannot be played.
std::optional<RecordingPlayback> RecordingPlaybackOf(const std::string& path, std::string& message);

// The message, once for all, about inputs whose rate class (`settings`: the sixteen channel
// setting words) does not hear the bus they play; empty when every one does.
std::string PlaybackRateMessage(const RecordingPlayback& playback, const std::array<uint16_t, 16>& settings);

}  // namespace orv
