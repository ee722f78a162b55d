#pragma once
// The scenario reader's playback input (hears = "playback"): which bus of which recording it
// plays, how fast, from where, and whether it loops. Used only inside the reader.

#include <map>
#include <string>
#include <vector>

#include "vboard/scenario_table.h"
#include "vboard/scenario_types.h"

namespace orv::scenario {

// The recordings one scenario names, each read once however many inputs play its buses; the
// notes about damaged ones go to the scenario.
struct Recordings {
    std::string folder;  // the scenario file's folder: `file` is relative to it
    std::map<std::string, BusRecording> read;
    std::vector<std::string> notes;
};

// The keys a playback input may carry besides `hears`.
inline constexpr std::string_view kPlaybackKeys[] = {"file", "channel", "bus", "bus_name", "speed", "loop", "start_s"};

InputPlayback ReadPlayback(const Table& t, Recordings& recordings);

// The playback of `bus` of `recording`, from its start, at speed 1, once.
InputPlayback PlaybackOf(const BusRecording& recording, std::size_t bus);

// The note for a damaged recording: the file, the problems, and that its sound part plays (UTF-8).
std::string DamagedRecordingNote(const std::string& path, const BusRecording& recording);

}  // namespace orv::scenario
