#include "prefs/PrefSchema.h"

#include "plist/SaveLock.h"

#include <array>

namespace prefs {

fw::FolderItem PrefsFile() {
    return fw::PreferencesFolder().Child(kPrefsFileName);
}

std::unique_ptr<plist> OpenPrefs() {
    return std::make_unique<plist>(PrefsFile());
}

void StampVersion(plist& document, const fw::Date& now) {
    plistDict* version = document.root->child(kVersionKey);
    if (version == nullptr || version->IsArray()) {
        return;
    }
    version->SetString(kSchemaKey, kSchemaValue);
    version->SetDate(kLastUpdatedKey, now);
}

void StoreBoolean(plist& document, std::string_view key, bool value) {
    plistDict& root = *document.root;
    const std::string type = root.GetType(key);
    if (type == "dict" || type == "array") {
        root.Remove(key); // the node goes with it; the Boolean comes last
    } else if (!type.empty() && type != "boolean") {
        root.types.Set(key, "boolean"); // in its place in the file
    }
    root.SetBoolean(key, value);
}

OptionValues LoadPrefs(plist& document, OptionValues& values) {
    for (const Option& option : kOptions) {
        values.*option.field = document.root->GetBoolean(option.key, option.defaultValue);
    }
    const OptionValues stored = values;
    // The two tile modes are one radio choice; "Combined words" wins. The
    // document keeps what it read until the next save corrects it.
    if (values.prefConstrainCombined && values.prefConstrainIndividual) {
        values.prefConstrainIndividual = false;
    }
    return stored;
}

namespace {

// Whether the option must be written over what the file holds now.
bool MustWrite(const plist& file, const Option& option, const OptionValues& values,
               const OptionValues& stored) {
    // Options shown by one control array are one choice.
    for (const Option& other : kOptions) {
        if (other.control == option.control && values.*other.field != stored.*other.field) {
            return true;
        }
    }
    return file.root->GetType(option.key) != "boolean";
}

// Leaves the document with a failed save's error; false.
bool Failed(plist& document, const std::string& reason) {
    document.error = true;
    document.errorMessage = "Could not open file for saving";
    document.saveFailureReason = reason;
    return false;
}

} // namespace

bool SavePrefs(std::unique_ptr<plist>& document, OptionValues& values, OptionValues& stored,
               const fw::Date& now) {
    // Another run's save between this one's re-read and its rename would be
    // lost: the lock keeps it out until this one is done.
    document->SavePath().Parent().CreateAsFolder();
    const plistio::SaveLock lock(document->SavePath().Path());
    if (!lock.Held()) {
        return Failed(*document, lock.Reason());
    }
    auto file = std::make_unique<plist>(document->SavePath());
    std::array<bool, kOptionCount> write{};
    for (std::size_t row = 0; row < kOptionCount; ++row) {
        write[row] = MustWrite(*file, kOptions[row], values, stored);
    }
    // Keys new to the file come before a "Version" made now, as when they
    // are added at load.
    for (const Option& option : kOptions) {
        if (file->root->GetType(option.key).empty()) {
            file->root->SetBoolean(option.key, values.*option.field);
        }
    }
    StampVersion(*file, now);
    for (std::size_t row = 0; row < kOptionCount; ++row) {
        if (write[row]) {
            StoreBoolean(*file, kOptions[row].key, values.*kOptions[row].field);
        }
    }
    // Reading the file may have left an error of its own in the document:
    // only the save's own outcome counts.
    file->Save();
    if (!file->saveFailureReason.empty()) {
        if (!file->previousContentsPath.empty()) {
            document->previousContentsPath = file->previousContentsPath;
        }
        return Failed(*document, file->saveFailureReason);
    }
    document = std::move(file);
    stored = LoadPrefs(*document, values);
    return true;
}

} // namespace prefs
