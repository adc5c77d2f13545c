#include "plist/FileAccess.h"

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

const SystemCalls kRealCalls{&RealOpen, &::write, &::fsync, &::close, &::rename};
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

// Writes everything, cuts the file to that length when asked, flushes it
// to disk and closes it; the first failure's error number, or 0.
int WriteAndClose(const SystemCalls& calls, int fd, std::string_view bytes, bool truncate) {
    int error = 0;
    bool ok = WriteAll(calls, fd, bytes, error);
    if (ok && truncate && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
        error = errno;
        ok = false;
    }
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

// A symbolic link to a file is followed, so that the file it points to is
// replaced; a link to anything else is itself what gets replaced.
fs::path Target(const fs::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return path;
    }
    const bool followed = ::stat(path.c_str(), &info) == 0;
    if (followed ? !S_ISREG(info.st_mode) : errno != ENOENT) {
        return path;
    }
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(path, ec);
    return ec ? path : resolved;
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

bool WriteInPlace(const SystemCalls& calls, const fs::path& target, std::string_view bytes,
                  std::string& reason) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    const int fd = calls.open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY, 0);
    if (fd < 0) {
        reason = Reason(errno);
        return false;
    }
    const int error = WriteAndClose(calls, fd, bytes, true);
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

ReadStatus ReadRegularFile(const std::filesystem::path& path, FileBytes& bytes) {
    bytes = FileBytes();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Unreadable;
    }
    if (!S_ISREG(info.st_mode)) {
        return ReadStatus::Unreadable;
    }
    // Non-blocking, and checked again once open, in case the path changed
    // into something else in between.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        return ReadStatus::Unreadable;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return ReadStatus::Unreadable;
    }
    // One byte more than the file's size, so that a file that grew since is
    // noticed and read to its end.
    std::size_t capacity = static_cast<std::size_t>(info.st_size) + 1;
    std::unique_ptr<char[]> data(new char[capacity]);
    std::size_t size = 0;
    for (;;) {
        if (size == capacity) {
            std::unique_ptr<char[]> larger(new char[capacity * 2]);
            std::memcpy(larger.get(), data.get(), size);
            data = std::move(larger);
            capacity *= 2;
        }
        const ssize_t n = ::read(fd, data.get() + size, capacity - size);
        if (n > 0) {
            size += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n == 0) {
            break;
        } else {
            ::close(fd);
            return ReadStatus::Unreadable;
        }
    }
    ::close(fd);
    bytes.data_ = std::move(data);
    bytes.size_ = size;
    return ReadStatus::Read;
}

bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, bool keepOld,
                 std::string& reason) {
    const SystemCalls& calls = *currentCalls;
    const fs::path target = Target(path);
    if (!target.has_filename()) {
        reason = Reason(EISDIR);
        return false;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const std::string name = target.filename().string();
    RemoveLeftovers(folder, name);

    // The replacement keeps the permissions of a file that could be read; a
    // new file, or one that could not be read, gets the usual ones.
    struct stat info {};
    const bool keepMode = ::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
                          ::access(target.c_str(), R_OK) == 0;
    if (keepOld && !KeepAside(target, reason)) {
        return false;
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
        const int error = errno;
        // A folder that takes no new files may still hold a writable file.
        if (!keepOld && (error == EACCES || error == EPERM || error == EROFS) &&
            WriteInPlace(calls, target, bytes, reason)) {
            return true;
        }
        if (reason.empty()) {
            reason = Reason(error);
        }
        return false;
    }
    if (keepMode) {
        // The owner always keeps reading and writing it, so that no later
        // run is locked out of its own preferences.
        ::fchmod(fd, (info.st_mode & 07777) | S_IRUSR | S_IWUSR);
    }
    int error = WriteAndClose(calls, fd, bytes, false);
    if (error == 0 && calls.rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        reason = Reason(error);
        return false;
    }
    SyncFolder(folder);
    return true;
}

} // namespace plistio
