#pragma once
// The ARINC 429 word as the program holds it (an unsigned 32-bit integer, bits numbered 1..32
// from the least significant end) and its text forms. All strings here are Windows-1251 bytes,
// one byte per column.

#include <cstdint>
#include <string>
#include <string_view>

#include "text/fixed_text.h"

namespace orv {

using ArincWord = uint32_t;

constexpr unsigned WordLabel(ArincWord w) { return w & 0xFF; }
constexpr unsigned WordM(ArincWord w) { return (w >> 29) & 3; }
constexpr uint32_t WordCode(ArincWord w) { return w >> 8; }
// Bits 9-10: the source/destination identifier (SDI), 0..3.
constexpr unsigned WordSdi(ArincWord w) { return (w >> 8) & 3; }
// Bits 11-29: the data field, 19 bits.
constexpr uint32_t WordData(ArincWord w) { return (w >> 10) & 0x7FFFF; }
// Bits 30-31, the sign/status matrix (SSM), are WordM: the table's "M" column.

// Decimal format: how to read an engineering value out of a word. In-memory form of the 28-byte
// record kept in the formats file (the file layout lives with the format table).
struct DecimalFormat {
    uint32_t reserved = 0;
    float msbWeight = 0.0f;   // value of the most significant bit of the field
    uint16_t msbBit = 0;      // bit number of the field's most significant bit
    uint16_t lsbBit = 0;      // bit number of the field's least significant bit (>= 9)
    uint8_t bit29Role = 0;    // 0: bit 29 is the sign; 1: bit 29 is data, the sign is bit 30
    Units4 units;             // blank-padded
    Label8 label;             // blank-padded; a blank first byte means "no format"

    bool IsNone() const { return label.IsBlank(); }
    static DecimalFormat None() { return DecimalFormat{}; }  // label of eight blanks
    friend bool operator==(const DecimalFormat&, const DecimalFormat&) = default;
};

// Dictionary entry (in-memory form of the 24-byte record).
struct ParamRecord {
    uint32_t reserved = 0;
    uint16_t address = 0;     // label number 0..255
    Label8 formatLabel;       // eight blanks for none
    Label8 paramLabel;
    friend bool operator==(const ParamRecord&, const ParamRecord&) = default;
};

// One displayed parameter as it travels between the editor, the list and ".42i" files
// (in-memory form of the 28-byte record).
struct DisplayLineRecord {
    uint32_t reserved = 0;
    uint16_t address = 0;     // label number 0..255
    uint16_t channel = 0;     // input channel 1..8
    Label8 formatLabel;       // eight blanks for none
    Label8 paramLabel;
    friend bool operator==(const DisplayLineRecord&, const DisplayLineRecord&) = default;
};

// ---- Field forms ----
std::string RenderAddress(unsigned label);  // "%03o": "000".."377"
std::string RenderHex(ArincWord word);      // "0x%08x"
std::string RenderOctal(ArincWord word);    // "%012o"
std::string RenderM(ArincWord word);        // (word >> 29) & 3 as two base-2 digits
// ((code << 8) + label) & 0x7FFFFFFF: bit 32 is always cleared.
ArincWord ComposeWord(uint32_t code, unsigned label);

// DECIMAL: " %c%10e %4s    " (24 characters) through `format`, or 21 blanks when the format
// stands for no format. A negative word is read in two's complement of its field; one whose
// field bits are all 0 is the field's most negative value, 2 x msbWeight (not -0). A sum that
// is not finite (a weight overflowing single precision) renders as " ", the sign,
// kDecimalOverflow, two blanks, the units and four blanks: 24 characters too.
// A negative weight makes the sum negative; its sign is then folded into the sign character
// (" -" for a positive word) so that the number keeps its 13 columns.
std::string RenderDecimal(ArincWord word, const DecimalFormat& format);
// The value RenderDecimal shows, as a number: the single-precision sum with the sign character
// applied. Not finite when the sum overflows. Meaningless for a format that stands for no format.
float DecimalValue(ArincWord word, const DecimalFormat& format);
inline constexpr std::size_t kDecimalWidth = 21;  // the columns the tables place
inline constexpr std::size_t kDecimalFullWidth = 24;
// "переполнение" (overflow), Windows-1251.
inline constexpr std::string_view kDecimalOverflow = "\357\345\360\345\357\356\353\355\345\355\350\345";

// Role of bit 29 as the format line writes it: "знак" (sign) and "данн" (data), Windows-1251.
inline constexpr std::string_view kRoleSignText = "\347\355\340\352";
inline constexpr std::string_view kRoleDataText = "\344\340\355\355";

// ---- List lines ----
// Format line: label at 0, role at 10 ("знак"/"данн"), msbBit at 20, lsbBit at 32, units at 42,
// weight "%f" from 53 to the end.
std::string RenderFormatLine(const DecimalFormat& format);
DecimalFormat ParseFormatLine(std::string_view line);

// Parameter line (32 characters): label at 0, address at 15, format label at 24.
std::string RenderParamLine(const ParamRecord& record);
ParamRecord ParseParamLine(std::string_view line);

// Display line (43 characters): label at 0, channel at 15, address at 25, format label at 35.
// A record writes the channel "%02d"; the display table writes it "%2d".
enum class ChannelForm { ZeroPadded, BlankPadded };
std::string RenderDisplayLine(const DisplayLineRecord& record, ChannelForm form = ChannelForm::ZeroPadded);
DisplayLineRecord ParseDisplayLine(std::string_view line);

// Column heads of the three lines (Windows-1251), first and second line.
extern const char* const kFormatLineHead1;
extern const char* const kFormatLineHead2;
extern const char* const kParamLineHead1;
extern const char* const kParamLineHead2;
extern const char* const kDisplayLineHead1;
extern const char* const kDisplayLineHead2;

}  // namespace orv
