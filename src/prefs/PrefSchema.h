#pragma once

#include "framework/core/Date.h"
#include "framework/core/FolderItem.h"
#include "plist/plist.h"
#include "prefs/OptionTable.h"

#include <memory>
#include <string_view>

// The default options of new calculator windows as they are kept in the
// preferences file (keys, defaults and order: OptionTable).
namespace prefs {

inline constexpr std::string_view kPrefsFileName = "org.tallorix.Tallorix.plist";
inline constexpr std::string_view kVersionKey = "Version";
inline constexpr std::string_view kSchemaKey = "Schema";
inline constexpr std::string_view kSchemaValue = "1";
inline constexpr std::string_view kLastUpdatedKey = "LastUpdated";

// The preferences file in the user's preferences folder (which may not
// exist yet); none (an empty path) when the user has no home folder.
fw::FolderItem PrefsFile();

// The document of the preferences file: what the file holds, or an empty
// document with the default header lines when there is no usable file.
std::unique_ptr<plist> OpenPrefs();

// Sets "Schema" and "LastUpdated" in the "Version" dictionary. A "Version"
// entry that is no dictionary belongs to someone else and is left as it is.
void StampVersion(plist& document, const fw::Date& now);

// Fills the eight values from the document; a missing key is added to the
// document with its default so that the next save writes it. Returns what
// the document holds for each, before the tile-mode rule: what a save
// compares the values with to tell the changes of this run.
OptionValues LoadPrefs(plist& document, OptionValues& values);

// Stores `value` under `key` as a Boolean, replacing an entry of another
// type: the key belongs to the preferences, and the user's choice must stick.
void StoreBoolean(plist& document, std::string_view key, bool value);

// Saves the values without undoing what another run wrote to the file since
// this one read it. The file is read again, and over what it holds now are
// written the options whose value differs from `stored` (this run changed
// them since it last read or wrote them) and those that the file lacks or
// holds with another type; the two tile modes, one choice, go together.
// Every other entry keeps what the file holds. The version is stamped, and
// a file that can't be read in full is kept aside first (plist::Save).
// No other save of the file, in this run or another, comes between the
// re-read and the write; the preferences folder is made first when missing.
// A document without a file (there is no home folder) fails, as its Save
// does, and writes nothing anywhere.
// On success `document` becomes the document written, `values` and
// `stored` what it holds (as LoadPrefs gives them), and the result is true.
// On failure only the error state of `document` changes.
bool SavePrefs(std::unique_ptr<plist>& document, OptionValues& values, OptionValues& stored,
               const fw::Date& now = fw::Date());

} // namespace prefs
