#pragma once
// The format table's list line of a decimal format, and its column heads (Windows-1251).

#include <string>
#include <string_view>

#include "config/decimal_format.h"

namespace orv {

// Role of bit 29 as the format line writes it: "знак" (sign) and "данн" (data), Windows-1251.
inline constexpr std::string_view kRoleSignText = "\347\355\340\352";
inline constexpr std::string_view kRoleDataText = "\344\340\355\355";

// ---- List lines ----
// Format line: label at 0, role at 10 ("знак"/"данн"), msbBit at 20, lsbBit at 32, units at 42,
// weight "%f" from 53 to the end.
std::string RenderFormatLine(const DecimalFormat& format);
DecimalFormat ParseFormatLine(std::string_view line);

// Column heads of the format line, first and second line.
extern const char* const kFormatLineHead1;
extern const char* const kFormatLineHead2;

}  // namespace orv
