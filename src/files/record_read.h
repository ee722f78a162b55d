#pragma once
// Files as flat sequences of fixed-size records (no header, no count): the records of a file's
// bytes, sorted into the sound ones and those left out as damaged, and the field checks that
// every record kind's damage check shares.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_read.h"
#include "text/fixed_text.h"

namespace orv {

// ---- Records ----
// Splits bytes into whole records of recordSize; a trailing partial record is dropped.
std::vector<std::vector<uint8_t>> SplitRecords(std::span<const uint8_t> bytes, std::size_t recordSize);

// The whole records of a file (see ReadFileBytes); nothing when it could not be read.
std::vector<std::vector<uint8_t>> ReadRecordFile(const std::string& path, std::size_t recordSize);

// A record left out of a list because it would not survive being shown and saved back: `index` is
// its place in the file (0-based), `reason` a UTF-8 text (a control character, a column fault,
// or for channel settings a rate code no editor shows).
struct DamagedRecord {
    std::size_t index = 0;
    const char* reason = nullptr;
};

// The records of one file as a reader of kind T takes them: the sound records in file order, the
// damaged ones that were left out, and the bytes of a trailing partial record.
template <class T>
struct RecordFileRead {
    ReadStatus status = ReadStatus::Missing;
    std::vector<T> records;
    std::vector<DamagedRecord> damaged;
    std::size_t trailingBytes = 0;
    bool unreadable() const { return status == ReadStatus::NotRegular || status == ReadStatus::Unreadable; }
    // The file holds something that is not shown: a save over it should keep the old file.
    bool lossy() const { return !damaged.empty() || trailingBytes != 0; }
};

// Decodes every whole record of `bytes` with `decode` (span -> T) and sorts it by `defect`
// (const T& -> const char*: nullptr for a sound record, else the reason).
template <class T, class Decode, class Defect>
RecordFileRead<T> DecodeRecordBytes(std::span<const uint8_t> bytes, std::size_t recordSize, Decode decode,
                                    Defect defect) {
    RecordFileRead<T> out;
    out.status = ReadStatus::Ok;
    std::size_t index = 0;
    for (std::size_t at = 0; at + recordSize <= bytes.size(); at += recordSize, ++index) {
        T record = decode(bytes.subspan(at, recordSize));
        if (const char* reason = defect(record)) out.damaged.push_back({index, reason});
        else out.records.push_back(std::move(record));
    }
    out.trailingBytes = recordSize == 0 ? 0 : bytes.size() % recordSize;
    return out;
}

// The same for a file.
template <class T, class Decode, class Defect>
RecordFileRead<T> ReadRecordsOfFile(const std::string& path, std::size_t recordSize, Decode decode, Defect defect) {
    const FileBytes file = ReadFileBytes(path);
    if (!file.ok()) {
        RecordFileRead<T> out;
        out.status = file.status;
        return out;
    }
    return DecodeRecordBytes<T>(file.bytes, recordSize, decode, defect);
}

// ---- Field checks shared by the record kinds ----
// A label or units field as a list line shows it: the bytes before its first zero byte,
// blank-padded to N (what every reader takes a fixed text to mean).
template <std::size_t N>
FixedText<N> ShownText(const FixedText<N>& text) {
    const std::string_view v = text.View();
    return FixedText<N>(v.substr(0, std::min(v.find('\0'), v.size())));
}
// True when the shown text holds a control character (below 0x20, 0x7F, or 0x98, which has no
// Windows-1251 character): a list line cannot show it and a name typed in an editor cannot hold it.
bool HasControlCharacter(std::string_view text);

}  // namespace orv
