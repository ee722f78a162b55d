#pragma once
// The built-in flight that the virtual boards play on their inputs that are not looped back to an
// output (inputs 5..8 of board 1, inputs 3..4 of board 2).
//
// A dozen typical labels at typical rates, sent at 12.5 kbit/s with odd parity, so that an input
// left at the settings a board selection gives it (rate code 0, parity check on) receives them.
// The table is published so that sample formats, dictionary entries and display lists can be
// written from it: each BNR label carries the decimal format that reads its value (sign in bit 29,
// field msbBit..lsbBit weighted from msbWeight down, negative values in two's complement of the
// field, SSM bits 30-31 = 11 "normal operation", SDI in bits 9-10).
//
// The same flight is sent on every scenario input; only the SDI bits differ: they hold the input
// channel number modulo 4 (input 5 -> 1, 6 -> 2, 7 -> 3, 8 -> 0; board 2: input 3 -> 3, 4 -> 0).

#include <array>
#include <cstddef>
#include <cstdint>

namespace orv {

enum class ScenarioEncoding : uint8_t {
    Bnr,       // two's complement binary, sign bit 29, SSM 11
    Bcd,       // four BCD digits in bits 29-27, 26-23, 22-19, 18-15; SSM 00 (plus)
    Discrete,  // status bits, SSM 00
};

struct ScenarioLabel {
    uint8_t label;            // label byte (bits 1-8), given in octal below
    const char* name;         // parameter name, at most 8 Latin characters
    const char* meaning;
    ScenarioEncoding encoding;
    uint16_t rateHz;          // words per second
    // The decimal format that reads the value; formatLabel is empty for labels without a format
    // (their DECIMAL column stays blank).
    uint16_t msbBit;
    uint16_t lsbBit;
    uint8_t bit29Role;        // 0: bit 29 is the sign
    float msbWeight;
    const char* units;        // at most 4 characters
    const char* formatLabel;  // at most 8 characters
};

inline constexpr std::array<ScenarioLabel, 12> kFlightScenario{{
    {0203, "ALT", "pressure altitude", ScenarioEncoding::Bnr, 20, 28, 12, 0, 65536.0f, "ft", "ALT"},
    {0212, "VS", "altitude rate", ScenarioEncoding::Bnr, 20, 28, 18, 0, 16384.0f, "fpm", "VS"},
    {0206, "IAS", "computed airspeed", ScenarioEncoding::Bnr, 20, 28, 15, 0, 512.0f, "kt", "IAS"},
    {0210, "TAS", "true airspeed", ScenarioEncoding::Bnr, 10, 28, 14, 0, 1024.0f, "kt", "TAS"},
    {0205, "MACH", "Mach number", ScenarioEncoding::Bnr, 10, 28, 13, 0, 2.048f, "M", "MACH"},
    {0320, "HDG", "magnetic heading", ScenarioEncoding::Bnr, 20, 28, 14, 0, 90.0f, "deg", "HDG"},
    {0324, "PITCH", "pitch angle", ScenarioEncoding::Bnr, 50, 28, 15, 0, 90.0f, "deg", "PITCH"},
    {0325, "ROLL", "roll angle", ScenarioEncoding::Bnr, 50, 28, 15, 0, 90.0f, "deg", "ROLL"},
    {0333, "NACC", "normal acceleration", ScenarioEncoding::Bnr, 25, 28, 17, 0, 2.0f, "g", "NACC"},
    {0211, "TAT", "total air temperature", ScenarioEncoding::Bnr, 10, 28, 18, 0, 256.0f, "C", "TAT"},
    {0012, "GS", "ground speed (BCD, knots)", ScenarioEncoding::Bcd, 10, 0, 0, 0, 0.0f, "kt", ""},
    {0270, "DISC", "discrete status word", ScenarioEncoding::Discrete, 10, 0, 0, 0, 0.0f, "", ""},
}};

// Bits of the discrete word (label 270).
enum ScenarioDiscreteBits : uint32_t {
    kDiscAutopilot = 1u << 10,     // bit 11: autopilot engaged, always set
    kDiscAutothrust = 1u << 11,    // bit 12: autothrust engaged, 60 s on, 60 s off
    kDiscClimbing = 1u << 12,      // bit 13: altitude rate positive
    kDiscLeftTurn = 1u << 13,      // bit 14: roll angle negative
    kDiscDataValid = 1u << 19,     // bit 20: data valid, always set
};

// Words per second of the whole scenario; it stays well inside the 347 words/s that 12.5 kbit/s
// carries.
constexpr unsigned ScenarioWordsPerSecond() {
    unsigned sum = 0;
    for (const auto& l : kFlightScenario) sum += l.rateHz;
    return sum;
}

// Engineering value of scenario entry `index` at `seconds` after the board powered up: the unit of
// the entry's format for BNR labels, knots for the ground speed, the status bits for the discrete.
double ScenarioValue(std::size_t index, double seconds);

// The word of entry `index` at `seconds` with SDI `sdi` (0..3); bit 32 is left 0 (the
// transmitter completes the parity).
uint32_t ScenarioWord(std::size_t index, double seconds, unsigned sdi);

// SDI bits of the scenario on input channel `channel`.
constexpr unsigned ScenarioSdi(unsigned channel) { return channel & 3u; }

// Field bits msbBit..lsbBit and the sign bit 29 of a BNR value (label, SDI and SSM left 0).
uint32_t EncodeBnr(double value, unsigned msbBit, unsigned lsbBit, double msbWeight);

// Bits 15-29 of a four-digit BCD value 0..7999 (label, SDI and SSM left 0).
uint32_t EncodeBcd4(unsigned value);

}  // namespace orv
