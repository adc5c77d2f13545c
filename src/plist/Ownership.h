#pragma once

#include "plist/FileAccess.h"

#include <filesystem>
#include <sys/stat.h>

namespace plistio {

// Gives the new file open at `fd`, which is to replace `original` (as
// `info`, its stat, describes it), the original's owner, group and access
// list, so that a save gives no one access that the file did not give: not
// the saving user's group, nor root, nor what the folder's default access
// list gave the new file. Returns 0, or the error number of what could not
// be kept.
int KeepOwnership(const SystemCalls& calls, int fd, const std::filesystem::path& original,
                  const struct stat& info);

} // namespace plistio
