#include "prefs/PrefSchema.h"

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

void WritePrefs(plist& document) {
    // On a fresh account the preferences folder may not exist yet; without
    // it the file could never be created. A folder that can't be made shows
    // up as the save's own failure.
    document.SavePath().Parent().CreateAsFolder();
    document.Save();
}

void LoadPrefs(plist& document, OptionValues& values) {
    for (const Option& option : kOptions) {
        values.*option.field = document.root->GetBoolean(option.key, option.defaultValue);
    }
    // The two tile modes are one radio choice; "Combined words" wins. The
    // document keeps what it read until the next save corrects it.
    if (values.prefConstrainCombined && values.prefConstrainIndividual) {
        values.prefConstrainIndividual = false;
    }
}

void SavePrefs(plist& document, const OptionValues& values, const fw::Date& now) {
    StampVersion(document, now);
    for (const Option& option : kOptions) {
        StoreBoolean(document, option.key, values.*option.field);
    }
    WritePrefs(document);
}

} // namespace prefs
