#include "arinc/word.h"

#include <cmath>

#include "text/printf_forms.h"
#include "text/scanf_forms.h"

namespace orv {

namespace {

// A fixed text field as a C string: everything before its first zero byte.
std::string_view CString(std::string_view field) {
    return field.substr(0, std::min(field.find('\0'), field.size()));
}

// An 8-character label column: the label up to a zero byte, blank-padded, so that a line never
// holds a zero byte and its columns stay fixed.
template <std::size_t N>
std::string Column(const FixedText<N>& text) {
    return PadRight(CString(text.View()), N);
}

// "%4s" of the units: right-aligned when the text ends early at a zero byte.
std::string UnitsColumn(const Units4& units) { return PadLeft(CString(units.View()), 4); }

// The field of a line at `col`, `width` wide; shorter or empty when the line ends earlier.
std::string_view Field(std::string_view line, std::size_t col, std::size_t width = std::string_view::npos) {
    if (col >= line.size()) return {};
    return line.substr(col, width);
}

constexpr char kRoleDataLetter = '\xE4';  // "д"

}  // namespace

// ---- Field forms ----

std::string RenderAddress(unsigned label) { return FormatOct(label, 3, true); }

std::string RenderHex(ArincWord word) { return "0x" + FormatHex(word, 8, true); }

std::string RenderOctal(ArincWord word) { return FormatOct(word, 12, true); }

std::string RenderM(ArincWord word) {
    const unsigned m = WordM(word);
    return {char('0' + (m >> 1)), char('0' + (m & 1))};
}

ArincWord ComposeWord(uint32_t code, unsigned label) { return ((code << 8) + label) & 0x7FFFFFFFu; }

namespace {

// The sign character and the magnitude DECIMAL shows for a word.
struct DecimalParts {
    char sign = '+';
    float magnitude = 0.0f;
};

DecimalParts DecimalOf(ArincWord word, const DecimalFormat& format) {
    const uint32_t signMask = format.bit29Role == 1 ? 0x20000000u : 0x10000000u;
    const bool negativeWord = (word & signMask) != 0;
    uint32_t v = word;
    bool carry = false;
    if (negativeWord) {
        // Two's complement at the weight of the field's lowest bit; unsigned arithmetic wraps
        // modulo 2^32.
        const unsigned lsb = format.lsbBit;
        const uint32_t unit = (lsb >= 1 && lsb <= 32) ? (uint32_t{1} << (lsb - 1)) : 0u;
        v = ~word + unit;
        // A field of all 0 complements to all 1 plus one unit: the sum carries out of the field,
        // into a bit that weighs twice the field's top bit. That word is the most negative
        // value of its field (with weight 90 over bits 28..11, -180).
        const unsigned msb = format.msbBit;
        if (lsb >= 1 && lsb <= msb && msb <= 32) {
            const uint32_t top = msb == 32 ? ~uint32_t{0} : (uint32_t{1} << msb) - 1u;
            const uint32_t field = top & ~(unit - 1u);
            carry = (word & field) == 0;
        }
    }

    // 0 + 2w rather than 2w, so that a weight of -0 sums to +0 as the field's bits would.
    float sum = carry ? 0.0f + 2.0f * format.msbWeight : 0.0f;
    float weight = format.msbWeight;
    for (int bit = format.msbBit; bit >= int(format.lsbBit); --bit) {
        if (bit >= 1 && bit <= 32 && ((v >> (bit - 1)) & 1u) != 0) sum = sum + weight;
        weight = weight / 2.0f;
        if (weight == 0.0f) break;  // nothing more can be added
    }

    char sign = negativeWord ? '-' : '+';
    if (sum < 0.0f) {  // only with a negative weight
        sign = negativeWord ? '+' : '-';
        sum = -sum;
    }
    return {sign, sum};
}

}  // namespace

std::string RenderDecimal(ArincWord word, const DecimalFormat& format) {
    if (format.IsNone()) return std::string(kDecimalWidth, ' ');
    const DecimalParts parts = DecimalOf(word, format);

    std::string out;
    out.reserve(kDecimalFullWidth);
    out += ' ';
    out += parts.sign;
    if (std::isfinite(parts.magnitude)) {
        out += PadLeft(FormatExp(double(parts.magnitude)), 10);
        out += ' ';
    } else {
        out += kDecimalOverflow;
        out += "  ";
    }
    out += UnitsColumn(format.units);
    out += "    ";
    return out;
}

float DecimalValue(ArincWord word, const DecimalFormat& format) {
    const DecimalParts parts = DecimalOf(word, format);
    return parts.sign == '-' ? -parts.magnitude : parts.magnitude;
}

// ---- List lines ----

std::string RenderFormatLine(const DecimalFormat& format) {
    // Written in three steps like the fixed columns it is read back from: label and four blanks
    // at 0, the role and seven blanks at 10, the numbers at 20.
    std::string line = Column(format.label) + "    ";
    line.resize(10);
    line += format.bit29Role == 1 ? kRoleDataText : kRoleSignText;
    line += "       ";
    line.resize(20);
    line += FormatDec(format.msbBit, 2, true);
    line += "          ";
    line += FormatDec(format.lsbBit, 2, true);
    line += "        ";
    line += UnitsColumn(format.units);
    line += "       ";
    line += FormatFixed6(double(format.msbWeight));
    return line;
}

DecimalFormat ParseFormatLine(std::string_view line) {
    DecimalFormat f;
    f.label.Assign(Field(line, 0, 8));
    f.bit29Role = (line.size() > 10 && line[10] == kRoleDataLetter) ? 1 : 0;
    f.msbBit = static_cast<uint16_t>(ScanDec(Field(line, 20, 2)).value_or(0));
    f.lsbBit = static_cast<uint16_t>(ScanDec(Field(line, 32, 2)).value_or(0));
    f.units.Assign(Field(line, 42, 4));
    f.msbWeight = static_cast<float>(ScanDouble(Field(line, 53)).value_or(0.0));
    return f;
}

std::string RenderParamLine(const ParamRecord& record) {
    std::string line = Column(record.paramLabel);
    line += "       ";
    line += RenderAddress(record.address);
    line += "      ";
    line += Column(record.formatLabel);
    return line;
}

ParamRecord ParseParamLine(std::string_view line) {
    ParamRecord r;
    r.paramLabel.Assign(Field(line, 0, 8));
    r.address = static_cast<uint16_t>(ScanOct(Field(line, 15, 3)).value_or(0));
    r.formatLabel.Assign(Field(line, 24, 8));
    return r;
}

std::string RenderDisplayLine(const DisplayLineRecord& record, ChannelForm form) {
    std::string line = Column(record.paramLabel);
    line += "       ";
    line += FormatDec(record.channel, 2, form == ChannelForm::ZeroPadded);
    line += "        ";
    line += RenderAddress(record.address);
    line += "       ";
    line += Column(record.formatLabel);
    return line;
}

DisplayLineRecord ParseDisplayLine(std::string_view line) {
    DisplayLineRecord r;
    r.paramLabel.Assign(Field(line, 0, 8));
    r.channel = static_cast<uint16_t>(ScanDec(Field(line, 15, 2)).value_or(0));
    r.address = static_cast<uint16_t>(ScanOct(Field(line, 25, 3)).value_or(0));
    r.formatLabel.Assign(Field(line, 35, 8));
    return r;
}

// ---- Column heads (Windows-1251) ----

// "Метка     29-й   № старшего  № младшего  единицы    цена ст."
const char* const kFormatLineHead1 =
    "\314\345\362\352\340     29-\351   \271 \361\362\340\360\370\345\343\356  \271 \354\353\340\344\370\345\343\356"
    "  \345\344\350\355\350\366\373    \366\345\355\340 \361\362.";
// "формата   бит    разряда     разряда     измерения  разряда"
const char* const kFormatLineHead2 =
    "\364\356\360\354\340\362\340   \341\350\362    \360\340\347\360\377\344\340     \360\340\347\360\377\344\340"
    "     \350\347\354\345\360\345\355\350\377  \360\340\347\360\377\344\340";
// "  метка       Адрес      метка  "
const char* const kParamLineHead1 = "  \354\345\362\352\340       \300\344\360\345\361      \354\345\362\352\340  ";
// "параметра   Параметра   формата"
const char* const kParamLineHead2 =
    "\357\340\360\340\354\345\362\360\340   \317\340\360\340\354\345\362\360\340   \364\356\360\354\340\362\340";
// "  метка        №        Адрес       метка    "
const char* const kDisplayLineHead1 =
    "  \354\345\362\352\340        \271        \300\344\360\345\361       \354\345\362\352\340    ";
// "параметра    канала    Параметра   формата  "
const char* const kDisplayLineHead2 =
    "\357\340\360\340\354\345\362\360\340    \352\340\355\340\353\340    \317\340\360\340\354\345\362\360\340"
    "   \364\356\360\354\340\362\340  ";

}  // namespace orv
