#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// What one property-list file may cost to read. A save reads the file again
// while the document it saves is still held, so two trees and the text
// written are in memory at once: with these limits, about 700 MB at the
// most for the costliest shapes of file (a file of short values of one
// unusual type, or of nested nodes, or of one long value of "&"), and far
// less for a file of the preferences' own shape.
namespace plistio {

// A larger file is not read at all.
inline constexpr std::uintmax_t kMaxFileMegabytes = 32;
inline constexpr std::uintmax_t kMaxFileBytes = kMaxFileMegabytes * 1000 * 1000;

// Reading stops at the entry after this many in the whole file, however
// small each one is. A dictionary or an array counts as kNodeWeight entries:
// an empty one costs that many times the memory of a small value.
inline constexpr std::size_t kMaxEntries = 2'000'000;
inline constexpr std::size_t kNodeWeight = 8;

// The reasons a file is not read in full at the limits.
inline std::string TooLargeReason() {
    return "larger than " + std::to_string(kMaxFileMegabytes) + " MB";
}
inline std::string TooManyEntriesReason() {
    return "more than " + std::to_string(kMaxEntries) + " entries";
}

} // namespace plistio
