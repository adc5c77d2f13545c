#include "plist/FileAccess.h"

#include "plist/Limits.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <random>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plistio {
namespace {

namespace fs = std::filesystem;

int RealOpen(const char* path, int flags, mode_t mode) {
    return ::open(path, flags, mode);
}

const SystemCalls kRealCalls{&RealOpen, &::write, &::posix_fallocate, &::ftruncate,
                             &::fsync,  &::close, &::rename};
const SystemCalls* currentCalls = &kRealCalls;

std::string Reason(int error) {
    return std::strerror(error);
}

// The temporary files of a save of `name` are ".<name>.tmp-<pid>-<hex>".
std::string TemporaryPrefix(const std::string& name) {
    return "." + name + ".tmp-";
}

// The process id in a temporary file name of this store, or 0.
pid_t WriterOf(std::string_view entry, std::string_view prefix) {
    if (!entry.starts_with(prefix)) {
        return 0;
    }
    entry.remove_prefix(prefix.size());
    const std::size_t dash = entry.find('-');
    if (dash == 0 || dash == std::string_view::npos || dash > 9 || dash + 1 == entry.size()) {
        return 0;
    }
    pid_t pid = 0;
    for (std::size_t i = 0; i < dash; ++i) {
        if (entry[i] < '0' || entry[i] > '9') {
            return 0;
        }
        pid = pid * 10 + (entry[i] - '0');
    }
    for (std::size_t i = dash + 1; i < entry.size(); ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(entry[i]))) {
            return 0;
        }
    }
    return pid;
}

// Removes what interrupted saves of the file left behind. A file whose
// process still runs may be another save in progress and stays.
void RemoveLeftovers(const fs::path& folder, const std::string& name) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return;
    }
    const std::string prefix = TemporaryPrefix(name);
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t pid = WriterOf(entry->d_name, prefix);
        if (pid <= 0 || pid == self) {
            continue;
        }
        if (::kill(pid, 0) != 0 && errno == ESRCH) {
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

// Writes everything, flushes it to disk and closes the file; the first
// failure's error number, or 0.
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

// The file that a save of `path` replaces. A symbolic link is followed to
// its end, link by link, so that every link stays and the file at the end
// is replaced, or created when it doesn't exist yet. A link that ends at
// anything but a file (a folder, a FIFO) is itself what gets replaced. False
// with `error` for links that lead round in a loop.
bool Target(const fs::path& path, fs::path& target, int& error) {
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

// Whether the file can be opened for reading, probed as the reading does.
bool Readable(const SystemCalls& calls, const fs::path& file) {
    const int fd = calls.open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

// Moves what is at `target` aside, replacing an earlier copy. A hard link
// keeps even a file that can't be read; a rename does for anything else.
bool KeepAside(const fs::path& target, std::string& reason) {
    struct stat info {};
    if (::lstat(target.c_str(), &info) != 0) {
        return true; // nothing there any more
    }
    const std::string aside = target.string() + ".unreadable";
    if (::unlink(aside.c_str()) != 0 && errno != ENOENT) {
        ::rmdir(aside.c_str());
    }
    if (::link(target.c_str(), aside.c_str()) == 0 ||
        ::rename(target.c_str(), aside.c_str()) == 0) {
        return true;
    }
    reason = Reason(errno);
    return false;
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

// Writes `bytes` over the file from its start, cuts it to their length and
// flushes it; the first failure's error number, or 0.
int Overwrite(const SystemCalls& calls, int fd, std::string_view bytes) {
    int error = 0;
    if (::lseek(fd, 0, SEEK_SET) != 0) {
        return errno;
    }
    if (!WriteAll(calls, fd, bytes, error)) {
        return error;
    }
    if (calls.ftruncate(fd, static_cast<off_t>(bytes.size())) != 0 || calls.fsync(fd) != 0) {
        return errno;
    }
    return 0;
}

// Writes the file itself, for a folder that takes no new files. Nothing of
// it is touched before the space for the new bytes is reserved, so that a
// full disk fails the save at once; and when a write fails all the same,
// the old bytes, read first, are put back: the file is never left torn.
bool WriteInPlace(const SystemCalls& calls, const fs::path& target, std::string_view bytes,
                  std::string& reason) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    const int fd = calls.open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY, 0);
    if (fd < 0) {
        reason = Reason(errno);
        return false;
    }
    std::string old;
    int error = 0;
    if (!ReadAll(fd, old)) {
        error = errno;
    } else if (!bytes.empty()) {
        error = calls.posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
        if (error != 0) {
            // A reservation that failed half-way may have made the file longer.
            calls.ftruncate(fd, static_cast<off_t>(old.size()));
        }
    }
    if (error == 0) {
        error = Overwrite(calls, fd, bytes);
        if (error != 0) {
            Overwrite(calls, fd, old);
        }
    }
    if (calls.close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error != 0) {
        reason = Reason(error);
    }
    return error == 0;
}

} // namespace

const SystemCalls& CurrentSystemCalls() {
    return *currentCalls;
}

void ReplaceSystemCalls(const SystemCalls* calls) {
    currentCalls = calls != nullptr ? calls : &kRealCalls;
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
    if (!Target(path, target, error)) {
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
    if (keepOld) {
        struct stat old {};
        const bool there = ::lstat(target.c_str(), &old) == 0;
        if (!KeepAside(target, result.reason)) {
            return result;
        }
        if (there) {
            std::error_code ec;
            result.keptAside = fs::absolute(target.string() + ".unreadable", ec);
        }
    }

    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 8 && fd < 0; ++attempt) {
        temporary =
            (folder / (TemporaryPrefix(name) + std::to_string(::getpid()) + "-" + RandomHex()))
                .string();
        fd = calls.open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) {
            break;
        }
    }
    if (fd < 0) {
        error = errno;
        // A folder that takes no new files may still hold a writable file.
        if (!keepOld && (error == EACCES || error == EPERM || error == EROFS) &&
            WriteInPlace(calls, target, bytes, result.reason)) {
            result.done = true;
            return result;
        }
        if (result.reason.empty()) {
            result.reason = Reason(error);
        }
        result.keptAside.clear();
        return result;
    }
    if (keepMode) {
        ::fchmod(fd, mode);
    }
    error = WriteAndClose(calls, fd, bytes);
    if (error == 0 && calls.rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        result.reason = Reason(error);
        result.keptAside.clear();
        return result;
    }
    SyncFolder(folder);
    result.done = true;
    return result;
}

} // namespace plistio
