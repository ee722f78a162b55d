// Chapter 10 recordings: any bytes are read without fault or hang, and every word the reader gives
// comes from a packet whose checks hold when made again here from the raw bytes (sync, header
// checksum, lengths inside the input, message count against data length, secondary header and
// data checksums when flagged), with the word, bus and flags exactly as its packet holds them.
#include <cstddef>
#include <cstdint>
#include <span>

#include "c10/c10_reader.h"
#include "fuzz_check.h"

namespace {

using namespace orv::c10;

uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

struct Checker : ReadSink {
    const uint8_t* data;
    std::size_t size;
    bool reversed;
    uint64_t nextPacket = 0;  // packets come in order and do not overlap
    uint64_t words = 0;

    Checker(const uint8_t* d, std::size_t n, bool r) : data(d), size(n), reversed(r) {}

    void OnPacket(const PacketInfo& p) override {
        FUZZ_CHECK(p.offset >= nextPacket);
        FUZZ_CHECK(p.offset + p.header.packetLength <= size);
        nextPacket = p.offset + p.header.packetLength;
    }

    void OnWords(std::span<const Word> w, const PacketInfo& p) override {
        const uint8_t* h = data + p.offset;
        FUZZ_CHECK(p.offset + 24 <= size);
        FUZZ_CHECK(Le16(h) == 0xEB25);
        uint16_t sum = 0;
        for (int i = 0; i < 22; i += 2) sum = uint16_t(sum + Le16(h + i));
        FUZZ_CHECK(sum == Le16(h + 22));
        const uint32_t packetLength = Le32(h + 4), dataLength = Le32(h + 8);
        const uint8_t flags = h[14];
        FUZZ_CHECK(h[15] == 0x38);
        FUZZ_CHECK(packetLength % 4 == 0 && packetLength <= 524288);
        FUZZ_CHECK(p.offset + packetLength <= size);
        const std::size_t secondary = (flags & 0x80) ? 12 : 0;
        const std::size_t kind = flags & 3, csize = kind == 3 ? 4 : kind;
        FUZZ_CHECK(24 + secondary + csize + dataLength <= packetLength);
        if (secondary) {
            const uint8_t* s = h + 24;
            uint16_t bytes = 0, words16 = 0;
            for (int i = 0; i < 10; ++i) bytes = uint16_t(bytes + s[i]);
            for (int i = 0; i < 10; i += 2) words16 = uint16_t(words16 + Le16(s + i));
            FUZZ_CHECK(Le16(s + 10) == bytes || Le16(s + 10) == words16);
        }
        const uint8_t* body = h + 24 + secondary;
        const std::size_t summed = packetLength - 24 - secondary - csize;
        if (kind == 1) {
            uint8_t s8 = 0;
            for (std::size_t i = 0; i < summed; ++i) s8 = uint8_t(s8 + body[i]);
            FUZZ_CHECK(s8 == body[summed]);
        } else if (kind == 2) {
            uint16_t s16 = 0;
            for (std::size_t i = 0; i < summed; i += 2) s16 = uint16_t(s16 + Le16(body + i));
            FUZZ_CHECK(s16 == Le16(body + summed));
        } else if (kind == 3) {
            uint32_t s32 = 0;
            for (std::size_t i = 0; i < summed; i += 4) s32 += Le32(body + i);
            FUZZ_CHECK(s32 == Le32(body + summed));
        }
        const uint32_t count = Le32(body) & 0xFFFF;
        FUZZ_CHECK(dataLength == 4 + 8 * count);
        FUZZ_CHECK(w.size() == count);
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t iph = Le32(body + 4 + 8 * i), word = Le32(body + 8 + 8 * i);
            FUZZ_CHECK(w[i].word == (reversed ? ReverseLabel(word) : word));
            FUZZ_CHECK(w[i].bus == (iph >> 24));
            FUZZ_CHECK(w[i].channel == Le16(h + 2));
            FUZZ_CHECK(((w[i].flags & kWordParityError) != 0) == ((iph & (1u << 22)) != 0));
            FUZZ_CHECK(((w[i].flags & kWordFormatError) != 0) == ((iph & (1u << 23)) != 0));
        }
        words += count;
    }

    void OnProblem(const Problem& p) override {
        FUZZ_CHECK(p.offset <= size);
        FUZZ_CHECK(p.skipped <= size - p.offset);
        (void)p.Message();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const bool reversed = size % 2 == 1;
    Checker checker(data, size, reversed);
    Reader reader(ReadOptions{reversed});
    reader.ReadBytes(std::span<const uint8_t>(data, size), checker);
    FUZZ_CHECK(reader.Summary().words == checker.words);
    FUZZ_CHECK(reader.Summary().skippedBytes <= size);
    return 0;
}
