#include "config/format_edit.h"

#include "config/format_line.h"

#include <cmath>

#include "text/printf_forms.h"
#include "text/scanf_forms.h"
#include "resources/config_strings.h"

namespace orv {
namespace {

// A bit number field: nullopt when empty, unrepresentable or holding no number; otherwise the low
// 8 bits of the decimal value (a negative entry thus becomes a large bit number).
std::optional<unsigned> BitNumber(const std::optional<std::string>& text) {
    if (!text) return std::nullopt;
    const auto v = ScanDec(Trim(*text));
    if (!v) return std::nullopt;
    return unsigned(static_cast<unsigned long long>(*v) & 0xFF);
}

}  // namespace

FormatCheck CheckFormatFields(const FormatFields& fields) {
    FormatCheck out;
    const auto msb = BitNumber(fields.msb);
    if (!msb) return {out.format, text::kNoMsb};
    const auto lsb = BitNumber(fields.lsb);
    if (!lsb) return {out.format, text::kNoLsb};
    const std::optional<double> weight = fields.weight ? ScanDouble(Trim(*fields.weight)) : std::nullopt;
    if (!weight) return {out.format, text::kNoWeight};
    if (*msb < *lsb) return {out.format, text::kMsbBelowLsb};
    if (fields.role == 1 && *msb > 29) return {out.format, text::kMsbAbove29};
    if (fields.role != 1 && *msb > 28) return {out.format, text::kMsbAbove28};
    if (*lsb < 9) return {out.format, text::kLsbBelow9};
    // The weight travels through the list as six-decimal text, so a weight that text rounds to 0
    // would be saved as 0; a weight that is no finite single-precision number cannot be saved.
    const float w = static_cast<float>(*weight);
    if (!std::isfinite(w) || ScanDouble(FormatFixed6(double(w))).value_or(0.0) == 0.0)
        return {out.format, text::kNoWeight};
    const std::string units = fields.units ? std::string(Trim(*fields.units)) : std::string{};
    if (units.empty()) return {out.format, text::kNoUnits};
    const std::string label = fields.label ? std::string(Trim(*fields.label)) : std::string{};
    if (label.empty()) return {out.format, text::kNoFormatLabel};

    out.format.bit29Role = fields.role == 1 ? 1 : 0;
    out.format.msbBit = uint16_t(*msb);
    out.format.lsbBit = uint16_t(*lsb);
    out.format.msbWeight = w;
    out.format.units.Assign(units);
    out.format.label.Assign(label);
    return out;
}

FormatFields FieldsOfFormatLine(std::string_view line) {
    FormatFields f;
    f.label = std::string(TrimRightBlanks(Columns(line, 0, 8)));
    f.msb = std::string(Columns(line, 20, 2));
    f.lsb = std::string(Columns(line, 32, 2));
    f.units = std::string(TrimRightBlanks(Columns(line, 42, 4)));
    f.weight = std::string(Columns(line, 53));
    f.role = (line.size() > 10 && line[10] == kRoleDataText[0]) ? 1 : 0;
    return f;
}

}  // namespace orv
