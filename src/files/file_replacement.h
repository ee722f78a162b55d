#pragma once
// Replacing a file safely: written to a hidden temporary beside the target and renamed over it,
// keeping the old permission bits and writing through a symbolic link; read-only and non-regular
// targets are refused and the temporaries of killed saves swept.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orv {

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

}  // namespace orv
