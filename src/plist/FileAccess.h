#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>

// Reading and replacing the file of a property-list document.
namespace plistio {

// The system calls of reading and saving, replaceable so that tests can make
// any one of them fail: a full disk, a file that can't be read, a folder
// that takes no new files.
struct SystemCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* data, std::size_t size);
    // Returns the error number, as posix_fallocate does; 0 on success.
    int (*posix_fallocate)(int fd, off_t offset, off_t length);
    int (*ftruncate)(int fd, off_t length);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
};

// The calls in use; `calls` replaces them until the next call, null restores
// the real ones. For tests only.
const SystemCalls& CurrentSystemCalls();
void ReplaceSystemCalls(const SystemCalls* calls);

enum class ReadStatus { Read, Missing, Unreadable, TooLarge };

// Reads a whole regular file into `bytes`. Anything else at the path (a
// folder, a FIFO, a device) is Unreadable, and is never opened in a way that
// could block; a file larger than kMaxFileBytes is TooLarge, and not read.
ReadStatus ReadRegularFile(const std::filesystem::path& path, std::string& bytes);

// What ReplaceFile did.
struct Replacement {
    bool done = false;
    std::string reason; // why not, in plain words ("No space left on device")
    // Where the file that was there was kept aside; empty when none was.
    std::filesystem::path keptAside;
};

// Replaces the file at `path` with `bytes` in one step: written to a
// temporary file ".<name>.tmp-<pid>-<hex digits>" beside it, flushed to
// disk, then renamed over it; on any failure the old file stays as it was.
// A symbolic link is followed to its end, however many links lead there:
// the links stay and the file at the end is replaced, or created when it
// doesn't exist yet. The new file keeps the old one's mode; a file that
// can't be read, or none, gives the usual mode of a new file.
// When no temporary file can be made in the folder, an existing file is
// written in place instead, and only when its new size could be reserved
// first; a write that fails even so puts the old bytes back.
// With `keepOld`, what is at the path is first kept beside it as
// "<name>.unreadable" (replacing an earlier such copy), and the save fails
// when that can't be done. Temporary files of earlier saves of the same
// file whose process has ended are removed first.
Replacement ReplaceFile(const std::filesystem::path& path, std::string_view bytes, bool keepOld);

} // namespace plistio
