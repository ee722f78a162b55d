#pragma once
// `orvtool record`: the lines of a board's inputs recorded headless into a Chapter 10 file, with the
// program's own steps: the scenario played, the board selected and started as "Выбрать" and the
// channel settings do, and the recording of the menu "Анализ" (session/recording.h) on every
// input. On the manual clock the board's bus time is advanced in steps and the recorder serviced
// after each, so a recording of any length is made in an instant and, with a fixed start, is the
// same bytes every time.
//
// Exit codes as orvtool's other commands: 0 recorded; 1 refused (an existing OUT without
// `replace`, a device without the word stream, a device that cannot be opened, a scenario or
// settings file that cannot be used), a recording stopped by a failure, words lost, or interrupted;
// 2 a wrong argument (an unknown device name, a missing file, a duration out of range).

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace orv {
class DeviceProvider;
}

namespace orv::tool {

struct RecordOptions {
    std::string device;                   // one of the twelve device names
    std::optional<std::string> scenario;  // a virtual board scenario file played first
    std::optional<std::string> settings;  // a channel settings file (Orvparam.stt); else the defaults
    bool manualClock = false;
    double seconds = 0;                   // of bus time
    std::optional<int64_t> start;         // absolute start, 0.1 us since 1970 UTC; else now
    bool replace = false;                 // an existing OUT is replaced
    std::string output;
};

// Longest recording asked for: a day (a file's counter holds far more).
inline constexpr double kMaxRecordSeconds = 86400.0;

// Records on `devices`; the manual clock needs the virtual boards on their manual clock. Says what
// was written on `out` ("OUT: S s, W words, B bytes"), complaints on `err`.
int Record(const RecordOptions& options, DeviceProvider& devices, std::ostream& out, std::ostream& err);
// Records on the virtual boards, on the clock the options name. On the real clock SIGINT and SIGTERM
// end the recording early with the file whole.
int Record(const RecordOptions& options, std::ostream& out, std::ostream& err);

}  // namespace orv::tool
