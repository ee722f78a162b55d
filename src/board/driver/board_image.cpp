#include "board/driver/board_image.h"

#include <cassert>

namespace orv {

void BoardImage::CopyOut(std::size_t byteOffset, std::span<uint8_t> dst) const {
    assert(byteOffset + dst.size() <= kBytes);
    for (std::size_t i = 0; i < dst.size(); ++i) {
        const std::size_t b = byteOffset + i;
        const uint16_t w = Get(uint32_t(b / 2));
        dst[i] = uint8_t((b & 1) ? (w >> 8) : (w & 0xFF));
    }
}

void BoardImage::CopyIn(std::size_t byteOffset, std::span<const uint8_t> src) {
    assert(byteOffset + src.size() <= kBytes);
    for (std::size_t i = 0; i < src.size(); ++i) {
        const std::size_t b = byteOffset + i;
        const uint32_t a = uint32_t(b / 2);
        const uint16_t w = Get(a);
        Set(a, (b & 1) ? uint16_t((w & 0x00FF) | (src[i] << 8)) : uint16_t((w & 0xFF00) | src[i]));
    }
}

}  // namespace orv
