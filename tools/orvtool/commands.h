#pragma once
// The commands of orvtool as functions: each writes its results to `out`, its complaints to `err`
// and returns the exit code (0 done, 1 refused or problems found, 2 bad arguments: also a file that
// does not exist). A file is read as the program reads it (file_reads.h): its records are judged
// by the program's own damage checks and list rules, with the program's messages.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "arinc/word.h"
#include "config/decimal_format.h"
#include "file_kinds.h"
#include "text_forms.h"

namespace orv::tool {

// The fields of a word as the table row shows them (Windows-1251): label, HEX, OCTAL, M and the
// 21 DECIMAL columns (blanks without a format).
struct WordFields {
    std::string label, hex, octal, m, decimal;
};
WordFields DecodeWord(ArincWord word, const DecimalFormat& format);

// A word typed as the HEX column shows it, with or without "0x"; nullopt when it is not one.
std::optional<ArincWord> ReadWord(std::string_view text);

int Decode(const std::string& word, const std::optional<std::string>& formatLabel, const std::string& formatsPath,
           std::ostream& out, std::ostream& err);
// `kind` overrides the kind the file name gives.
int Show(const std::string& path, std::optional<Kind> kind, std::ostream& out, std::ostream& err);
int Export(const std::string& path, std::optional<Kind> kind, TextForm form, const std::optional<std::string>& output,
           std::ostream& out, std::ostream& err);
int Import(Kind kind, const std::string& input, const std::string& output, std::ostream& err);
// One line per problem on `out`, as "FILE: record N: message" ("FILE: file: message" for the file
// as a whole, including a file that exists but cannot be read); a missing file is a wrong argument.
// A scenario file (*.toml) is read by the program's scenario reader: "FILE: line N: reason".
int Check(const std::string& path, std::optional<Kind> kind, std::ostream& out, std::ostream& err);
// Every file in turn; the highest exit code.
int Check(const std::vector<std::string>& paths, std::optional<Kind> kind, std::ostream& out, std::ostream& err);

}  // namespace orv::tool
