#include "files/file_read.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace orv {

bool ReadAllFrom(int fd, std::vector<uint8_t>& out, std::size_t maxBytes) {
    uint8_t buf[65536];
    std::size_t got = 0;
    while (got < maxBytes) {
        const ssize_t r = read(fd, buf, std::min(sizeof buf, maxBytes - got));
        if (r < 0 && errno == EINTR) continue;
        if (r < 0) return false;
        if (r == 0) break;
        out.insert(out.end(), buf, buf + r);
        got += std::size_t(r);
    }
    return true;
}

int OpenPath(const std::string& path, int flags) {
    flags |= O_CLOEXEC;
    if (path.size() < PATH_MAX) return open(path.c_str(), flags);
    int dir = AT_FDCWD;
    std::size_t at = 0;
    if (path[0] == '/') {
        dir = open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0) return -1;
        at = 1;
    }
    const auto closeDir = [&dir] {
        const int saved = errno;
        if (dir != AT_FDCWD) close(dir);
        errno = saved;
    };
    while (path.size() - at >= PATH_MAX) {
        // The longest piece below PATH_MAX that ends before a slash.
        const std::size_t cut = path.rfind('/', at + PATH_MAX - 2);
        if (cut == std::string::npos || cut < at) {
            closeDir();
            errno = ENAMETOOLONG;  // a single name longer than any file system allows
            return -1;
        }
        const std::string piece = path.substr(at, cut - at);
        at = cut + 1;
        if (piece.empty()) continue;
        const int next = openat(dir, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        closeDir();
        if (next < 0) return -1;
        dir = next;
    }
    const std::string rest = at < path.size() ? path.substr(at) : std::string(".");
    const int fd = openat(dir, rest.c_str(), flags);
    closeDir();
    return fd;
}

FileBytes ReadFileBytes(const std::string& path, std::size_t maxBytes) {
    FileBytes out;
    // O_NONBLOCK keeps a FIFO of that name from blocking the open; it is refused below.
    const int fd = OpenPath(path, O_RDONLY | O_NONBLOCK);
    if (fd < 0) {
        // A dangling link is as good as no file; anything else that exists could not be opened.
        const bool noEntry = errno == ENOENT;
        const int probe = noEntry ? OpenPath(path, O_PATH) : -1;
        out.status = noEntry && probe < 0 ? ReadStatus::Missing : ReadStatus::Unreadable;
        if (probe >= 0) close(probe);
        return out;
    }
    // Closed however the reading ends (a failed allocation throws out of it).
    const std::unique_ptr<const int, void (*)(const int*)> closer(&fd, [](const int* f) { close(*f); });
    struct stat st {};
    if (fstat(fd, &st) != 0) out.status = ReadStatus::Unreadable;
    else if (!S_ISREG(st.st_mode)) out.status = ReadStatus::NotRegular;
    else out.status = ReadAllFrom(fd, out.bytes, maxBytes) ? ReadStatus::Ok : ReadStatus::Unreadable;
    if (!out.ok()) out.bytes.clear();
    return out;
}

}  // namespace orv
