#pragma once
// Decimal formats for the tests: MakeFormat builds one from its six fields; Alt1Format is the
// example most tests use: ALT1, sign in bit 29, field bits 28..11, 90 for bit 28, units "deg".
#include <cstdint>
#include <string_view>

#include "config/decimal_format.h"

namespace orv::test {

inline DecimalFormat MakeFormat(std::string_view label, uint8_t role, uint16_t msb, uint16_t lsb, float weight,
                                std::string_view units) {
    DecimalFormat f;
    f.label = Label8(label);
    f.bit29Role = role;
    f.msbBit = msb;
    f.lsbBit = lsb;
    f.msbWeight = weight;
    f.units = Units4(units);
    return f;
}

inline DecimalFormat Alt1Format() { return MakeFormat("ALT1", 0, 28, 11, 90.0f, "deg"); }

}  // namespace orv::test
