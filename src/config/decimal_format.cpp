#include "config/decimal_format.h"

#include <cmath>

#include "text/printf_forms.h"

namespace orv {
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
    out += PadLeft(format.units.UpToZero(), 4);
    out += "    ";
    return out;
}

float DecimalValue(ArincWord word, const DecimalFormat& format) {
    const DecimalParts parts = DecimalOf(word, format);
    return parts.sign == '-' ? -parts.magnitude : parts.magnitude;
}

}  // namespace orv
