#pragma once
// The byte codec of the fixed-size records: little-endian numbers and Windows-1251 texts,
// blank-padded, each followed by a zero byte.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>

#include "text/fixed_text.h"

namespace orv {

inline void PutU16(std::span<uint8_t> rec, std::size_t at, uint16_t v) {
    rec[at] = uint8_t(v & 0xFF);
    rec[at + 1] = uint8_t(v >> 8);
}
inline void PutU32(std::span<uint8_t> rec, std::size_t at, uint32_t v) {
    for (std::size_t i = 0; i < 4; ++i) rec[at + i] = uint8_t((v >> (8 * i)) & 0xFF);
}
inline void PutF32(std::span<uint8_t> rec, std::size_t at, float v) { PutU32(rec, at, std::bit_cast<uint32_t>(v)); }
// The N bytes of the text followed by its zero byte.
template <std::size_t N>
void PutText(std::span<uint8_t> rec, std::size_t at, const FixedText<N>& text) {
    for (std::size_t i = 0; i < N; ++i) rec[at + i] = uint8_t(text.Data()[i]);
    rec[at + N] = 0;
}

inline uint16_t GetU16(std::span<const uint8_t> rec, std::size_t at) {
    return uint16_t(rec[at] | (rec[at + 1] << 8));
}
inline uint32_t GetU32(std::span<const uint8_t> rec, std::size_t at) {
    uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v |= uint32_t(rec[at + i]) << (8 * i);
    return v;
}
inline float GetF32(std::span<const uint8_t> rec, std::size_t at) { return std::bit_cast<float>(GetU32(rec, at)); }
template <std::size_t N>
FixedText<N> GetText(std::span<const uint8_t> rec, std::size_t at) {
    char bytes[N];
    for (std::size_t i = 0; i < N; ++i) bytes[i] = char(rec[at + i]);
    FixedText<N> t;
    t.AssignRaw(bytes);
    return t;
}

}  // namespace orv
