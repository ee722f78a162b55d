#pragma once
// Recording the selected board's input lines into a Chapter 10 file (recordings/bus_recorder.h):
// what the commands of the menu "Анализ" and the start-up option --record share.

#include <cstdint>
#include <string>
#include <vector>

#include "state/program_state.h"

namespace orv {

// Whether the selected board's device offers the word stream a recording needs.
bool CanRecord(const ProgramState& state);

struct RecordingRequest {
    std::string path;
    std::vector<uint8_t> inputs;  // 1..8; empty: every input of the board
    bool replace = false;         // an existing file is replaced (the engineer confirmed)
    int64_t startTime = 0;        // absolute start time (0.1 us since 1970 UTC); 0: the system clock
    bool ownThread = true;        // false: the caller services the recorder (manual clock)
};

// Starts recording (ending one that runs). Empty on success, else the message (UTF-8).
std::string StartRecording(ProgramState& state, const RecordingRequest& request);
// What a recording wrote, as its status counts it.
struct RecordingTotals {
    uint64_t words = 0;
    uint64_t bytes = 0;
    uint64_t lost = 0;  // words the queue had no room for
};

// Ends the recording that runs, writing what it holds. Empty when the file is whole, else the
// message of the failure that had stopped it. `totals`, when given, receives what the file holds
// in the end (all zero when none ran).
std::string StopRecording(ProgramState& state, RecordingTotals* totals = nullptr);
// The status bar's text while a recording runs (UTF-8), empty when none runs.
std::string RecordingStatus(const ProgramState& state);

// The channel id of a device's ARINC packets: 2 for board 1 ("arinc1x"), 3 for board 2.
uint16_t RecordingChannelId(const std::string& deviceName);

}  // namespace orv
