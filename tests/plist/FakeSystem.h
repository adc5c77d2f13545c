#pragma once

// The system calls of reading and saving as tests want them to go (a full
// disk, a failing one, a folder that takes no new files, a save that dies
// or meets another), and a process of its own to run a save in.
#include "plist/FileAccess.h"
#include "plist/plist.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <functional>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

// How the calls go while a FakeSystem lives. Each call is a step; errors are
// error numbers, 0 for none.
struct Faults {
    int create = 0;              // opening a new file: a folder that takes none
    std::string unreadable = {}; // a file that can't be opened for reading
    int endAt = 0;               // the step at which the process ends; 0: none
    long room = -1;              // what writes may add before ENOSPC; -1: no end
    bool roomAfterFull = false;  // room again after the first write that had none
    int fsync = 0;
    int close = 0; // the file is closed all the same
    int rename = 0;
    int flock = 0; // the save lock
    int chown = 0;
    void (*atRead)() = nullptr;    // before opening a file to read it
    void (*lockTaken)() = nullptr; // when the save lock is found taken
};

class FakeSystem {
public:
    explicit FakeSystem(Faults faults) {
        faults_ = std::move(faults);
        steps_ = 0;
        owner = {uid_t(-1), gid_t(-1)}; // no owner given yet
        calls_.open = [](const char* path, int flags, mode_t mode) {
            if ((flags & O_ACCMODE) == O_RDONLY && faults_.atRead != nullptr) {
                faults_.atRead();
            }
            const bool unreadable = (flags & O_ACCMODE) == O_RDONLY && path == faults_.unreadable;
            const int error = (flags & O_CREAT) != 0 ? faults_.create : unreadable ? EACCES : 0;
            return Step(error) ? -1 : ::open(path, flags, mode);
        };
        calls_.write = [](int fd, const void* data, std::size_t size) -> ssize_t {
            if (Step(faults_.room == 0 ? ENOSPC : 0)) {
                faults_.room = faults_.roomAfterFull ? -1 : 0;
                return -1;
            }
            size = faults_.room > 0 ? std::min<std::size_t>(size, faults_.room) : size;
            faults_.room -= faults_.room > 0 ? static_cast<long>(size) : 0;
            return ::write(fd, data, size);
        };
        calls_.ftruncate = [](int fd, off_t length) { return Step(), ::ftruncate(fd, length); };
        calls_.fsync = [](int fd) { return Step(faults_.fsync) ? -1 : ::fsync(fd); };
        calls_.close = [](int fd) { return ::close(fd), Step(faults_.close) ? -1 : 0; };
        calls_.rename = [](const char* from, const char* to) {
            return Step(faults_.rename) ? -1 : ::rename(from, to);
        };
        calls_.flock = [](int fd, int operation) {
            const int done = Step(faults_.flock) ? -1 : ::flock(fd, operation);
            if (done != 0 && errno == EWOULDBLOCK && faults_.lockTaken != nullptr) {
                faults_.lockTaken();
                errno = EWOULDBLOCK;
            }
            return done;
        };
        calls_.fchown = [](int fd, uid_t uid, gid_t gid) {
            owner = {uid, gid};
            return Step(faults_.chown) ? -1 : ::fchown(fd, uid, gid);
        };
        plistio::ReplaceSystemCalls(&calls_);
    }
    ~FakeSystem() { plistio::ReplaceSystemCalls(nullptr); }

    static inline std::pair<uid_t, gid_t> owner; // the last given to a file

private:
    // Takes a step, ending the process at the planned one (a save that never
    // finished); sets errno to `error`, and says whether there is one.
    static bool Step(int error = 0) {
        if (++steps_ == faults_.endAt) {
            ::_exit(0);
        }
        errno = error;
        return error != 0;
    }

    plistio::SystemCalls calls_ = plistio::CurrentSystemCalls();
    static inline Faults faults_;
    static inline int steps_ = 0;
};

// Saves the document as `faults` let it.
inline void SaveWith(plist& doc, Faults faults) {
    const FakeSystem fake(std::move(faults));
    doc.Save();
}

// Runs `child` in a process of its own, which exits with what it returns,
// and `meanwhile` here; how the child ended: its exit status, or -1.
inline int InChild(const std::function<int()>& child,
                   const std::function<void()>& meanwhile = nullptr) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(child());
    }
    if (meanwhile) {
        meanwhile();
    }
    int status = 0;
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) ? WEXITSTATUS(status)
                                                                             : -1;
}
