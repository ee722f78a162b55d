#pragma once
// Timing and parity of the ARINC 429 bus as the virtual board plays it.
//
// Rate codes are those of ChannelSettingWords bits 0-1: an output sends at 12.5 (code 0), 50 (1)
// or 100 kbit/s (2); an input accepts 12..14.5 (0), 36..60 (1) or 100 kbit/s (2). A receiver hears
// only a transmitter of its own rate class; code 3 is no valid rate and neither sends nor hears.
// A word is 32 bit times followed by a gap of 4 bit times; it reaches the receiver when its last
// bit has been sent. Times are microseconds.

#include <bit>
#include <cstdint>

namespace orv {

constexpr unsigned kArincWordBits = 32;
constexpr unsigned kArincGapBits = 4;
constexpr uint32_t kArincParityBit = 0x80000000u;

constexpr bool ValidRateCode(unsigned code) { return code < 3; }

constexpr uint64_t BitTimeUs(unsigned rateCode) {
    return rateCode == 0 ? 80 : rateCode == 1 ? 20 : 10;
}

// From the start of one word to the start of the next (the word and its gap).
constexpr uint64_t WordTimeUs(unsigned rateCode) {
    return BitTimeUs(rateCode) * (kArincWordBits + kArincGapBits);
}

// From the start of a word to the moment its last bit has arrived.
constexpr uint64_t WordArrivalUs(unsigned rateCode) { return BitTimeUs(rateCode) * kArincWordBits; }

constexpr bool HasOddParity(uint32_t word) { return (std::popcount(word) & 1) != 0; }

// Replaces bit 32 so that the whole word has odd parity, or even parity when `even` is set.
constexpr uint32_t WithParityBit(uint32_t word, bool even) {
    const uint32_t data = word & ~kArincParityBit;
    const bool odd = HasOddParity(data);
    return (odd == even) ? (data | kArincParityBit) : data;
}

}  // namespace orv
