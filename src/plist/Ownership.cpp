#include "plist/Ownership.h"

#include <cerrno>
#include <string>
#include <sys/xattr.h>

namespace plistio {
namespace {

// Where the system keeps a file's access list beyond its mode.
constexpr const char* kAccessList = "system.posix_acl_access";

} // namespace

int KeepOwnership(const SystemCalls& calls, int fd, const std::filesystem::path& original,
                  const struct stat& info) {
    if (calls.fchown(fd, info.st_uid, info.st_gid) != 0) {
        return errno;
    }
    std::string list;
    ssize_t size = ::getxattr(original.c_str(), kAccessList, nullptr, 0);
    if (size > 0) {
        list.resize(static_cast<std::size_t>(size));
        size = ::getxattr(original.c_str(), kAccessList, list.data(), list.size());
    }
    if (size < 0 && errno != ENODATA) {
        return errno == ENOTSUP ? 0 : errno; // ENOTSUP: a file system without access lists
    }
    if (size > 0) {
        list.resize(static_cast<std::size_t>(size));
        return ::fsetxattr(fd, kAccessList, list.data(), list.size(), 0) == 0 ? 0 : errno;
    }
    if (::fremovexattr(fd, kAccessList) != 0 && errno != ENODATA && errno != ENOTSUP) {
        return errno;
    }
    return 0;
}

} // namespace plistio
