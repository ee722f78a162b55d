// ".42o": any bytes are restored without fault; saving the restored lines and restoring them again
// gives every line back character for character.
#include <cstddef>
#include <cstdint>
#include <span>

#include "fuzz_check.h"
#include "transmit/frame_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    using namespace orv;
    FrameEntry current;
    const FrameFileRead read = DecodeFrameFile(std::span<const uint8_t>(data, size), current);
    FUZZ_CHECK(read.lines.size() <= kMaxFrameFileRecords);
    FUZZ_CHECK(read.trailingBytes == size % kFrameRecordSize);
    LineList list(false);
    for (const auto& line : read.lines) list.Add(line);
    FrameEntry writer;
    const std::vector<uint8_t> bytes = FrameFileBytes(list, writer);
    FrameEntry reader;
    const FrameFileRead again = DecodeFrameFile(bytes, reader);
    FUZZ_CHECK(again.damaged.empty());
    FUZZ_CHECK(again.lines == read.lines);
    (void)FrameFileMessages(read, "f.42o");
    return 0;
}
