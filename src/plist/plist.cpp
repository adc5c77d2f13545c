#include "plist/plist.h"

#include "framework/core/Clipboard.h"
#include "framework/core/Yield.h"
#include "plist/FileAccess.h"
#include "plist/InPlaceSave.h"
#include "plist/Limits.h"
#include "plist/Reader.h"
#include "plist/SaveLock.h"
#include "plist/Writer.h"

#include <algorithm>

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

plist::plist() {
    StartEmpty(true);
}

plist::plist(const fw::FolderItem& file) {
    Load(file, file);
}

plist::plist(const fw::FolderItem& saveTo, const fw::FolderItem& readFrom) {
    Load(saveTo, readFrom);
}

void plist::Load(const fw::FolderItem& saveTo, const fw::FolderItem& readFrom) {
    savePath = saveTo;
    fullyRead_ = true;
    readFailureReason.clear();
    keepOldFile_ = false;
    previousContentsPath =
        saveTo.Path().empty() ? "" : plistio::ClaimLeftCopy(saveTo.Path()).string();
    const bool fromSavePath = saveTo.Exists();
    const fw::FolderItem& source = fromSavePath ? saveTo : readFrom;
    std::string bytes;
    const plistio::ReadStatus status = source.Path().empty()
                                           ? plistio::ReadStatus::Missing
                                           : plistio::ReadRegularFile(source.Path(), bytes);
    if (status != plistio::ReadStatus::Read) {
        error = true;
        const bool tooLarge = status == plistio::ReadStatus::TooLarge;
        errorMessage =
            source.AbsolutePath() + (status == plistio::ReadStatus::Missing ? " does not exist"
                                     : tooLarge ? " is " + plistio::TooLargeReason()
                                                : " could not be opened");
        StartEmpty(true);
        fullyRead_ = status == plistio::ReadStatus::Missing;
        if (!fullyRead_) {
            readFailureReason =
                tooLarge ? plistio::TooLargeReason() : "the file could not be opened";
        }
    } else if (!ReadBytes(bytes)) {
        error = true;
        errorMessage = "Not a plist file";
    }
    // An empty file holds nothing that could be lost.
    keepOldFile_ =
        fromSavePath && !fullyRead_ && (status != plistio::ReadStatus::Read || !bytes.empty());
}

void plist::LoadFromBytes(std::string_view bytes) {
    fullyRead_ = true;
    readFailureReason.clear();
    keepOldFile_ = false;
    if (!ReadBytes(bytes)) {
        error = true;
        errorMessage = "Not a plist file";
    }
}

bool plist::ReadBytes(std::string_view bytes) {
    sizeHint_ = bytes.size();
    if (!root) {
        root = std::make_unique<plistDict>();
    }
    root->Load(nullptr, "root", false, nullptr, this, false); // empties it
    root->currentIndex = 0;
    root->eof = false;
    plistio::ReadOutcome outcome = plistio::ReadDocument(bytes, *root);
    if (!outcome.isPlist) {
        StartEmpty(false);
        fullyRead_ = false;
        readFailureReason = std::move(outcome.reason);
        return false;
    }
    headers = outcome.headers.empty() ? DefaultHeaders() : std::move(outcome.headers);
    fullyRead_ = outcome.complete;
    if (!fullyRead_) {
        readFailureReason = std::move(outcome.reason);
    }
    return true;
}

void plist::StartEmpty(bool withDocument) {
    // A file that is no property list leaves a root without name or
    // document, so that the errors of later operations on it stay there.
    root = std::make_unique<plistDict>();
    if (withDocument) {
        root->Load(nullptr, "root", false, nullptr, this, false);
    }
    headers = DefaultHeaders();
}

void plist::Save() {
    saveFailureReason.clear();
    keptAsidePath.clear();
    const std::string text = SaveToBytes();
    plistio::Replacement replaced;
    if (!savePath.Path().empty()) {
        const plistio::SaveLock lock(savePath.Path());
        if (lock.Held()) {
            replaced = plistio::ReplaceFile(savePath.Path(), text, keepOldFile_);
        } else {
            replaced.reason = lock.Reason();
        }
    }
    if (!replaced.done) {
        error = true;
        errorMessage = "Could not open file for saving";
        saveFailureReason = replaced.reason.empty() ? "The file has no name" : replaced.reason;
        if (!replaced.previousCopy.empty()) {
            previousContentsPath = replaced.previousCopy.string();
        }
        return;
    }
    keptAsidePath = replaced.keptAside.string();
    sizeHint_ = text.size();
    keepOldFile_ = false;
}

std::string plist::SaveToBytes() const {
    plistio::Writer writer(nullptr, '\n');
    writer.Reserve(std::max<std::size_t>(4096, sizeHint_ + sizeHint_ / 8));
    for (const std::string& line : headers) {
        fw::BackgroundYield();
        writer.Line(line);
    }
    writer.Node(*root, 1);
    writer.Line("</dict>");
    writer.Line("</plist>");
    return writer.TakeText();
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
