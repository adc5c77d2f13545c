#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace plistio {

// Keeps every other save of a file out, in this process and in others, for
// as long as it lives: a save holds it from its re-read of the file, through
// the merge, the keeping aside, the write and the rename. It is an flock on
// the folder that holds the file (at the end of its symbolic links): the
// system drops it when a process dies, and it needs no file of its own in a
// folder that may take no new files. Within one process a second lock of the
// same folder is the first one held again.
class SaveLock {
public:
    // How long a save waits for another one: far longer than any save of a
    // file within the size limit takes.
    static constexpr std::chrono::milliseconds kWait{10000};

    explicit SaveLock(const std::filesystem::path& file, std::chrono::milliseconds wait = kWait);
    ~SaveLock();
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;

    // False only when another save kept the lock for longer than `wait`. An
    // empty path, a folder that can't be opened, or a file system without
    // flock has no lock to wait for: the save goes on as the only one it can
    // know of.
    bool Held() const { return reason_.empty(); }
    // Why the lock could not be had, in plain words.
    const std::string& Reason() const { return reason_; }

    // Whether this process holds the lock of `folder` now, so that no other
    // save of a file in it can be running.
    static bool HeldOn(const std::filesystem::path& folder);

private:
    int fd_ = -1; // the folder, while this object holds its lock
    std::string reason_;
};

} // namespace plistio
