#pragma once
// A decimal format: how to read an engineering value out of a word, and the DECIMAL column that
// shows it. The 28-byte record of the formats file is in config/format_file.h, the format's list
// line in config/format_line.h.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "arinc/word.h"
#include "text/fixed_text.h"

namespace orv {

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

}  // namespace orv
