#pragma once

#include "framework/core/FolderItem.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>

// True when `folder` lies inside the system's temporary folder.
inline bool InTemporaryFolder(const std::filesystem::path& folder) {
    const std::filesystem::path temp =
        std::filesystem::weakly_canonical(std::filesystem::temp_directory_path());
    const std::filesystem::path inside = std::filesystem::weakly_canonical(folder);
    const auto [end, rest] = std::mismatch(temp.begin(), temp.end(), inside.begin(), inside.end());
    (void)rest;
    return end == temp.end();
}

// Points the preferences folder at a folder of a test's, which must be a
// temporary one, for as long as it lives; then back at the folder it found.
class ScopedPreferencesFolder {
public:
    explicit ScopedPreferencesFolder(const std::filesystem::path& folder)
        : previous_(fw::SetPreferencesFolderForTesting(folder)) {
        Check(folder);
    }
    ~ScopedPreferencesFolder() { fw::SetPreferencesFolderForTesting(previous_); }
    ScopedPreferencesFolder(const ScopedPreferencesFolder&) = delete;
    ScopedPreferencesFolder& operator=(const ScopedPreferencesFolder&) = delete;

    // Moves to another folder, still going back to the first one's
    // predecessor at the end.
    void Use(const std::filesystem::path& folder) {
        fw::SetPreferencesFolderForTesting(folder);
        Check(folder);
    }

private:
    static void Check(const std::filesystem::path& folder) {
        EXPECT_TRUE(InTemporaryFolder(folder)) << folder << " is not a temporary folder";
    }

    std::filesystem::path previous_;
};
