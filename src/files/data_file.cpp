#include "files/data_file.h"

#include "files/file_read.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {
namespace {
bool LockExclusive(int fd) { return flock(fd, LOCK_EX | LOCK_NB) == 0; }

bool IsRegular(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}
}  // namespace

DataFile::~DataFile() { Close(); }

std::unique_ptr<DataFile> DataFile::OpenForReading(const std::string& path) {
    // O_NONBLOCK keeps a FIFO of that name from blocking the open; only regular files are data.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    if (!IsRegular(fd) || !LockExclusive(fd)) {
        close(fd);
        return nullptr;
    }
    std::unique_ptr<DataFile> f(new DataFile);
    f->path_ = path;
    f->fd_ = fd;
    return f;
}

std::unique_ptr<DataFile> DataFile::CreateForWriting(const std::string& path, bool keepBackup) {
    std::unique_ptr<DataFile> f(new DataFile);
    // Refuses what a file cannot replace (a directory, a FIFO, a read-only file) before the
    // caller is told the file was created.
    if (f->replacement_.Begin(path) != SaveError::None) return nullptr;
    // Hold the target (if it exists) so that nobody else opens it while it is being replaced.
    if (f->replacement_.TargetExisted()) {
        const int lockFd = open(f->replacement_.Target().c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (lockFd < 0 || !IsRegular(lockFd) || !LockExclusive(lockFd)) {
            if (lockFd >= 0) close(lockFd);
            return nullptr;  // the replacement removes its temporary
        }
        f->lockFd_ = lockFd;
    }
    f->path_ = path;
    f->writing_ = true;
    f->keepBackup_ = keepBackup;
    return f;
}

std::size_t DataFile::Read(std::span<uint8_t> dst) {
    if (fd_ < 0 || writing_) return 0;
    std::vector<uint8_t> got;
    got.reserve(dst.size());
    ReadAllFrom(fd_, got, dst.size());
    std::copy(got.begin(), got.end(), dst.begin());
    return got.size();
}

bool DataFile::ReadAll(std::vector<uint8_t>& out) {
    if (fd_ < 0 || writing_) return false;
    return ReadAllFrom(fd_, out);
}

bool DataFile::Write(std::span<const uint8_t> src) {
    if (!writing_ || failed_ || !replacement_.Active()) return false;
    if (!replacement_.Write(src)) failed_ = true;
    return !failed_;
}

void DataFile::Discard() {
    if (writing_ && replacement_.Active()) failed_ = true;
    Close();
}

bool DataFile::Close() {
    bool ok = !failed_;
    if (writing_) {
        if (!replacement_.Active()) return ok;
        if (failed_) replacement_.Abandon();
        else ok = replacement_.Commit(keepBackup_) == SaveError::None;
        if (lockFd_ >= 0) close(lockFd_);
        lockFd_ = -1;
    } else {
        if (fd_ < 0) return ok;
        close(fd_);
        fd_ = -1;
    }
    failed_ = !ok;
    return ok;
}

}  // namespace orv
