#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
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
    int (*ftruncate)(int fd, off_t length);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
    int (*flock)(int fd, int operation);
    int (*fchown)(int fd, uid_t owner, gid_t group);
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

// The file that a save of `path` replaces. A symbolic link is followed to
// its end, link by link, so that every link stays and the file at the end
// is replaced, or created when it doesn't exist yet. A link that ends at
// anything but a file (a folder, a FIFO) is itself what gets replaced. False
// with `error` for links that lead round in a loop.
bool SaveTarget(const std::filesystem::path& path, std::filesystem::path& target, int& error);

// What ReplaceFile did.
struct Replacement {
    bool done = false;
    std::string reason; // why not, in plain words ("No space left on device")
    // Where the file that was there was kept aside; empty when none was.
    std::filesystem::path keptAside;
    // When the save failed and the file may not be whole: where its previous
    // contents are kept.
    std::filesystem::path previousCopy;
};

// Replaces the file at `path` with `bytes` in one step: written to a
// temporary file ".<name>.tmp-<pid>-<hex digits>" beside it, flushed to
// disk, then renamed over it; on any failure the old file stays as it was.
// A symbolic link is followed to its end, however many links lead there:
// the links stay and the file at the end is replaced, or created when it
// doesn't exist yet. The new file keeps the old one's mode; a file that
// can't be read, or none, gives the usual mode of a new file (0666 less the
// umask).
// The new file also keeps the owner, group and access list of a file that
// could be read. When no temporary file can be made in the folder, or none
// that keeps them, an existing file is written in place instead
// (SaveInPlace).
// With `keepOld`, what is at the path is first kept beside it under the
// first free one of "<name>.unreadable", "<name>.unreadable-2"..., never in
// place of an earlier copy, and the save fails when that can't be done; a
// save that fails afterwards leaves what was there at the path, and no copy.
// Temporary files of earlier saves of the same file are removed first, when
// this process holds the folder's SaveLock: they can only be of saves that
// died.
Replacement ReplaceFile(const std::filesystem::path& path, std::string_view bytes, bool keepOld);

// What the ways of saving share. All of a file's bytes from its start, or
// false with errno.
bool ReadAll(int fd, std::string& bytes);
// Writes all of `bytes` from the file's offset; false with `error`.
bool WriteAll(const SystemCalls& calls, int fd, std::string_view bytes, int& error);
// Writes everything, flushes it to disk and closes the file; the first
// failure's error number, or 0.
int WriteAndClose(const SystemCalls& calls, int fd, std::string_view bytes);
// Claims the first free one of `base`, "<base>-2", "<base>-3"... with
// `claim`, which fails with EEXIST on a name that is taken, so that an
// earlier copy is never replaced and two saves can't take the same name; the
// name claimed, or empty with errno.
std::string ClaimFreeName(const std::string& base,
                          const std::function<int(const char* name)>& claim);
// Flushes the entries of a folder to disk, so that what was made, renamed
// or removed in it stays so.
void SyncFolder(const std::filesystem::path& folder);

} // namespace plistio
