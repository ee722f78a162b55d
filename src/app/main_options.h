#pragma once
// What the start-up options of the program do, as plain functions on the program state. Each
// step does what the dialogs would have done and reports the message to show (UTF-8) when it
// cannot be done; the program then goes on without that step.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "state/program_state.h"
#include "config/channel_settings.h"
#include "config/format_file.h"
#include "vboard/recording_playback.h"

namespace orv {

// Messages of the options that no dialog has (UTF-8).
inline constexpr const char* kBadPeriodOption = "Неверный период обновления экрана: ";  // then the value

// The values given on the command line; an option not given is nullopt.
struct StartOptions {
    std::optional<std::string> device;
    std::optional<std::string> list;
    std::optional<std::string> period;
    std::optional<std::string> scenario;
    std::optional<std::string> record = std::nullopt;
    std::optional<std::string> playback = std::nullopt;
};

// --period: the refresh period as the period dialog's "Применить" takes it. nullptr when taken.
const char* ApplyPeriodOption(ProgramState& state, std::string_view text);

// --device: the device opened as "Выбрать" and OK do, the channel settings restored from
// `settingsPath` when that file can be read (the dialog's defaults otherwise), then the board
// started and the stored frames and displayed list emptied, as "Применить" of the channel
// settings does. A name that is not one of the twelve devices or a device that cannot be opened
// gives the device selection's open error; nothing has changed then.
const char* ApplyDeviceOption(ProgramState& state, std::string_view name,
                              const std::string& settingsPath = kChannelSettingsFileName);

// --list: the ".42i" file at `path` (the bytes given, whatever their length or encoding) read as
// "Восстановить из файла" reads it (RestoreDisplayList: the same lines, the same message) and
// loaded into the table and the board as "Применить" of the list dialog does. Returns the messages
// to show, in order: without a board, the board's; a file that cannot be opened, the open error
// with its name; else the reader's message (records left out), then the loading's refusal.
std::vector<std::string> ApplyListOption(ProgramState& state, const std::string& path,
                                         const std::string& formatPath = kFormatFileName);

// --scenario: the virtual boards play the scenario file at `path` from now on. A file that cannot
// be read gives the message naming it, the line and the reason, and the boards keep the built-in
// flight; without the virtual boards, the message that only they play scenarios.
std::optional<std::string> ApplyScenarioOption(ProgramState& state, const std::string& path);

// --playback: the virtual boards play the Chapter 10 recording at `path`: its buses, in order of
// channel id and bus number, on inputs 1..8 of board 1. Returns the messages to show: which bus
// went where (and what was left out, and the damage found), or why the file cannot be played
// (the boards keep the built-in flight); without the virtual boards, the message that only they
// play scenarios. `played` receives the playback when it started.
std::vector<std::string> ApplyPlaybackOption(ProgramState& state, const std::string& path,
                                             std::optional<RecordingPlayback>* played = nullptr);

// --record: the lines of every input of the board recorded into the Chapter 10 file at `path`
// (an existing file is refused: nobody was asked to replace it). The message when it cannot start:
// without a board, the board's; a device without the word stream, or a file that cannot be made.
std::optional<std::string> ApplyRecordOption(ProgramState& state, const std::string& path);

// Command-line arguments as the option parser takes them (UTF-16) and back, without loss: a byte
// that is not part of valid UTF-8 travels as the lone surrogate U+DC80..U+DCFF, which valid UTF-8
// never gives, so a file name comes back as exactly the bytes given (Linux names are any bytes
// but '/' and NUL).
std::u16string ArgumentText(std::string_view bytes);
std::string ArgumentBytes(std::u16string_view text);

// The steps in the order that makes sense: the scenario or the playback first (so that it plays
// from the start), then the period (the board starts its timer with it), then the device (and,
// with a playback, the inputs whose rate class does not hear their bus), then the list, then the
// recording; what the playback has to say comes last, in one message. Calls `show` with each message, in order; the bad
// period and the unreadable file are named after the message.
void ApplyStartOptions(ProgramState& state, const StartOptions& options,
                       const std::function<void(const std::string&)>& show);

}  // namespace orv
