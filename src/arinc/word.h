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

// ---- Field forms ----
std::string RenderAddress(unsigned label);  // "%03o": "000".."377"
std::string RenderHex(ArincWord word);      // "0x%08x"
std::string RenderOctal(ArincWord word);    // "%012o"
std::string RenderM(ArincWord word);        // (word >> 29) & 3 as two base-2 digits
// ((code << 8) + label) & 0x7FFFFFFF: bit 32 is always cleared.
ArincWord ComposeWord(uint32_t code, unsigned label);

}  // namespace orv
