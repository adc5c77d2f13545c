#pragma once

#include "plist/FileAccess.h"

#include <filesystem>
#include <string_view>

// Writing a file over itself, for when no new file can take its place. Its
// old bytes are first kept as a copy in the user's cache folder
// ("$XDG_CACHE_HOME/tallorix", else "~/.cache/tallorix"), flushed to disk,
// and the copy is removed once the new bytes are; a save that dies leaves
// the copy, which the next reading of the file claims.
namespace plistio {

// Writes `bytes` over the regular file `target`, which keeps its inode, its
// owner, group, mode and access list. At every moment the file holds its old
// text or its new one, followed perhaps by blanks (which a property list
// allows after its end), or the copy holds the old bytes whole: a file
// growing gets its new length as blanks before its text is written; a text
// shorter than the old one is written with blanks in place of the rest, and
// the file cut to it only once that is on disk. With no copy, nothing is
// written. A write that fails puts the old bytes back; when even that fails,
// `result.previousCopy` names where they are kept. False with
// `result.reason` when the save failed; an empty reason when `target` is no
// regular file.
bool SaveInPlace(const SystemCalls& calls, const std::filesystem::path& target,
                 std::string_view bytes, Replacement& result);

// Where a save in place of the file at `path` (symbolic links followed)
// keeps its copy while it runs: "<name>-<digits>.saving", the digits telling
// files of one name apart by their folder. Empty where the user has no cache
// folder.
std::filesystem::path CopyPath(const std::filesystem::path& path);

// A copy of the file at `path` (symbolic links followed) that a save in place
// left when it died, moved to a name of its own so that it is claimed only
// once (".previous" in place of ".saving", then ".previous-2" and so on,
// never over an earlier one); empty when there is none, or while a save of
// the file runs.
std::filesystem::path ClaimLeftCopy(const std::filesystem::path& path);

} // namespace plistio
