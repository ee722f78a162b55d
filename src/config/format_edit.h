#pragma once
// The decimal format editor's rules: the fields it shows for a format line, and the validation of
// the typed fields into a format, in the editor's order of checks.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/decimal_format.h"

namespace orv {

// Texts of the editor's fields, Windows-1251. nullopt stands for a text with a character that
// Windows-1251 cannot hold.
struct FormatFields {
    std::optional<std::string> label;
    std::optional<std::string> msb;
    std::optional<std::string> lsb;
    std::optional<std::string> weight;
    std::optional<std::string> units;
    uint8_t role = 0;  // index in the role list: 0 sign, 1 data
};

// Either the format or the message of the first check that failed (UTF-8, from config_strings.h).
struct FormatCheck {
    DecimalFormat format;
    const char* error = nullptr;
    bool ok() const { return error == nullptr; }
};

FormatCheck CheckFormatFields(const FormatFields& fields);

// The editor's fields cut out of a format line: label 0-7 and units 42-45 without trailing
// blanks, MSB 20-21, LSB 32-33, weight from 53 to the end, role from column 10.
FormatFields FieldsOfFormatLine(std::string_view line);

}  // namespace orv
