#pragma once
// Reading a whole file as the program's readers do: one read loop, paths longer than PATH_MAX,
// and what a reader can meet (no file, something that is no regular file, a failed read).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace orv {

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

}  // namespace orv
