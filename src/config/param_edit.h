#pragma once
// The dictionary entry editor's rules: the fields it shows for a parameter line, and the
// validation of the typed fields into a dictionary entry.

#include <optional>
#include <string>
#include <string_view>

#include "config/param_line.h"

namespace orv {

// Texts of the editor's fields, Windows-1251; nullopt stands for a text with a character that
// Windows-1251 cannot hold.
struct ParamFields {
    std::optional<std::string> label;
    std::optional<std::string> address;      // octal
    std::optional<std::string> formatLabel;  // set only by picking a format or clearing it
};

struct ParamCheck {
    ParamRecord record;
    const char* error = nullptr;  // UTF-8 message from config_strings.h
    bool ok() const { return error == nullptr; }
};

// Address first (octal, 0..377), then the parameter label; the format label is taken as it is
// (blank-padded, eight blanks when empty).
ParamCheck CheckParamFields(const ParamFields& fields);

// The editor's fields cut out of a parameter line: label 0-7 and format label 24-31 without
// trailing blanks, address 15-17.
ParamFields FieldsOfParamLine(std::string_view line);

}  // namespace orv
