// orvtool: the command-line companion of Orvmon for its settings and data files.
#include <CLI/CLI.hpp>
#include <algorithm>
#include <iostream>
#include <new>

#include "c10_cli.h"
#include "commands.h"
#include "record_cli.h"
#include "orv_version.h"

using namespace orv::tool;

namespace {

std::string KindNames() {
    std::string names;
    for (Kind k : AllKinds()) names += (names.empty() ? "" : ", ") + std::string(Info(k).name);
    return names;
}

// --kind NAME, for files whose name does not tell their kind.
void AddKindOption(CLI::App& command, std::string& kind) {
    command.add_option("--kind", kind, "Kind of file (" + KindNames() + ") when the name does not tell it")
        ->check(CLI::IsMember([] {
            std::vector<std::string> names;
            for (Kind k : AllKinds()) names.push_back(Info(k).name);
            return names;
        }()));
}

std::optional<Kind> KindOption(const std::string& kind) {
    if (kind.empty()) return std::nullopt;
    return KindOfName(kind);
}

}  // namespace

int main(int argc, char** argv) try {
    CLI::App app{"orvtool: decode ARINC 429 words and turn Orvmon's settings and data files into text and back.\n"
                 "File kinds by name: Orvfrmt.stt (formats), OrvparamList.stt (dictionary), Orvparam.stt "
                 "(channels), *.42i (list), *.42o (frame); *.toml (virtual board scenario) for check only."};
    app.set_version_flag("--version", std::string("orvtool ") + orv::kVersion);
    app.require_subcommand(1);
    int code = 0;

    std::string word, formatLabel, formatsFile = "Orvfrmt.stt";
    CLI::App* decode = app.add_subcommand("decode", "Label, HEX, OCTAL, M and DECIMAL of a word, as the table shows them");
    decode->add_option("WORD", word, "The word in hexadecimal (\"0x\" allowed)")->required();
    CLI::Option* formatOption = decode->add_option("--format", formatLabel, "Label of the decimal format for DECIMAL");
    decode->add_option("--formats", formatsFile, "Formats file to look the label up in")->capture_default_str();
    decode->callback([&] {
        code = Decode(word, formatOption->count() ? std::optional<std::string>(formatLabel) : std::nullopt, formatsFile,
                      std::cout, std::cerr);
    });

    AddC10Commands(app, code);
    AddRecordCommand(app, code);

    std::string file, kind;
    CLI::App* show = app.add_subcommand("show", "The lines of a file exactly as its dialog lists them");
    show->add_option("FILE", file, "Settings or data file")->required();
    AddKindOption(*show, kind);
    show->callback([&] { code = Show(file, KindOption(kind), std::cout, std::cerr); });

    bool csv = false, json = false;
    std::string output;
    CLI::App* exportCmd = app.add_subcommand("export", "A file's records as CSV or JSON");
    exportCmd->add_option("FILE", file, "Settings or data file")->required();
    auto* csvFlag = exportCmd->add_flag("--csv", csv, "Write CSV");
    auto* jsonFlag = exportCmd->add_flag("--json", json, "Write JSON");
    csvFlag->excludes(jsonFlag);
    CLI::Option* outputOption = exportCmd->add_option("-o,--output", output, "Write to this file instead of standard output");
    AddKindOption(*exportCmd, kind);
    exportCmd->callback([&] {
        if (!csv && !json) throw CLI::ValidationError("export", "give --csv or --json");
        code = Export(file, KindOption(kind), json ? TextForm::Json : TextForm::Csv,
                      outputOption->count() ? std::optional<std::string>(output) : std::nullopt, std::cout, std::cerr);
    });

    std::string importKind, input;
    CLI::App* importCmd = app.add_subcommand(
        "import", "A file from CSV or JSON; every record is checked and nothing is written unless all are valid");
    importCmd->add_option("KIND", importKind, "Kind of file: " + KindNames())
        ->required()
        ->check(CLI::IsMember([] {
            std::vector<std::string> names;
            for (Kind k : AllKinds()) names.push_back(Info(k).name);
            return names;
        }()));
    importCmd->add_option("INPUT", input, "CSV or JSON text (by extension, else by content)")->required();
    importCmd->add_option("OUTPUT", output, "The file to write")->required();
    importCmd->callback([&] { code = Import(*KindOfName(importKind), input, output, std::cerr); });

    std::vector<std::string> files;
    CLI::App* check = app.add_subcommand(
        "check", "Exit 0 when every record of every file is valid, else 1 and one line per problem");
    check->add_option("FILE", files, "Settings, data or scenario (*.toml) files")->required();
    AddKindOption(*check, kind);
    check->callback([&] { code = Check(files, KindOption(kind), std::cout, std::cerr); });

    try {
        app.parse(argc, argv);
        return code;  // the command checked its own output
    } catch (const CLI::ParseError& e) {
        code = app.exit(e);  // the help, the version or a wrong argument
    }
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "orvtool: the output could not be written\n";
        return std::max(code, 1);
    }
    return code;
} catch (const std::bad_alloc&) {
    // The commands turn a failed allocation into their own message; this catches what is left
    // (the option parser), so that orvtool never ends in an abort.
    std::cerr << "orvtool: not enough memory; stopped\n";
    return 1;
}
