#pragma once

#include "framework/core/TextStreams.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace fw {

// A file or folder by path; the file need not exist.
class FolderItem {
public:
    FolderItem() = default;
    explicit FolderItem(std::filesystem::path path) : path_(std::move(path)) {}

    bool Exists() const;
    bool IsFolder() const;

    // The item named `name` inside this folder; none for an item without a
    // path.
    FolderItem Child(std::string_view name) const;
    FolderItem Parent() const;

    std::string Name() const;
    std::string AbsolutePath() const;
    const std::filesystem::path& Path() const { return path_; }

    // Creates this folder and any missing folders above it; true when the
    // folder exists afterwards.
    bool CreateAsFolder() const;

    // No stream when the file can't be opened.
    std::unique_ptr<TextInputStream> OpenAsTextFile() const;
    // Creates or truncates the file; no stream when it can't be created
    // (a missing folder included).
    std::unique_ptr<TextOutputStream> CreateTextFile() const;
    // A stream whose Close() replaces the file in one step, or leaves it
    // untouched when anything fails (see TextOutputStream). A symbolic link
    // is followed, so the file it points to is replaced, not the link. No
    // stream when the temporary file can't be created.
    std::unique_ptr<TextOutputStream> CreateTextFileSafely() const;

private:
    std::filesystem::path path_;
};

// The user's preferences folder: $XDG_CONFIG_HOME, else $HOME/.config; on
// macOS $HOME/Library/Preferences, HOME as HomeFolder tells it. It may not
// exist yet; without a home folder there is none (an item with an empty
// path).
FolderItem PreferencesFolder();
// The same for the given HOME, XDG_CONFIG_HOME and the account's home
// folder, any of which may be null.
FolderItem PreferencesFolderFor(const char* home, const char* configHome, const char* accountHome);

// The user's home folder: HOME, else the home folder of the user's account;
// only an absolute path counts (a relative one would name a folder below the
// current one). Empty with neither.
std::filesystem::path HomeFolder();

// Tests point the preferences folder at a folder of their own, so that they
// never read or write the user's; an empty path goes back to the user's
// folder. Returns the folder set before (empty for the user's).
std::filesystem::path SetPreferencesFolderForTesting(std::filesystem::path folder);

} // namespace fw
