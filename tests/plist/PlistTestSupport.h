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
