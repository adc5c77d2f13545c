#pragma once

#include "framework/core/Date.h"
#include "framework/core/FolderItem.h"
#include "plist/plist.h"

#include <array>
#include <memory>
#include <string_view>

// The default options of new calculator windows as they are kept in the
// preferences file. `Holder` is any class with the eight `pref...` Booleans;
// in the program that is the application object.
namespace prefs {

template <class Holder> struct PrefField {
    std::string_view key;
    bool Holder::*field;
    bool defaultValue;
};

// The preferences in the order in which they are read and first written.
// The keys are spelled as files already carry them.
template <class Holder> constexpr std::array<PrefField<Holder>, 8> PrefTable() {
    return {{
        {"CenterSquareDouble", &Holder::prefCenterSquareDouble, true},
        {"EnableBlanks", &Holder::prefEnableBlanks, true},
        {"EnableSpecialSpaces", &Holder::prefEnableSpecialSpaces, false},
        {"EnforceWordLength", &Holder::prefEnforceWordLength, true},
        {"EnforceConstraints", &Holder::prefEnforceContraints, true},
        {"OnlyUniqueScores", &Holder::prefOnlyUniqueScores, true},
        {"ContrainCombined", &Holder::prefConstrainCombined, false},
        {"ContrainIndividual", &Holder::prefConstrainIndividual, true},
    }};
}

inline constexpr std::string_view kPrefsFileName = "org.tallorix.Tallorix.plist";
inline constexpr std::string_view kVersionKey = "Version";
inline constexpr std::string_view kSchemaKey = "Schema";
inline constexpr std::string_view kSchemaValue = "1";
inline constexpr std::string_view kLastUpdatedKey = "LastUpdated";

// The preferences file in the user's preferences folder (which may not
// exist yet).
fw::FolderItem PrefsFile();

// The document of the preferences file: what the file holds, or an empty
// document with the default header lines when there is no usable file.
std::unique_ptr<plist> OpenPrefs();

// Sets "Schema" and "LastUpdated" in the "Version" dictionary. A "Version"
// entry that is no dictionary belongs to someone else and is left as it is.
void StampVersion(plist& document, const fw::Date& now);

// Writes the document, creating the folder it goes into when that is
// missing. A failure is left in the document's error state.
void WritePrefs(plist& document);

// Fills the holder's eight fields from the document; a missing key is added
// to the document with its default so that the next save writes it.
template <class Holder> void LoadPrefs(plist& document, Holder& holder) {
    for (const PrefField<Holder>& pref : PrefTable<Holder>()) {
        holder.*pref.field = document.root->GetBoolean(pref.key, pref.defaultValue);
    }
    // The two tile modes are one radio choice; "Combined words" wins. The
    // document keeps what it read until the next save corrects it.
    if (holder.prefConstrainCombined && holder.prefConstrainIndividual) {
        holder.prefConstrainIndividual = false;
    }
}

// Stores `value` under `key` as a Boolean, replacing an entry of another
// type: the key belongs to the preferences, and the user's choice must stick.
void StoreBoolean(plist& document, std::string_view key, bool value);

// Stamps the version, stores the eight fields and writes the file.
template <class Holder>
void SavePrefs(plist& document, const Holder& holder, const fw::Date& now = fw::Date()) {
    StampVersion(document, now);
    for (const PrefField<Holder>& pref : PrefTable<Holder>()) {
        StoreBoolean(document, pref.key, holder.*pref.field);
    }
    WritePrefs(document);
}

} // namespace prefs
