#include "config/format_line.h"

#include "text/printf_forms.h"
#include "text/scanf_forms.h"

namespace orv {
namespace {

constexpr char kRoleDataLetter = '\xE4';  // "д"

}  // namespace

std::string RenderFormatLine(const DecimalFormat& format) {
    // Written in three steps like the fixed columns it is read back from: label and four blanks
    // at 0, the role and seven blanks at 10, the numbers at 20.
    std::string line = PadRight(format.label.UpToZero(), 8) + "    ";
    line.resize(10);
    line += format.bit29Role == 1 ? kRoleDataText : kRoleSignText;
    line += "       ";
    line.resize(20);
    line += FormatDec(format.msbBit, 2, true);
    line += "          ";
    line += FormatDec(format.lsbBit, 2, true);
    line += "        ";
    line += PadLeft(format.units.UpToZero(), 4);
    line += "       ";
    line += FormatFixed6(double(format.msbWeight));
    return line;
}

DecimalFormat ParseFormatLine(std::string_view line) {
    DecimalFormat f;
    f.label.Assign(Columns(line, 0, 8));
    f.bit29Role = (line.size() > 10 && line[10] == kRoleDataLetter) ? 1 : 0;
    f.msbBit = static_cast<uint16_t>(ScanDec(Columns(line, 20, 2)).value_or(0));
    f.lsbBit = static_cast<uint16_t>(ScanDec(Columns(line, 32, 2)).value_or(0));
    f.units.Assign(Columns(line, 42, 4));
    f.msbWeight = static_cast<float>(ScanDouble(Columns(line, 53)).value_or(0.0));
    return f;
}

// "Метка     29-й   № старшего  № младшего  единицы    цена ст."
const char* const kFormatLineHead1 =
    "\314\345\362\352\340     29-\351   \271 \361\362\340\360\370\345\343\356  \271 \354\353\340\344\370\345\343\356"
    "  \345\344\350\355\350\366\373    \366\345\355\340 \361\362.";
// "формата   бит    разряда     разряда     измерения  разряда"
const char* const kFormatLineHead2 =
    "\364\356\360\354\340\362\340   \341\350\362    \360\340\347\360\377\344\340     \360\340\347\360\377\344\340"
    "     \350\347\354\345\360\345\355\350\377  \360\340\347\360\377\344\340";

}  // namespace orv
