// Writes a small Chapter 10 recording with the recordings library, on a manual clock and a fixed
// start time, so that the bytes are the same every time: the seed of the reader's fuzz target
// (samples/c10-seed.ch10). Two boards, three buses at three rates, words with parity and format
// errors, packets cut at 100 ms, and two seconds of time packets.
//   orv_make_c10_seed OUT

#include <cstdio>
#include <string>

#include "c10/c10_reader.h"
#include "c10/c10_writer.h"

int main(int argc, char** argv) {
    using namespace orv::c10;
    if (argc != 2) {
        std::fprintf(stderr, "usage: orv_make_c10_seed OUT\n");
        return 2;
    }
    uint64_t now = 0;
    WriterOptions options;
    options.setup.recorderId = "ORVMON";
    options.setup.channels = {
        {2, "Плата 1", {{0, "Вход 1", 12500.0}, {4, "Вход 5", 100000.0}}},
        {3, "Плата 2", {{1, "Вход 2", 50000.0}}},
    };
    // 2026-12-07 10:00:00.0050000 UTC.
    options.startTime = (int64_t{20794} * 86400 + 10 * 3600) * 10'000'000 + 50'000;
    options.clock = [&now] { return now; };
    options.replace = true;
    std::string error;
    auto writer = Writer::Create(argv[1], options, &error);
    if (!writer) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    uint32_t n = 0;
    for (now = 0; now < 21'000'000; now += 50'000) {  // 2.1 s in 5 ms steps
        ++n;
        if (n % 7 == 0) writer->Offer({now, 0x60000000u | n << 8 | 0203, 2, 0, uint8_t(n % 21 == 0 ? kWordParityError : 0)});
        if (n % 3 == 0) writer->Offer({now + 1000, 0x00100000u | n << 10 | 0310, 2, 4, 0});
        if (n % 11 == 0) writer->Offer({now + 2000, 0x80000000u | n << 9 | 0150, 3, 1, uint8_t(n % 22 == 0 ? kWordFormatError : 0)});
        writer->Service();
    }
    return writer->Close() ? 0 : 1;
}
