#include "files/file_replacement.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <optional>

#include "files/file_read.h"

namespace orv {
namespace {

constexpr int kMaxLinks = 40;
constexpr std::string_view kTempMark = ".~";
constexpr std::size_t kTempRandom = 6;

std::string DirOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The path with every symbolic link of its last component followed (a dangling link gives the
// path it points to, where the file will be created). nullopt for a loop of links.
std::optional<std::string> FollowLinks(std::string path) {
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char buf[PATH_MAX];
        const ssize_t n = readlink(path.c_str(), buf, sizeof buf - 1);
        if (n < 0) return path;
        std::string to(buf, std::size_t(n));
        if (to.empty()) return std::nullopt;
        if (to[0] != '/') to = (path.find('/') == std::string::npos ? std::string() : DirOf(path) + "/") + to;
        path = to;
    }
    return std::nullopt;
}

std::string TempPrefix(const std::string& target) {
    std::string prefix = DirOf(target) + "/.";
    prefix += BaseOf(target);
    prefix += kTempMark;
    return prefix;
}

// Removes the temporaries of `target` that no live save holds: a save locks its temporary for as
// long as it writes it, so one that can be locked was left by a save that was killed.
void SweepTemporaries(const std::string& target) {
    const std::string dir = DirOf(target);
    const std::string base = "." + BaseOf(target) + std::string(kTempMark);
    DIR* d = opendir(dir.c_str());
    if (!d) return;
    while (const dirent* e = readdir(d)) {
        const std::string_view name(e->d_name);
        if (name.size() != base.size() + kTempRandom || name.substr(0, base.size()) != base) continue;
        const int fd = openat(dirfd(d), e->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0) continue;
        struct stat st {};
        if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && flock(fd, LOCK_EX | LOCK_NB) == 0)
            unlinkat(dirfd(d), e->d_name, 0);
        close(fd);
    }
    closedir(d);
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t r = write(fd, bytes.data() + done, bytes.size() - done);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) return false;
        done += std::size_t(r);
    }
    return true;
}

void SyncDirectory(const std::string& dir) {
    const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

}  // namespace

// ---- Replacing ----

bool IsReplacementTemporary(std::string_view name) {
    if (name.size() < 1 + kTempMark.size() + kTempRandom + 1 || name[0] != '.') return false;
    const std::size_t mark = name.size() - kTempRandom - kTempMark.size();
    return name.substr(mark, kTempMark.size()) == kTempMark;
}

SaveError FileReplacement::Begin(const std::string& path) {
    Abandon();
    failed_ = false;
    const auto target = FollowLinks(path);
    if (!target) return SaveError::CannotCreate;
    target_ = *target;
    struct stat st {};
    existed_ = stat(target_.c_str(), &st) == 0;
    if (existed_) {
        if (!S_ISREG(st.st_mode)) return SaveError::NotRegularFile;
        // A file its owner may not write is read-only: a save must not replace it, even where the
        // folder would allow the rename (or the process is root).
        if ((st.st_mode & S_IWUSR) == 0 || faccessat(AT_FDCWD, target_.c_str(), W_OK, AT_EACCESS) != 0)
            return SaveError::ReadOnly;
        mode_ = st.st_mode & 07777;
        uid_ = st.st_uid;
        gid_ = st.st_gid;
    } else {
        mode_ = 0644;
    }
    if (BaseOf(target_).size() > kMaxReplaceableName) return SaveError::CannotCreate;
    SweepTemporaries(target_);
    temp_ = TempPrefix(target_) + std::string(kTempRandom, 'X');
    fd_ = mkostemp(temp_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        temp_.clear();
        return SaveError::CannotCreate;
    }
    // Held while this save lives, so that no other save sweeps it away.
    flock(fd_, LOCK_EX);
    return SaveError::None;
}

bool FileReplacement::Write(std::span<const uint8_t> bytes) {
    if (fd_ < 0 || failed_) return false;
    if (!WriteAll(fd_, bytes)) failed_ = true;
    return !failed_;
}

SaveError FileReplacement::Commit(bool keepBackup) {
    if (fd_ < 0) return SaveError::CannotCreate;
    if (failed_) {
        Abandon();
        return SaveError::CannotWrite;
    }
    if (existed_) {
        // Best effort: root saving another user's file leaves it that user's.
        if (fchown(fd_, uid_, gid_) != 0) { /* the saver's own file then */ }
    }
    bool ok = fchmod(fd_, mode_) == 0 && fsync(fd_) == 0;
    if (ok && keepBackup && existed_) {
        const FileBytes old = ReadFileBytes(target_);
        if (!old.ok() || ReplaceFile(target_ + ".bak", old.bytes) != SaveError::None) {
            Abandon();
            return SaveError::BackupFailed;
        }
    }
    ok = ok && std::rename(temp_.c_str(), target_.c_str()) == 0;
    if (!ok) {
        Abandon();
        return SaveError::CannotWrite;
    }
    close(fd_);
    fd_ = -1;
    temp_.clear();
    SyncDirectory(DirOf(target_));
    return SaveError::None;
}

void FileReplacement::Abandon() {
    if (!temp_.empty()) unlink(temp_.c_str());
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    temp_.clear();
}

SaveError ReplaceFile(const std::string& path, std::span<const uint8_t> bytes, bool keepBackup) {
    FileReplacement replacement;
    if (const SaveError e = replacement.Begin(path); e != SaveError::None) return e;
    if (!replacement.Write(bytes)) {
        replacement.Abandon();
        return SaveError::CannotWrite;
    }
    return replacement.Commit(keepBackup);
}

bool WriteFileReplacing(const std::string& path, std::span<const uint8_t> bytes) {
    return ReplaceFile(path, bytes) == SaveError::None;
}

}  // namespace orv
