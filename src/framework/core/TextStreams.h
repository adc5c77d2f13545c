#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

// Reads a text file line by line. Obtained from FolderItem::OpenAsTextFile.
class TextInputStream {
public:
    ~TextInputStream();
    TextInputStream(const TextInputStream&) = delete;
    TextInputStream& operator=(const TextInputStream&) = delete;

    // The next line without its line end (LF, CR LF or CR). A last line
    // without a line end is a line too; after the last line the result is
    // the empty text and EndOfFile() is true.
    std::string ReadLine();
    // The same into `line`, reusing its storage; false when nothing was left.
    bool ReadLine(std::string& line);

    // True when no further line can be read (also after a read error).
    bool EndOfFile();

    void Close();

private:
    friend class FolderItem;
    explicit TextInputStream(int fd);
    bool Fill();

    int fd_ = -1;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::size_t nextReturn_ = 0; // position of the next CR, or end_
    bool returnKnown_ = false;   // nextReturn_ holds for this fill (while >= begin_)
    bool exhausted_ = false;
};

// Writes a text file. Obtained from FolderItem::CreateTextFile, which writes
// the target directly, or FolderItem::CreateTextFileSafely, which writes a
// temporary file beside the target and only replaces the target when Close()
// has flushed everything to disk. Failures are sticky: once a write fails,
// every later call reports failure.
class TextOutputStream {
public:
    ~TextOutputStream();
    TextOutputStream(const TextOutputStream&) = delete;
    TextOutputStream& operator=(const TextOutputStream&) = delete;

    bool Write(std::string_view text);
    // The text and one line end ("\n").
    bool WriteLine(std::string_view text);

    // Flushes and closes. For a safe stream: syncs the temporary file to
    // disk and renames it over the target. False when anything since the
    // stream was created failed; a safe stream then leaves the target as it
    // was. A safe stream that is destroyed without Close() is discarded.
    bool Close();

    bool Failed() const { return failed_; }

private:
    friend class FolderItem;
    TextOutputStream(int fd, std::string temporaryPath, std::string targetPath);
    bool Flush();
    void Discard();

    int fd_ = -1;
    std::string temporaryPath_; // empty for a direct stream
    std::string targetPath_;
    std::string buffer_;
    bool failed_ = false;
};

} // namespace fw
