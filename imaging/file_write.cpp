// Writing a whole file so that a failed write never costs the old one, and
// the file keeps what its owner set: read-only stays refused, the mode and
// owner stay, a symbolic link stays a link, hard links keep sharing.
//
// The usual way is a temporary file beside the target, synced, given the
// old file's mode and owner, and renamed over it. A file with more than one
// name, or one that is not a plain file, is written in place, and so is a
// file whose folder takes no new name (a folder we may not write): before
// the old bytes are touched, room for the new ones is reserved, so a full
// disk fails while the old file is still whole.
#include "imaging/file_io.h"
#include "imaging/result.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <random>
#include <string>

namespace imaging {
namespace {

constexpr int kMaxLinkHops = 40;
// Room left in a temporary name for the dot, a random part and ".tmp": any
// name a folder takes still gives a temporary name it takes.
constexpr size_t kTemporaryStemBytes = 200;

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path names once its symbolic links are followed. A link to a
// file that does not exist yet names the file to create.
int followLinks(const std::string& path, std::string& target) {
    std::string current = path;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat st;
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = current;
            return kSuccess;
        }
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(current.c_str(), buffer, sizeof buffer);
        if (length <= 0 || size_t(length) >= sizeof buffer) return kErrBadFileName;
        std::string next(buffer, size_t(length));
        if (next[0] != '/' && current.find('/') != std::string::npos)
            next = folderOf(current) + "/" + next;
        current = next;
    }
    return kErrBadFileName;  // a loop of links
}

size_t totalSize(const std::vector<ByteSpan>& parts) {
    size_t total = 0;
    for (const ByteSpan& part : parts) total += part.size;
    return total;
}

// Writes the parts one after another from the start of a plain file, or in
// sequence to a pipe or device.
bool writeAll(int fd, const std::vector<ByteSpan>& parts, bool plain) {
    off_t at = 0;
    for (const ByteSpan& part : parts) {
        const uint8_t* data = part.data;
        size_t size = part.size;
        while (size > 0) {
            const ssize_t n = plain ? ::pwrite(fd, data, size, at) : ::write(fd, data, size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return false;
            data += n, size -= size_t(n), at += n;
        }
    }
    return true;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Marked read-only by its owner (no write bit at all), or not writable by us.
bool isReadOnly(const std::string& path, const struct stat& st) {
    return (st.st_mode & 0222) == 0 || ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

// A new file beside the target, made with the usual creation mode. Returns
// the descriptor, or minus the error number.
int createTemporary(const std::string& target, std::string& temporary) {
    std::string stem = nameOf(target);
    if (stem.size() > kTemporaryStemBytes) {
        stem.resize(kTemporaryStemBytes);
        // Cut at a character's start, not inside a UTF-8 sequence.
        while (!stem.empty() && (uint8_t(stem.back()) & 0xC0) == 0x80) stem.pop_back();
        if (!stem.empty() && (uint8_t(stem.back()) & 0x80)) stem.pop_back();
    }
    const std::string folder = folderOf(target);
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, ".%06x.tmp", unsigned(random() & 0xFFFFFF));
        temporary = folder + "/." + stem + suffix;
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) return fd;
        if (errno != EEXIST) return -errno;
    }
    return -EEXIST;
}

// The new file takes the old one's owner where we may give it, and its mode.
void keepOwnerAndMode(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) (void)::fchown(fd, uid_t(-1), old.st_gid);
    mode_t mode = old.st_mode & 07777;
    struct stat now;
    if (::fstat(fd, &now) != 0 || now.st_uid != old.st_uid || now.st_gid != old.st_gid)
        mode &= ~mode_t(S_ISUID | S_ISGID);  // never hand set-id bits to another owner
    (void)::fchmod(fd, mode);
}

int writeInPlace(const std::string& target, const std::vector<ByteSpan>& parts, bool existed) {
    const size_t total = totalSize(parts);
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return errno == ENOENT ? kErrFileNotFound : kErrFileWrite;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0;
    const bool plain = ok && S_ISREG(st.st_mode);
    const off_t oldSize = ok ? st.st_size : 0;
    if (ok && plain && total > 0) {
        // Room first: a full disk shows here, with the old bytes untouched.
        const int reserved = ::posix_fallocate(fd, 0, off_t(total));
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL) {
            const int restored = ::ftruncate(fd, oldSize);  // a partial reservation
            (void)restored;
            ok = false;
        }
    }
    ok = ok && writeAll(fd, parts, plain);
    if (ok && plain) ok = ::ftruncate(fd, off_t(total)) == 0 && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        if (!existed) ::unlink(target.c_str());
        return kErrFileWrite;
    }
    return kSuccess;
}

}  // namespace

int writeWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    return writeWholeFile(path, std::vector<ByteSpan>{{bytes.data(), bytes.size()}});
}

int writeWholeFile(const std::string& path, const std::vector<ByteSpan>& parts) {
    if (path.empty()) return kErrBadFileName;
    std::string target;
    const int followed = followLinks(path, target);
    if (followed != kSuccess) return followed;

    struct stat old;
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists) {
        if (S_ISDIR(old.st_mode)) return kErrFileOpen;
        if (isReadOnly(target, old)) return kErrFileWrite;
        // All names of the file see the new picture; devices and pipes are
        // written, never replaced.
        if (!S_ISREG(old.st_mode) || old.st_nlink > 1) return writeInPlace(target, parts, true);
    }

    std::string temporary;
    const int fd = createTemporary(target, temporary);
    if (fd == -ENOENT || fd == -ENOTDIR) return kErrFileNotFound;
    if (fd < 0) return writeInPlace(target, parts, exists);  // no new name in that folder

    bool ok = writeAll(fd, parts, true);
    if (ok && exists) keepOwnerAndMode(fd, old);
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return kErrFileWrite;
    }
    syncFolder(folderOf(target));
    return kSuccess;
}

}  // namespace imaging
