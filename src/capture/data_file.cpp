#include "capture/data_file.h"

#include <cerrno>
#include <cstdio>
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

std::unique_ptr<DataFile> DataFile::CreateForWriting(const std::string& path) {
    // Hold the target (if it exists) so that nobody else opens it while it is being replaced.
    // Something of that name that is no writable regular file could not be replaced by a file
    // (the rename would fail only at Close, after the caller was told the file was created).
    int lockFd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (lockFd < 0 && errno != ENOENT) return nullptr;
    if (lockFd >= 0 && (!IsRegular(lockFd) || access(path.c_str(), W_OK) != 0 || !LockExclusive(lockFd))) {
        close(lockFd);
        return nullptr;
    }
    std::string temp = path + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        if (lockFd >= 0) close(lockFd);
        return nullptr;
    }
    fchmod(fd, 0644);  // mkostemp creates 0600; data files are ordinary files
    std::unique_ptr<DataFile> f(new DataFile);
    f->path_ = path;
    f->tempPath_ = temp;
    f->fd_ = fd;
    f->lockFd_ = lockFd;
    f->writing_ = true;
    return f;
}

std::size_t DataFile::Read(std::span<uint8_t> dst) {
    if (fd_ < 0 || writing_) return 0;
    std::size_t got = 0;
    while (got < dst.size()) {
        const ssize_t r = read(fd_, dst.data() + got, dst.size() - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += std::size_t(r);
    }
    return got;
}

bool DataFile::Write(std::span<const uint8_t> src) {
    if (fd_ < 0 || !writing_ || failed_) return false;
    std::size_t done = 0;
    while (done < src.size()) {
        const ssize_t r = write(fd_, src.data() + done, src.size() - done);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) {
            failed_ = true;
            return false;
        }
        done += std::size_t(r);
    }
    return true;
}

void DataFile::Discard() {
    if (fd_ >= 0 && writing_) failed_ = true;
    Close();
}

bool DataFile::Close() {
    if (fd_ < 0) return !failed_;
    bool ok = true;
    if (writing_) {
        ok = !failed_ && fsync(fd_) == 0;
        ok = (close(fd_) == 0) && ok;
        ok = ok && std::rename(tempPath_.c_str(), path_.c_str()) == 0;
        if (!ok) unlink(tempPath_.c_str());
        if (lockFd_ >= 0) close(lockFd_);
        lockFd_ = -1;
    } else {
        close(fd_);
    }
    fd_ = -1;
    failed_ = !ok;
    return ok;
}

}  // namespace orv
