#pragma once
// The `c10` command of orvtool and its four subcommands (c10_commands.h), registered on the app.
#include <CLI/CLI.hpp>
#include <iostream>

#include "c10/c10_format.h"
#include "c10_commands.h"

namespace orv::tool {

// Adds `c10 info|export|check|import`; the command that runs sets `code`.
inline void AddC10Commands(CLI::App& app, int& code) {
    CLI::App* c10 = app.add_subcommand("c10", "Bus recordings (IRIG 106 Chapter 10 files): info, export, check, import");
    c10->require_subcommand(1);
    struct Args {
        std::string file, output, csvInput, start;
        std::vector<std::string> files, rates;
        bool csv = false, force = false;
    };
    auto args = std::make_shared<Args>();

    CLI::App* info = c10->add_subcommand("info", "Packets, channels and buses, time span, words per bus and label, errors, long gaps");
    info->add_option("FILE", args->file, "Recording")->required();
    info->callback([&code, args] { code = C10Info(args->file, std::cout, std::cerr); });

    CLI::App* exportCmd = c10->add_subcommand("export", "One CSV line per word");
    exportCmd->add_option("FILE", args->file, "Recording")->required();
    exportCmd->add_flag("--csv", args->csv, "Write CSV (the only form)");
    CLI::Option* outputOption = exportCmd->add_option("-o,--output", args->output, "Write to this file instead of standard output");
    exportCmd->callback([&code, args, outputOption] {
        if (!args->csv) throw CLI::ValidationError("c10 export", "give --csv");
        code = C10Export(args->file, outputOption->count() ? std::optional<std::string>(args->output) : std::nullopt,
                         std::cout, std::cerr);
    });

    CLI::App* check = c10->add_subcommand("check", "Exit 0 when every file is sound, else 1 and one line per problem with its byte offset");
    check->add_option("FILE", args->files, "Recordings")->required();
    check->callback([&code, args] { code = C10Check(args->files, std::cout, std::cerr); });

    CLI::App* importCmd = c10->add_subcommand("import", "A recording from a CSV in the export's form; nothing is written unless every line is sound");
    importCmd->add_option("CSV", args->csvInput, "CSV text")->required();
    importCmd->add_option("OUT", args->output, "The recording to write")->required();
    importCmd->add_option("--start", args->start, "Start for lines without an absolute time, e.g. 2026-12-07T10:00:00Z");
    importCmd->add_option("--rate", args->rates, "Bit rate of every bus (RATE, default 12500) or of one (CHANNEL:BUS=RATE)");
    importCmd->add_flag("--force", args->force, "Replace an existing OUT");
    importCmd->callback([&code, args] {
        C10ImportOptions options;
        options.replace = args->force;
        if (!args->start.empty()) {
            const int64_t start = c10::ParseIsoTime(args->start);
            if (start == c10::kNoTime) throw CLI::ValidationError("--start", "not an ISO 8601 UTC time: " + args->start);
            options.start = start;
        }
        for (const std::string& rate : args->rates)
            if (!AddC10Rate(rate, options)) throw CLI::ValidationError("--rate", "not RATE or CHANNEL:BUS=RATE (1000..200000 bit/s): " + rate);
        code = C10Import(args->csvInput, args->output, options, std::cerr);
    });
}

}  // namespace orv::tool
