#include "plist/SaveLock.h"

#include "plist/FileAccess.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace plistio {
namespace {

namespace fs = std::filesystem;

// The folders whose lock this process holds, and how many SaveLocks hold
// each: a second flock through another descriptor would wait for the first.
struct HeldFolder {
    dev_t device;
    ino_t inode;
    int fd;
    int holders;
};
std::vector<HeldFolder>& HeldFolders() {
    static std::vector<HeldFolder> folders;
    return folders;
}

HeldFolder* Find(const struct stat& info) {
    for (HeldFolder& folder : HeldFolders()) {
        if (folder.device == info.st_dev && folder.inode == info.st_ino) {
            return &folder;
        }
    }
    return nullptr;
}

} // namespace

SaveLock::SaveLock(const fs::path& file, std::chrono::milliseconds wait) {
    fs::path target;
    int error = 0;
    // A document without a file has no folder to lock, never the current
    // one; on a loop of links the save itself fails.
    if (file.empty() || !SaveTarget(file, target, error)) {
        return;
    }
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0 || ::fstat(fd, &info) != 0) {
        if (fd >= 0) {
            ::close(fd);
        }
        return;
    }
    if (HeldFolder* held = Find(info)) {
        ++held->holders;
        fd_ = held->fd;
        ::close(fd);
        return;
    }
    const SystemCalls& calls = CurrentSystemCalls();
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (calls.flock(fd, LOCK_EX | LOCK_NB) == 0) {
            break;
        }
        if (errno != EWOULDBLOCK && errno != EINTR) {
            ::close(fd); // no locks on this file system
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            reason_ = "Another save of the file did not finish";
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    fd_ = fd;
    HeldFolders().push_back(HeldFolder{info.st_dev, info.st_ino, fd, 1});
}

bool SaveLock::HeldOn(const fs::path& folder) {
    struct stat info {};
    return ::stat(folder.c_str(), &info) == 0 && Find(info) != nullptr;
}

SaveLock::~SaveLock() {
    if (fd_ < 0) {
        return;
    }
    std::vector<HeldFolder>& folders = HeldFolders();
    for (auto it = folders.begin(); it != folders.end(); ++it) {
        if (it->fd == fd_ && --it->holders == 0) {
            ::close(it->fd); // drops the lock
            folders.erase(it);
            return;
        }
    }
}

} // namespace plistio
