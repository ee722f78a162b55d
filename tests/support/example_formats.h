#pragma once
// The decimal format the tests' examples use: ALT1, sign in bit 29, field bits 28..11, 90 for
// bit 28, units "deg".
#include "config/decimal_format.h"

namespace orv::test {

inline DecimalFormat Alt1Format() {
    DecimalFormat f;
    f.label.Assign("ALT1");
    f.bit29Role = 0;
    f.msbBit = 28;
    f.lsbBit = 11;
    f.msbWeight = 90.0f;
    f.units.Assign("deg");
    return f;
}

}  // namespace orv::test
