#pragma once

#include "framework/core/FolderItem.h"
#include "plist/plist.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

// A fixture with a private temporary folder and helpers to read and write
// raw files and documents.
class PlistTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tempFolder_.Valid());
        folder_ = tempFolder_.Path();
    }
    fw::FolderItem File(const std::string& name) const {
        return fw::FolderItem(folder_).Child(name);
    }
    void WriteRaw(const fw::FolderItem& file, const std::string& bytes) const {
        std::ofstream(file.Path(), std::ios::binary) << bytes;
    }
    std::string ReadRaw(const fw::FolderItem& file) const {
        std::ifstream in(file.Path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // The four default header lines as one text, each line ended.
    static std::string Head() {
        std::string text;
        for (const std::string& line : plist::DefaultHeaders()) {
            text += line + "\n";
        }
        return text;
    }
    static std::string Tail() { return "</dict>\n</plist>\n"; }

    // A document read from the given file text.
    std::unique_ptr<plist> Parse(const std::string& text, const std::string& name = "in.plist") {
        const fw::FolderItem file = File(name);
        WriteRaw(file, text);
        return std::make_unique<plist>(file);
    }
    // A document read from the entries of a root dictionary.
    std::unique_ptr<plist> ParseBody(const std::string& body) {
        return Parse(Head() + body + Tail());
    }
    // The text that Save writes.
    std::string Saved(plist& doc) {
        doc.Save();
        return ReadRaw(doc.SavePath());
    }
    // A document with no file yet that saves to "out.plist".
    std::unique_ptr<plist> NewDocument(const std::string& name = "out.plist") {
        return std::make_unique<plist>(File(name));
    }

    TempFolder tempFolder_{"tallorix-plist"};

    std::filesystem::path folder_;
};

// A fixture for files exchanged with Python's plistlib, a reader and writer
// of the same format that shares no code with the store. Where Python is
// missing the test fails: scripts/deps.sh installs it.
class PythonPlistTest : public PlistTest {
protected:
    void SetUp() override {
        PlistTest::SetUp();
        ASSERT_EQ(std::system("python3 -c 'import plistlib' >/dev/null 2>&1"), 0)
            << "python3 with plistlib is missing";
    }
    // Runs a Python script with the folder as its working folder; true when
    // it exits with 0.
    bool Python(const std::string& script) {
        const fw::FolderItem file = File("script.py");
        WriteRaw(file, "import datetime, plistlib, sys\n" + script);
        const std::string command =
            "cd '" + folder_.string() + "' && python3 script.py > python.log 2>&1";
        const bool ok = std::system(command.c_str()) == 0;
        if (!ok) {
            ADD_FAILURE() << ReadRaw(File("python.log"));
        }
        return ok;
    }
};

// True when libxml2's checker, a parser that shares no code with the
// store's, finds the file well-formed; false, with a failure, where the
// checker is missing (scripts/deps.sh installs it).
inline bool XmlLintAccepts(const fw::FolderItem& file) {
    if (std::system("command -v xmllint >/dev/null 2>&1") != 0) {
        ADD_FAILURE() << "xmllint is missing";
        return false;
    }
    return std::system(("xmllint --noout '" + file.AbsolutePath() + "' 2>/dev/null").c_str()) == 0;
}

// True when Python's plistlib reads the file; false, with a failure, where
// Python is missing.
inline bool PlistlibAccepts(const fw::FolderItem& file) {
    if (std::system("python3 -c 'import plistlib' >/dev/null 2>&1") != 0) {
        ADD_FAILURE() << "python3 with plistlib is missing";
        return false;
    }
    const std::string command = "python3 -c 'import plistlib, sys; "
                                "plistlib.load(open(sys.argv[1], \"rb\"))' '" +
                                file.AbsolutePath() + "' 2>/dev/null";
    return std::system(command.c_str()) == 0;
}
