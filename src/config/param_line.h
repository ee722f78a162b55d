#pragma once
// The dictionary entry (in-memory form of the 24-byte record of config/param_file.h) and its list
// line in the dictionary dialog, with the line's column heads (Windows-1251).

#include <cstdint>
#include <string>
#include <string_view>

#include "text/fixed_text.h"

namespace orv {

// Dictionary entry (in-memory form of the 24-byte record).
struct ParamRecord {
    uint32_t reserved = 0;
    uint16_t address = 0;     // label number 0..255
    Label8 formatLabel;       // eight blanks for none
    Label8 paramLabel;
    friend bool operator==(const ParamRecord&, const ParamRecord&) = default;
};

// Parameter line (32 characters): label at 0, address at 15, format label at 24.
std::string RenderParamLine(const ParamRecord& record);
ParamRecord ParseParamLine(std::string_view line);

// Column heads of the parameter line, first and second line.
extern const char* const kParamLineHead1;
extern const char* const kParamLineHead2;

}  // namespace orv
