#pragma once
// The `record` command of orvtool (record_command.h), registered on the app.
#include <CLI/CLI.hpp>
#include <iostream>
#include <memory>

#include "c10/c10_format.h"
#include "record_command.h"

namespace orv::tool {

// Adds `record`; the command that runs sets `code`.
inline void AddRecordCommand(CLI::App& app, int& code) {
    struct Args {
        RecordOptions options;
        std::string clock = "real", start;
    };
    auto args = std::make_shared<Args>();
    CLI::App* record = app.add_subcommand(
        "record", "Record every input line of a virtual board into a Chapter 10 file, headless (--replace to overwrite)");
    record->footer(
        "The board starts as a board selection starts it and every input runs. An existing OUT is refused "
        "unless --replace is given.\nExit 0 recorded; 1 refused (OUT exists, a device without the word stream, "
        "a file that cannot be used), stopped by a failure, words lost or interrupted; 2 a wrong argument.");
    record->add_option("--device", args->options.device, "Device name, e.g. arinc10 (board 1) or arinc20 (board 2)")
        ->required();
    record->add_option("--scenario", args->options.scenario, "Virtual board scenario file to play (*.toml)");
    record->add_option("--settings", args->options.settings,
                       "Channel settings file (Orvparam.stt); default: 12.5 kbit/s, parity check on");
    record->add_option("--clock", args->clock,
                       "real: record SECONDS of real time (Ctrl-C ends it early with the file whole); "
                       "manual: advance the board's bus time at once (test recordings in an instant)")
        ->check(CLI::IsMember({"real", "manual"}))
        ->capture_default_str();
    record->add_option("--seconds", args->options.seconds, "Length of the recording in seconds of bus time")->required();
    record->add_option("--start", args->start,
                       "Absolute start of the recording, e.g. 2026-12-07T10:00:00Z (default: now); a fixed start "
                       "on the manual clock makes the same file every time");
    record->add_flag("--replace", args->options.replace, "Replace an existing OUT");
    record->add_option("OUT", args->options.output, "The recording to write")->required();
    record->callback([&code, args] {
        args->options.manualClock = args->clock == "manual";
        if (!args->start.empty()) {
            const int64_t start = c10::ParseIsoTime(args->start);
            if (start == c10::kNoTime || start <= 0)
                throw CLI::ValidationError("--start", "not an ISO 8601 UTC time after 1970: " + args->start);
            args->options.start = start;
        }
        code = Record(args->options, std::cout, std::cerr);
    });
}

}  // namespace orv::tool
