#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>

// Reading and replacing the file of a property-list document.
namespace plistio {

// The system calls of saving, replaceable so that tests can make any one of
// them fail.
struct SystemCalls {
    int (*open)(const char* path, int flags, mode_t mode);
    ssize_t (*write)(int fd, const void* data, std::size_t size);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*rename)(const char* from, const char* to);
};

// The calls in use; `calls` replaces them until the next call, null restores
// the real ones. For tests only.
const SystemCalls& CurrentSystemCalls();
void ReplaceSystemCalls(const SystemCalls* calls);

enum class ReadStatus { Read, Missing, Unreadable };

// The bytes of a file, held without being set to anything first: a large
// file is read once, not cleared and then read.
class FileBytes {
public:
    std::string_view View() const { return {data_.get(), size_}; }
    bool Empty() const { return size_ == 0; }

private:
    friend ReadStatus ReadRegularFile(const std::filesystem::path& path, FileBytes& bytes);
    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
};

// Reads a whole regular file into `bytes`. Anything else at the path (a
// folder, a FIFO, a device) is Unreadable, and is never opened in a way that
// could block.
ReadStatus ReadRegularFile(const std::filesystem::path& path, FileBytes& bytes);

// Replaces the file at `path` with `bytes` in one step: written to a
// temporary file beside it, flushed to disk, then renamed over it; on any
// failure the old file stays as it was. When no temporary file can be made
// in the folder, an existing file is written in place instead. With
// `keepOld`, what is at the path is first kept beside it as
// "<name>.unreadable" (replacing an earlier such copy), and the save fails
// when that can't be done. Temporary files of earlier saves of the same
// file whose process has ended are removed first. False on failure, with
// `reason` saying why in plain words.
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, bool keepOld,
                 std::string& reason);

} // namespace plistio
