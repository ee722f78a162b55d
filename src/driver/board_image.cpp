#include "driver/board_image.h"

#include <cassert>

namespace orv {

// Both copies go a whole word at a time: one relaxed load or store per 16-bit word, the low byte
// first. Only an odd first or last byte touches half a word; a store then keeps the other half.

void BoardImage::CopyOut(std::size_t byteOffset, std::span<uint8_t> dst) const {
    assert(byteOffset + dst.size() <= kBytes);
    uint8_t* out = dst.data();
    std::size_t n = dst.size();
    std::size_t w = byteOffset / 2;
    if (n != 0 && (byteOffset & 1)) {
        *out++ = uint8_t(words_[w++].load(std::memory_order_relaxed) >> 8);
        --n;
    }
    for (; n >= 2; n -= 2, out += 2) {
        const uint16_t v = words_[w++].load(std::memory_order_relaxed);
        out[0] = uint8_t(v & 0xFF);
        out[1] = uint8_t(v >> 8);
    }
    if (n != 0) *out = uint8_t(words_[w].load(std::memory_order_relaxed) & 0xFF);
}

void BoardImage::CopyIn(std::size_t byteOffset, std::span<const uint8_t> src) {
    assert(byteOffset + src.size() <= kBytes);
    const uint8_t* in = src.data();
    std::size_t n = src.size();
    std::size_t w = byteOffset / 2;
    if (n != 0 && (byteOffset & 1)) {
        const uint16_t old = words_[w].load(std::memory_order_relaxed);
        words_[w++].store(uint16_t((old & 0x00FF) | (*in++ << 8)), std::memory_order_relaxed);
        --n;
    }
    for (; n >= 2; n -= 2, in += 2)
        words_[w++].store(uint16_t(in[0] | (in[1] << 8)), std::memory_order_relaxed);
    if (n != 0) {
        const uint16_t old = words_[w].load(std::memory_order_relaxed);
        words_[w].store(uint16_t((old & 0xFF00) | *in), std::memory_order_relaxed);
    }
}

}  // namespace orv
