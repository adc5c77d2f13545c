#pragma once

#include "plist/PlistTestSupport.h"
#include "support/PreferencesFolder.h"

#include <filesystem>
#include <fstream>
#include <string>

// Points the user's preferences folder at a private temporary folder, so
// that no test ever reads or writes the real configuration.
class PrefsFolderTest : public PlistTest {
protected:
    void SetUp() override {
        PlistTest::SetUp();
        temp_ = folder_;
        UsePreferencesFolder(temp_ / "config");
        std::filesystem::create_directories(temp_ / "config");
    }

    void UsePreferencesFolder(const std::filesystem::path& folder) {
        prefsFolder_ = folder;
        preferencesFolder_.Use(folder);
    }
    std::filesystem::path PrefsPath() const { return prefsFolder_ / "org.tallorix.Tallorix.plist"; }
    void WritePrefsFile(const std::string& body) const {
        std::ofstream(PrefsPath(), std::ios::binary) << Head() << body << Tail();
    }
    std::string ReadPrefsFile() const { return ReadRaw(fw::FolderItem(PrefsPath())); }
    // The file text with the value of every "LastUpdated" date blanked out.
    std::string ReadPrefsFileUndated() const {
        std::string text = ReadPrefsFile();
        const std::string open = "<key>LastUpdated</key>\n";
        for (std::size_t at = text.find(open); at != std::string::npos;
             at = text.find(open, at + 1)) {
            const std::size_t from = text.find("<date>", at);
            const std::size_t to = text.find("</date>", at);
            if (from != std::string::npos && to != std::string::npos) {
                text.replace(from + 6, to - from - 6, "*");
            }
        }
        return text;
    }

    static std::string Bool(const std::string& key, bool value) {
        return "\t<key>" + key + "</key>\n\t<" + (value ? "true" : "false") + "/>\n";
    }

    ScopedPreferencesFolder preferencesFolder_{tempFolder_.Path() / "config"};

    std::filesystem::path temp_;
    std::filesystem::path prefsFolder_;
};
