#pragma once
// Scenario files: what each input of a virtual board hears, written by hand in TOML
// (docs/VIRTUAL_BOARD.md gives the format and a complete example).
//
//   seed = 7                                    # optional: jitter and probabilities
//   [board1.input5]
//   hears = "traffic"                           # loopback | nothing | flight | traffic | playback
//   bit_rate_kbps = 100
//   [[board1.input5.label]]
//   label = "203"  sdi = 1  rate_hz = 20  bnr = {...}  value = {...}
//   [[board1.input5.fault]]
//   kind = "dropout"  label = "203"  start_s = 10  duration_s = 5
//   [board1.input6]
//   hears = "playback"                          # a bus of a Chapter 10 recording
//   file = "flight.ch10"  channel = 2  bus = 4  # or bus_name = "Вход 5"; speed, loop, start_s
//
// Inputs a file does not name keep the board's documented wiring. A file that cannot be read or
// that says something the board cannot do is refused as a whole, with the line and the reason:
// the reader's own reasons are Russian and name a key by its whole path
// ("неизвестный ключ board1.input5.bit_rate_kbs"; the tables of a [[...]] list are counted from 1:
// "board1.input5.label[2].rate_hz"); the TOML parser's syntax errors are its own (English). Text
// the parser mishandles is refused before it sees it (toml_guard.h).

#include <optional>
#include <string>
#include <string_view>

#include "vboard/scenario_types.h"

namespace orv {

// Reads a scenario from the text of a file; on failure returns nothing and fills `error`. The
// recordings a playback input names are read from `folder` when their names are relative.
std::optional<Scenario> ParseScenario(std::string_view text, ScenarioError& error, const std::string& folder = "");

// Reads the scenario file at `path` (as given, relative to the working folder).
std::optional<Scenario> LoadScenarioFile(const std::string& path, ScenarioError& error);

// The message for a scenario file that cannot be played (UTF-8): the file, the line, the reason,
// and that the boards play the built-in flight.
std::string ScenarioErrorMessage(const std::string& path, const ScenarioError& error);

}  // namespace orv
