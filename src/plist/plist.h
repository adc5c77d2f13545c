#pragma once

#include "framework/core/FolderItem.h"
#include "plist/plistDict.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A property-list document: the header lines of its file, its root
// dictionary, the file it saves to, and the error state that its nodes
// report to. Nodes point back to their document, so a document stays where
// it was made (no copies, no moves).
class plist {
public:
    // An empty document with the default header lines and no file: for
    // reading and writing bytes in memory (Save fails).
    plist();
    // Reads `file` (when it exists) and saves to it.
    explicit plist(const fw::FolderItem& file);
    // Reads `saveTo` when it exists, else `readFrom`, and saves to `saveTo`.
    plist(const fw::FolderItem& saveTo, const fw::FolderItem& readFrom);
    plist(const plist&) = delete;
    plist& operator=(const plist&) = delete;

    std::unique_ptr<plistDict> root;
    bool error = false;
    std::string errorMessage;
    // Why the last Save failed, in the system's plain words ("No space left
    // on device"); empty after a Save that succeeded.
    std::string saveFailureReason;
    // Where the last Save kept the file that it replaced because that file
    // had not been read in full ("/.../<file name>.unreadable", or
    // ".unreadable-2" and so on beside earlier copies); empty when it kept
    // none, or failed.
    std::string keptAsidePath;
    // Where the previous contents of the file are kept when it may be
    // damaged: by the last Save, which wrote it in place and failed, or by a
    // save that died while writing it in place, which Load found; empty
    // otherwise.
    std::string previousContentsPath;
    // Why the file last read was not read in full, with where the reading
    // stopped ("line 6, column 2: not well-formed (invalid token)"); empty
    // when it was.
    std::string readFailureReason;

    void Load(const fw::FolderItem& saveTo, const fw::FolderItem& readFrom);

    // Reads the bytes of a property-list file in place of the document's
    // content (the file to save to stays), as Load does with a file.
    void LoadFromBytes(std::string_view bytes);

    // Writes the whole document. The file is replaced in one step only after
    // everything was written and flushed to disk; on any failure the old
    // file stays as it was (or, written in place, may be damaged: then
    // previousContentsPath says where its old bytes are) and the document
    // holds the error "Could not open file for saving". Save never clears
    // the error state. A file that was there but could not be read in full
    // is first kept beside the new one as "<file name>.unreadable"
    // (keptAsidePath).
    void Save();
    // The text that Save writes.
    std::string SaveToBytes() const;

    // False when the file read was damaged, not a property list, or could
    // not be read, so that the next Save keeps it aside.
    bool FullyRead() const { return fullyRead_; }

    // Puts the text that Save would write on the clipboard, each line ending
    // in a carriage return. A debugging aid.
    void Dump() const;

    const std::vector<std::string>& Headers() const { return headers; }
    const fw::FolderItem& SavePath() const { return savePath; }

    // The four header lines of a new file.
    static const std::vector<std::string>& DefaultHeaders();

protected:
    fw::FolderItem savePath;
    std::vector<std::string> headers;

private:
    // Reads the bytes into the root; false when they are no property list.
    bool ReadBytes(std::string_view bytes);
    void StartEmpty(bool withDocument);

    bool fullyRead_ = true;
    // The size of the text last read or written, so that writing can take
    // its buffer in one piece.
    std::size_t sizeHint_ = 0;
    bool keepOldFile_ = false; // what is at savePath must be kept aside first
};
