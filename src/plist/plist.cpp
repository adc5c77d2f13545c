#include "plist/plist.h"

#include "framework/core/Clipboard.h"
#include "framework/core/Yield.h"
#include "plist/Writer.h"

const std::vector<std::string>& plist::DefaultHeaders() {
    static const std::vector<std::string> lines = {
        R"(<?xml version="1.0" encoding="UTF-8"?>)",
        R"(<!DOCTYPE plist PUBLIC "-//Apple Computer//DTD PLIST 1.0//EN" )"
        R"("http://www.apple.com/DTDs/PropertyList-1.0.dtd">)",
        R"(<plist version="1.0">)",
        "<dict>",
    };
    return lines;
}

plist::plist(const fw::FolderItem& file) {
    Load(file, file);
}

plist::plist(const fw::FolderItem& saveTo, const fw::FolderItem& readFrom) {
    Load(saveTo, readFrom);
}

void plist::Load(const fw::FolderItem& saveTo, const fw::FolderItem& readFrom) {
    root = std::make_unique<plistDict>();
    savePath = saveTo;
    headers.clear();
    const fw::FolderItem& source = saveTo.Exists() ? saveTo : readFrom;
    std::unique_ptr<fw::TextInputStream> stream;
    if (source.Exists()) {
        stream = source.OpenAsTextFile();
        if (!stream) {
            error = true;
            errorMessage = source.AbsolutePath() + " could not be opened";
        }
    } else {
        error = true;
        errorMessage = source.AbsolutePath() + " does not exist";
    }
    if (!stream) {
        headers = DefaultHeaders();
        root->Load(nullptr, "root", false, nullptr, this, false);
        return;
    }

    std::string line;
    bool found = false;
    while (stream->ReadLine(line)) {
        fw::BackgroundYield();
        headers.push_back(line);
        if (line == "<dict>") {
            found = true;
            break;
        }
    }
    // A binary property list is no text file, whatever lines it may hold.
    if (found && headers.front().starts_with("bplist")) {
        found = false;
    }
    if (found) {
        root->Load(stream.get(), "root", false, nullptr, this, true);
    } else {
        error = true;
        errorMessage = "Not a plist file";
        headers = DefaultHeaders();
    }
    stream->Close();
}

void plist::Save() {
    auto stream = savePath.CreateTextFileSafely();
    if (!stream) {
        error = true;
        errorMessage = "Could not open file for saving";
        return;
    }
    plistio::Writer writer(stream.get(), '\n');
    for (const std::string& line : headers) {
        fw::BackgroundYield();
        writer.Line(line);
    }
    writer.Node(*root, 1);
    writer.Line("</dict>");
    writer.Line("</plist>");
    const bool written = writer.Finish();
    if (!stream->Close() || !written) {
        error = true;
        errorMessage = "Could not open file for saving";
    }
}

void plist::Dump() const {
    plistio::Writer writer(nullptr, '\r');
    for (const std::string& line : headers) {
        writer.Line(line);
    }
    writer.Node(*root, 1);
    writer.Line("</dict>");
    writer.Line("</plist>");
    fw::SetClipboardText(writer.Text());
}
