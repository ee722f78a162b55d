#pragma once
// Fixed-size little-endian records and the files that hold them: flat sequences of records, no
// header and no count. Texts are Windows-1251, blank-padded, each followed by a zero byte.

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "text/fixed_text.h"

namespace orv {

// ---- Record fields ----
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

// ---- Reading files ----
// Everything a program file reader can meet. A settings file that exists but could not be read is
// never saved over: its records were not seen, so a save would destroy them.
enum class ReadStatus {
    Ok,          // read to its end
    Missing,     // no such file (an empty table)
    NotRegular,  // a directory, FIFO, device ... of that name
    Unreadable,  // exists but could not be opened or read to its end
};

struct FileBytes {
    ReadStatus status = ReadStatus::Missing;
    std::vector<uint8_t> bytes;
    bool ok() const { return status == ReadStatus::Ok; }
    // Exists but its contents could not be taken in (not Ok and not Missing).
    bool unreadable() const { return status == ReadStatus::NotRegular || status == ReadStatus::Unreadable; }
};

// The one read loop: reads from `fd` until a read returns no bytes, appending at most `maxBytes`
// to `out`. False when a read failed (what was read stays in `out`).
bool ReadAllFrom(int fd, std::vector<uint8_t>& out, std::size_t maxBytes = SIZE_MAX);

// Opens `path` as open(2) does with `flags` (close-on-exec added), also when the path is longer
// than PATH_MAX, which open(2) refuses: such a path is walked in pieces shorter than PATH_MAX, cut
// at slashes, each piece but the last opened as a folder. -1 with errno set when it fails.
int OpenPath(const std::string& path, int flags);

// The bytes of a regular file (at most `maxBytes`), following symbolic links. A FIFO of that name
// does not block: it is NotRegular.
FileBytes ReadFileBytes(const std::string& path, std::size_t maxBytes = SIZE_MAX);

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

// ---- Replacing files ----
enum class SaveError {
    None,
    NotRegularFile,  // something else has that name (a directory, FIFO, device)
    ReadOnly,        // the file's mode gives its owner no write permission, or we may not write it
    CannotCreate,    // the temporary file could not be made (no such folder, no permission, name too long)
    CannotWrite,     // writing, flushing or renaming failed (a full disk)
    BackupFailed,    // the ".bak" copy of the old file could not be written
};

// Longest file name (bytes) that the replacing save can handle: its temporary file's name is
// "." + name + ".~" + six characters, and must fit the file system's 255 bytes.
inline constexpr std::size_t kReplaceTempExtra = 9;
inline constexpr std::size_t kMaxReplaceableName = 255 - kReplaceTempExtra;

// True for the name of a temporary file that a replacing save makes (".<name>.~XXXXXX").
bool IsReplacementTemporary(std::string_view name);

// One replacement of a file, in three steps, for writers that stream their bytes:
//   Begin    follows symbolic links to the target (the link stays a link), refuses a target that
//            is not a regular file or is read-only (even for root, by its mode bits), removes the
//            temporaries that earlier killed saves of the same file left, and creates a new one
//            beside the target;
//   Write    appends bytes to the temporary;
//   Commit   gives it the old file's permission bits and owner, optionally copies the old file
//            to "<name>.bak", flushes it and renames it over the target.
// Anything but a successful Commit removes the temporary and leaves the old file as it was.
class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement() { Abandon(); }
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    SaveError Begin(const std::string& path);
    bool Write(std::span<const uint8_t> bytes);
    SaveError Commit(bool keepBackup = false);
    void Abandon();

    bool Active() const { return fd_ >= 0; }
    // The file that will be replaced: the path with its symbolic links followed.
    const std::string& Target() const { return target_; }
    bool TargetExisted() const { return existed_; }

private:
    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool existed_ = false;
    bool failed_ = false;
    unsigned mode_ = 0644;
    unsigned uid_ = 0, gid_ = 0;
};

// Replaces the file with `bytes` through a FileReplacement; with `keepBackup` an existing old
// file is first copied to "<name>.bak".
SaveError ReplaceFile(const std::string& path, std::span<const uint8_t> bytes, bool keepBackup = false);

// Replaces the file with `bytes`: true when it was replaced (ReplaceFile gave None). False leaves
// the old file as it was.
bool WriteFileReplacing(const std::string& path, std::span<const uint8_t> bytes);

// ---- Settings files behind a table dialog ----
// What a dialog that shows a settings file and saves its list back over it must remember from
// the reading: a file that exists but was not read must not be saved over (its records were never
// shown), and a file with records left out keeps its old contents as "<name>.bak" on the first save.
struct SettingsFileGuard {
    std::string name;          // the file's name, as messages show it
    bool unreadable = false;   // "Применить" must refuse to save
    bool keepBackup = false;   // the next save copies the old file to "<name>.bak"
    std::string openMessage;   // to tell the engineer when the list is shown (UTF-8), or empty

    // The refusal to show on "Применить" over an unreadable file, or empty when a save may go on.
    std::string SaveRefusal() const;
    // The message for a save that failed ("Ошибка создания файла " and the name).
    std::string SaveFailure() const;
    // After a successful save the file holds exactly the list: no more backups.
    void Saved() { keepBackup = false; }
};
SettingsFileGuard GuardOfRead(std::string name, ReadStatus status, std::size_t recordsLeftOut);
template <class T>
SettingsFileGuard GuardOf(const RecordFileRead<T>& read, std::string name) {
    return GuardOfRead(std::move(name), read.status, read.damaged.size() + (read.trailingBytes != 0 ? 1 : 0));
}

}  // namespace orv
