#include "plist/InPlaceSave.h"

#include "framework/core/FolderItem.h"
#include "plist/SaveLock.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace plistio {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kCopyFolderName = "tallorix";
constexpr std::string_view kSaving = ".saving"; // a copy while its save runs
constexpr std::string_view kKept = ".previous"; // a copy claimed after its save died

// The folder for copies, or empty where the user has none. Only an absolute
// path counts: a relative one would put the copies in the current folder.
fs::path CopyFolder() {
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache != nullptr && cache[0] == '/') {
        return fs::path(cache) / kCopyFolderName;
    }
    const fs::path home = fw::HomeFolder();
    return home.empty() ? home : home / ".cache" / kCopyFolderName;
}

// Moves a copy whose save died to the first free kept name, never over an
// earlier one; where it can't be moved it stays, still whole.
fs::path Keep(const fs::path& copy) {
    std::string base = copy.string();
    base.replace(base.size() - kSaving.size(), kSaving.size(), kKept);
    const std::string kept =
        ClaimFreeName(base, [&](const char* name) { return ::link(copy.c_str(), name); });
    if (kept.empty()) {
        return copy;
    }
    ::unlink(copy.c_str());
    return kept;
}

// Keeps `old` as the copy of `target`, flushed to disk; false with `reason`.
// It is written under another name first, so that a copy is always whole.
bool MakeCopy(const SystemCalls& calls, const fs::path& target, std::string_view old,
              fs::path& copy, std::string& reason) {
    copy = CopyPath(target);
    if (copy.empty()) {
        reason = "No copy of the file could be kept before writing it in place: there is no "
                 "cache folder";
        return false;
    }
    const fs::path folder = copy.parent_path();
    std::error_code ec;
    fs::create_directories(folder.parent_path(), ec);
    ::mkdir(folder.c_str(), 0700); // the copies may be private
    struct stat info {};
    if (::lstat(copy.c_str(), &info) == 0) {
        Keep(copy); // left by a save that died before anyone read the file
    }
    const std::string partial = copy.string() + ".partial";
    const int fd =
        ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    int error = fd < 0 ? errno : WriteAndClose(calls, fd, old);
    if (error == 0 && ::rename(partial.c_str(), copy.c_str()) != 0) {
        error = errno;
    }
    if (error == 0) {
        SyncFolder(folder);
        return true;
    }
    ::unlink(partial.c_str());
    reason = "No copy of the file could be kept in " + folder.string() +
             " before writing it in place: " + std::strerror(error);
    return false;
}

// Writes `text` at `offset` in one piece; 0 or the error number.
int WriteAt(const SystemCalls& calls, int fd, std::size_t offset, std::string_view text) {
    int error = 0;
    if (::lseek(fd, static_cast<off_t>(offset), SEEK_SET) < 0) {
        return errno;
    }
    return WriteAll(calls, fd, text, error) ? 0 : error;
}

// Writes `text` from the file's start, with blanks after it up to `length`,
// in one piece, and flushes it; 0 or the error number.
int WriteOver(const SystemCalls& calls, int fd, std::string_view text, std::size_t length) {
    std::string padded;
    if (text.size() < length) {
        padded.reserve(length);
        padded.append(text).append(length - text.size(), ' ');
        text = padded;
    }
    const int error = WriteAt(calls, fd, 0, text);
    if (error != 0) {
        return error;
    }
    return calls.fsync(fd) == 0 ? 0 : errno;
}

// Cuts the blanks after a text of `size` bytes that is on disk, written over
// `length`; the file is whole either way.
void Trim(const SystemCalls& calls, int fd, std::size_t size, std::size_t length) {
    if (size < length && calls.ftruncate(fd, static_cast<off_t>(size)) == 0) {
        calls.fsync(fd);
    }
}

} // namespace

fs::path CopyPath(const fs::path& file) {
    fs::path target;
    int error = 0;
    const fs::path folder = CopyFolder();
    if (folder.empty() || !SaveTarget(file, target, error)) {
        return {};
    }
    std::error_code ec;
    const std::string where = fs::absolute(target, ec).lexically_normal().string();
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a: the same in every run
    for (const char c : where) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    }
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return folder / (target.filename().string() + "-" + digits + std::string(kSaving));
}

bool SaveInPlace(const SystemCalls& calls, const fs::path& target, std::string_view bytes,
                 Replacement& result) {
    struct stat info {};
    if (::stat(target.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false;
    }
    const int fd = calls.open(target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY, 0);
    if (fd < 0) {
        result.reason = std::strerror(errno);
        return false;
    }
    std::string old;
    fs::path copy;
    if (!ReadAll(fd, old)) {
        result.reason = std::strerror(errno);
    }
    if (!result.reason.empty() || !MakeCopy(calls, target, old, copy, result.reason)) {
        calls.close(fd);
        return false;
    }
    const std::size_t length = std::max(old.size(), bytes.size());
    int error = 0;
    // The room for a longer text is taken first, as blanks after the old
    // one, so that a full disk fails the save before the old text is touched.
    if (bytes.size() > old.size()) {
        error = WriteAt(calls, fd, old.size(), std::string(bytes.size() - old.size(), ' '));
        if (error != 0) {
            calls.ftruncate(fd, static_cast<off_t>(old.size()));
        }
    }
    bool whole = true;
    if (error == 0) {
        error = WriteOver(calls, fd, bytes, length);
        if (error == 0) {
            Trim(calls, fd, bytes.size(), length);
        } else {
            // Even writing over what a file holds may need new room (on a
            // file system that copies on write) or fail on a bad disk.
            whole = WriteOver(calls, fd, old, length) == 0;
            if (whole) {
                Trim(calls, fd, old.size(), length);
            }
        }
    }
    if (calls.close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (whole) {
        ::unlink(copy.c_str());
    } else {
        result.previousCopy = Keep(copy);
    }
    if (error != 0) {
        result.reason = std::strerror(error);
    }
    return error == 0;
}

fs::path ClaimLeftCopy(const fs::path& path) {
    const fs::path copy = CopyPath(path);
    struct stat info {};
    if (copy.empty() || ::lstat(copy.c_str(), &info) != 0) {
        return {};
    }
    // A copy exists only while a save holds the lock: one found without it
    // is one whose save died.
    const SaveLock lock(path, std::chrono::milliseconds(0));
    if (!lock.Held() || ::lstat(copy.c_str(), &info) != 0) {
        return {};
    }
    return Keep(copy);
}

} // namespace plistio
