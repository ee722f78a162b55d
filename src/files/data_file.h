#pragma once
// The one open data file (".42i" display lists, ".42o" output frames) that a file chooser hands
// to its caller. Files are held with an exclusive advisory lock, the counterpart of opening a file
// without sharing: a file that another open holds cannot be opened again.
//
// A file created for writing goes through a FileReplacement (files/file_replacement.h): a temporary
// file beside the target, renamed over it only when it is closed successfully, so a failed or
// interrupted save never destroys the file that was there; a read-only target is refused, a
// symbolic link is written through and the old permission bits are kept.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "files/file_replacement.h"

namespace orv {

class DataFile {
public:
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // An existing regular file for reading; nullptr if it does not exist, is not a regular file,
    // cannot be read or is held.
    static std::unique_ptr<DataFile> OpenForReading(const std::string& path);
    // A new (or replacing) file for writing; nullptr if it cannot be created, or if something of
    // that name exists that is not a writable regular file or is held by another open. With
    // `keepBackup` a successful Close first copies the old file to "<name>.bak".
    static std::unique_ptr<DataFile> CreateForWriting(const std::string& path, bool keepBackup = false);

    // Reads up to dst.size() bytes; returns the count (0 at the end or on error).
    std::size_t Read(std::span<uint8_t> dst);
    // Reads everything from the current position to the end into `out`; false when a read failed.
    bool ReadAll(std::vector<uint8_t>& out);
    // Writes all of src; false on error (the file is then discarded at Close).
    bool Write(std::span<const uint8_t> src);
    // Ends the file: for writing, flushes and renames the temporary file over the target. Returns
    // false when the data could not be committed. Also done by the destructor.
    bool Close();
    // Gives up a file being written: the temporary file goes, the old file stays as it was.
    void Discard();

    // For a file being written: whether a successful Close first copies the old file to
    // "<name>.bak" (set when the file replaced was restored with records left out).
    void KeepBackup(bool keep) { keepBackup_ = keep; }

    const std::string& Path() const { return path_; }
    bool Writing() const { return writing_; }

private:
    DataFile() = default;
    std::string path_;
    FileReplacement replacement_;
    int fd_ = -1;      // the file being read
    int lockFd_ = -1;  // the target file's descriptor holding the lock while writing
    bool writing_ = false;
    bool keepBackup_ = false;
    bool failed_ = false;
};

}  // namespace orv
