#pragma once
// The commands of orvtool as functions: each writes its results to `out`, its complaints to `err`
// and returns the exit code (0 done, 1 refused or problems found, 2 bad arguments).

#include <optional>
#include <ostream>
#include <string>

#include "arinc/word.h"
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
int Check(const std::string& path, std::optional<Kind> kind, std::ostream& out, std::ostream& err);

}  // namespace orv::tool
