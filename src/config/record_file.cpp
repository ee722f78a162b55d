#include "config/record_file.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

std::vector<std::vector<uint8_t>> SplitRecords(std::span<const uint8_t> bytes, std::size_t recordSize) {
    std::vector<std::vector<uint8_t>> records;
    if (recordSize == 0) return records;
    for (std::size_t at = 0; at + recordSize <= bytes.size(); at += recordSize)
        records.emplace_back(bytes.begin() + std::ptrdiff_t(at), bytes.begin() + std::ptrdiff_t(at + recordSize));
    return records;
}

std::vector<std::vector<uint8_t>> ReadRecordFile(const std::string& path, std::size_t recordSize) {
    // O_NONBLOCK keeps a FIFO of that name from blocking the open; it is refused below.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return {};
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return {};
    }
    std::vector<uint8_t> bytes;
    uint8_t buf[4096];
    for (;;) {
        const ssize_t r = read(fd, buf, sizeof buf);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        bytes.insert(bytes.end(), buf, buf + r);
    }
    close(fd);
    return SplitRecords(bytes, recordSize);
}

bool WriteFileReplacing(const std::string& path, std::span<const uint8_t> bytes) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return false;

    std::string temp = path + ".XXXXXX";
    const int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    fchmod(fd, 0644);  // mkostemp creates 0600; settings files are ordinary files
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t r = write(fd, bytes.data() + done, bytes.size() - done);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) ok = false;
        else done += std::size_t(r);
    }
    ok = ok && fsync(fd) == 0;
    ok = (close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) unlink(temp.c_str());
    return ok;
}

}  // namespace orv
