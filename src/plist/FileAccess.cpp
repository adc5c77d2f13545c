#include "plist/FileAccess.h"

#include "plist/InPlaceSave.h"
#include "plist/Limits.h"
#include "plist/Ownership.h"
#include "plist/SaveLock.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plistio {
namespace {

namespace fs = std::filesystem;

int RealOpen(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

const SystemCalls kRealCalls{&RealOpen, &::write,  &::ftruncate, &::fsync,
                             &::close,  &::rename, &::flock,     &::fchown};
const SystemCalls* currentCalls = &kRealCalls;

std::string Reason(int error) {
    return std::strerror(error);
}

// The temporary files of a save of `name` are ".<name>.tmp-<pid>-<hex>".
std::string TemporaryPrefix(const std::string& name) {
    return "." + name + ".tmp-";
}

// Whether `entry` is a temporary file of a save of this store:
// "<prefix><process id>-<hex digits>".
bool IsTemporary(std::string_view entry, std::string_view prefix) {
    if (!entry.starts_with(prefix)) {
        return false;
    }
    entry.remove_prefix(prefix.size());
    const std::size_t dash = entry.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 9 || dash + 1 == entry.size()) {
        return false;
    }
    const std::string_view pid = entry.substr(0, dash);
    const std::string_view hex = entry.substr(dash + 1);
    return std::all_of(pid.begin(), pid.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           std::all_of(hex.begin(), hex.end(),
                       [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

// Removes what saves of the file that died left behind. Only under the save
// lock, where no other save of the file can be running: every temporary
// file is then a leftover, whatever process, in whatever PID namespace,
// made it. Without the lock (a file system without locks) nothing goes.
void RemoveLeftovers(const fs::path& folder, const std::string& name) {
    if (!SaveLock::HeldOn(folder)) {
        return;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const std::string prefix = TemporaryPrefix(name);
    while (const dirent* entry = ::readdir(dir)) {
        if (IsTemporary(entry->d_name, prefix)) {
            ::unlinkat(::dirfd(dir), entry->d_name, 0);
        }
    }
    ::closedir(dir);
}

std::string RandomHex() {
    static std::mt19937_64 generator{std::random_device{}()};
    static const char digits[] = "0123456789abcdef";
    std::uint64_t value = generator();
    std::string text(16, '0');
    for (char& c : text) {
        c = digits[value & 15];
        value >>= 4;
    }
    return text;
}

} // namespace

bool WriteAll(const SystemCalls& calls, int fd, std::string_view bytes, int& error) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = calls.write(fd, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            error = n < 0 ? errno : ENOSPC;
            return false;
        }
    }
    return true;
}

int WriteAndClose(const SystemCalls& calls, int fd, std::string_view bytes) {
    int error = 0;
    bool ok = WriteAll(calls, fd, bytes, error);
    if (ok && calls.fsync(fd) != 0) {
        error = errno;
        ok = false;
    }
    if (calls.close(fd) != 0 && ok) {
        error = errno;
    }
    return error;
}

void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // Makes the rename durable; a failure here leaves a consistent file.
        ::fsync(fd);
        ::close(fd);
    }
}

namespace {

// Whether the file can be opened for reading, probed as the reading does.
bool Readable(const SystemCalls& calls, const fs::path& file) {
    const int fd = calls.open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

// Renames `from` to `to` unless something is at `to` already (EEXIST).
int MoveWithoutReplacing(const char* from, const char* to) {
#ifdef RENAME_NOREPLACE
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return -1;
    }
#endif
    // The file system can't refuse by itself; under the save lock no save
    // of ours can take the name in between.
    struct stat info {};
    if (::lstat(to, &info) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::rename(from, to);
}

// Where KeepAside kept what was at the path.
struct KeptCopy {
    fs::path path;      // empty when nothing was there
    bool moved = false; // moved off the path, not linked beside it
};

// Keeps what is at `target` under the first free one of "<name>.unreadable",
// "<name>.unreadable-2"... (ClaimFreeName). A hard link keeps even a file
// that can't be read and leaves it at its path; what can't be linked (a
// folder) is moved.
bool KeepAside(const fs::path& target, KeptCopy& kept, std::string& reason) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0) {
        return true; // nothing there any more
    }
    const std::string base = target.string() + ".unreadable";
    std::string aside =
        ClaimFreeName(base, [&](const char* name) { return ::link(target.c_str(), name); });
    if (aside.empty()) {
        kept.moved = true;
        aside = ClaimFreeName(
            base, [&](const char* name) { return MoveWithoutReplacing(target.c_str(), name); });
    }
    if (aside.empty()) {
        reason = Reason(errno);
        return false;
    }
    kept.path = aside;
    return true;
}

// For a save that failed after KeepAside: the original goes back to its
// path, and no copy stays of a save that did not happen.
void PutBack(const fs::path& target, const KeptCopy& kept) {
    if (kept.path.empty()) {
        return;
    }
    if (kept.moved) {
        MoveWithoutReplacing(kept.path.c_str(), target.c_str());
        return;
    }
    struct stat original {};
    struct stat copy {};
    if (::lstat(target.c_str(), &original) == 0 && ::lstat(kept.path.c_str(), &copy) == 0 &&
        original.st_dev == copy.st_dev && original.st_ino == copy.st_ino) {
        ::unlink(kept.path.c_str());
    }
}

} // namespace

std::string ClaimFreeName(const std::string& base,
                          const std::function<int(const char* name)>& claim) {
    for (int copy = 1;; ++copy) {
        std::string name = copy == 1 ? base : base + "-" + std::to_string(copy);
        if (claim(name.c_str()) == 0) {
            return name;
        }
        if (errno != EEXIST) {
            return {};
        }
    }
}

// All of a file's bytes from its start, or false; EFBIG for a file larger
// than the store reads. The buffer takes the file's size, and grows only
// for a file that grows while it is read.
bool ReadAll(int fd, std::string& bytes) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        errno = EINVAL;
        return false;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > kMaxFileBytes) {
        errno = EFBIG;
        return false;
    }
    bytes.resize(static_cast<std::size_t>(info.st_size));
    std::size_t size = 0;
    for (;;) {
        // Past the size it had, the file is read through a small buffer
        // until its end, so that one that stopped growing costs nothing.
        char more[4096];
        const bool full = size == bytes.size();
        const ssize_t n =
            ::pread(fd, full ? more : bytes.data() + size, full ? sizeof more : bytes.size() - size,
                    static_cast<off_t>(size));
        if (n > 0) {
            size += static_cast<std::size_t>(n);
            if (size > kMaxFileBytes) {
                errno = EFBIG;
                return false;
            }
            if (full) {
                bytes.append(more, static_cast<std::size_t>(n));
            }
        } else if (n == 0) {
            bytes.resize(size);
            return true;
        } else if (errno != EINTR) {
            return false;
        }
    }
}

const SystemCalls& CurrentSystemCalls() {
    return *currentCalls;
}

void ReplaceSystemCalls(const SystemCalls* calls) {
    currentCalls = calls != nullptr ? calls : &kRealCalls;
}

namespace {

// As many links as the system itself follows in one path.
constexpr int kMaxLinks = 40;

// The path that a symbolic link holds, or false.
bool ReadLink(const fs::path& link, fs::path& to) {
    std::string text(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink(link.c_str(), text.data(), text.size());
        if (n < 0) {
            return false;
        }
        if (static_cast<std::size_t>(n) < text.size()) {
            text.resize(static_cast<std::size_t>(n));
            to = text;
            return true;
        }
        text.resize(text.size() * 2);
    }
}

} // namespace

bool SaveTarget(const fs::path& path, fs::path& target, int& error) {
    fs::path current = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            target = current; // nothing there yet, or the save fails on it
            return true;
        }
        if (!S_ISLNK(info.st_mode)) {
            target = S_ISREG(info.st_mode) ? current : path;
            return true;
        }
        fs::path to;
        if (!ReadLink(current, to)) {
            target = current;
            return true;
        }
        // Relative to the link's own folder, as the system reads it.
        current = to.is_absolute() ? to : current.parent_path() / to;
    }
    error = ELOOP;
    return false;
}

ReadStatus ReadRegularFile(const std::filesystem::path& path, std::string& bytes) {
    bytes.clear();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Unreadable;
    }
    if (!S_ISREG(info.st_mode)) {
        return ReadStatus::Unreadable;
    }
    if (static_cast<std::uintmax_t>(info.st_size) > kMaxFileBytes) {
        return ReadStatus::TooLarge;
    }
    // Non-blocking, and checked again once open (ReadAll takes only a
    // regular file), in case the path changed into something else in
    // between.
    const int fd =
        currentCalls->open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0);
    if (fd < 0) {
        return ReadStatus::Unreadable;
    }
    const bool read = ReadAll(fd, bytes);
    const int error = errno;
    ::close(fd);
    if (!read) {
        bytes = std::string();
        return error == EFBIG ? ReadStatus::TooLarge : ReadStatus::Unreadable;
    }
    return ReadStatus::Read;
}

Replacement ReplaceFile(const std::filesystem::path& path, std::string_view bytes, bool keepOld) {
    const SystemCalls& calls = *currentCalls;
    Replacement result;
    fs::path target;
    int error = 0;
    if (!SaveTarget(path, target, error)) {
        result.reason = Reason(error);
        return result;
    }
    if (!target.has_filename()) {
        result.reason = Reason(EISDIR);
        return result;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string name = target.filename().string();
    RemoveLeftovers(folder, name);

    // The replacement keeps the mode of a file that could be read, read-only
    // included; a new file, or one that could not be read, gets the usual one.
    struct stat info {};
    const bool keepMode =
        ::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode) && Readable(calls, target);
    const mode_t mode = info.st_mode & 07777;
    KeptCopy kept;
    if (keepOld && !KeepAside(target, kept, result.reason)) {
        return result;
    }
    if (!kept.path.empty()) {
        std::error_code ec;
        result.keptAside = fs::absolute(kept.path, ec);
    }

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temporary =
            (folder / (TemporaryPrefix(name) + std::to_string(::getpid()) + "-" + RandomHex()))
                .string();
        fd = calls.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    // A failed save leaves what was at the path there, and keeps no copy.
    const auto fail = [&](int why) {
        if (result.reason.empty()) {
            result.reason = Reason(why);
        }
        PutBack(target, kept);
        result.keptAside.clear();
        return result;
    };
    // The file is written in place instead, but not one kept aside by a
    // link, which would change with it.
    const auto inPlaceOrFail = [&](int why) {
        result.done = !keepOld && SaveInPlace(calls, target, bytes, result);
        return result.done ? result : fail(why);
    };
    if (fd < 0) {
        error = errno;
        // A folder that takes no new files may still hold a writable file.
        return error == EACCES || error == EPERM || error == EROFS ? inPlaceOrFail(error)
                                                                   : fail(error);
    }
    if (keepMode) {
        // Before the mode: a new owner clears the set-id bits, and an access
        // list sets the others.
        error = KeepOwnership(calls, fd, target, info);
        if (error != 0) {
            calls.close(fd);
            ::unlink(temporary.c_str());
            // Written in place, the file keeps its owner, group and access list.
            return inPlaceOrFail(error);
        }
        ::fchmod(fd, mode);
    }
    error = WriteAndClose(calls, fd, bytes);
    if (error == 0 && calls.rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        result.reason.clear();
        return fail(error);
    }
    SyncFolder(folder);
    result.done = true;
    return result;
}

} // namespace plistio
