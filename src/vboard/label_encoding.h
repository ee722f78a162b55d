#pragma once
// How a label of scenario traffic turns an engineering value into an ARINC 429 word: the value
// profile over time (constant, ramp, sine, steps, a table of points) and the three encodings
// (BNR, BCD, discrete bits). Plain data filled by the scenario file reader, plus the pure
// functions that build the words, so that every word can be checked by hand.

#include <cstdint>
#include <utility>
#include <vector>

namespace orv {

enum class ProfileKind : uint8_t { Constant, Ramp, Sine, Steps, Table };

struct ValueProfile {
    ProfileKind kind = ProfileKind::Constant;
    double value = 0.0;      // constant
    double from = 0.0;       // ramp: from .. to over periodS, then again from `from`
    double to = 0.0;
    double mean = 0.0;       // sine: mean + amplitude * sin(2 pi t / periodS)
    double amplitude = 0.0;
    double periodS = 1.0;    // ramp and sine
    double stepS = 1.0;      // steps: each value held stepS seconds, then the next, cyclically
    std::vector<double> values;
    std::vector<std::pair<double, double>> points;  // table: (seconds, value), times ascending;
                                                    // linear between points, held outside them

    double At(double seconds) const;
};

enum class TrafficEncoding : uint8_t { Bnr, Bcd, Discrete };

// Two's complement binary: field msb..lsb (bit numbers 11..29) weighted from msbWeight halving
// down to the resolution (the weight of the lsb); signBit (above msb) set for negative values,
// the field then holding the two's complement; signBit 0 is an unsigned field.
struct BnrCoding {
    unsigned signBit = 29;
    unsigned msb = 28;
    unsigned lsb = 11;
    double msbWeight = 1.0;
    double resolution = 1.0;  // = msbWeight / 2^(msb - lsb)
};

// Binary-coded decimal: `digits` digits (1..5), the most significant in bits 27-29 (at most 7),
// the others in 4-bit groups below it (23-26, 19-22, 15-18, 11-14). The value is |v| / resolution
// rounded; the sign goes into the SSM (00 plus, 11 minus) unless the label gives its own SSM.
struct BcdCoding {
    unsigned digits = 4;
    double resolution = 1.0;
};

// Discrete bits: `bits` are always set; `toggleBits` are set for toggleS seconds, clear for the
// next toggleS seconds, and so on (never set when toggleS is 0). Masks of word bits (bit n is
// 1 << (n - 1)), inside bits 11..29.
struct DiscreteCoding {
    uint32_t bits = 0;
    uint32_t toggleBits = 0;
    double toggleS = 0.0;
};

struct LabelCoding {
    TrafficEncoding encoding = TrafficEncoding::Discrete;
    BnrCoding bnr;
    BcdCoding bcd;
    DiscreteCoding discrete;
    ValueProfile value;  // BNR and BCD
    int ssm = -1;        // 0..3, or -1: BNR 11 (normal operation), BCD by the sign, discrete 00
};

// Bits of a BNR field and its sign bit (label, SDI and SSM left 0). Values beyond the field are
// held at its largest magnitude; an unsigned field holds negative values at 0.
uint32_t EncodeBnrField(double value, const BnrCoding& bnr);

// Digit bits of a BCD value (bits 11-29) and whether the value is negative.
uint32_t EncodeBcdDigits(double value, const BcdCoding& bcd, bool* negative = nullptr);

// Whether `value` is inside what the label's encoding can hold, after the rounding the encoders
// apply: BNR within the field (two's complement down to minus its largest magnitude when signed,
// from 0 when unsigned), BCD within its digits (the top digit at most 7). Values beyond are held
// at the largest magnitude by the encoders. A discrete label carries no value: always true. Not
// finite: false.
bool LabelValueFits(double value, const LabelCoding& coding);

// The word of a label at `seconds` after the scenario started: label (bits 1-8), SDI (9-10),
// data, SSM (30-31); bit 32 left 0 for the transmitter's parity.
uint32_t EncodeLabelWord(uint8_t label, unsigned sdi, const LabelCoding& coding, double seconds);

}  // namespace orv
