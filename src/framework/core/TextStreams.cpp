#include "framework/core/TextStreams.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace fw {
namespace {

constexpr std::size_t kBufferSize = 64 * 1024;

void SyncFolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        // Makes the rename durable; a failure here leaves a consistent file.
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

TextInputStream::TextInputStream(int fd) : fd_(fd), buffer_(kBufferSize) {}

TextInputStream::~TextInputStream() {
    Close();
}

bool TextInputStream::Fill() {
    if (begin_ < end_) {
        return true;
    }
    begin_ = end_ = 0;
    returnKnown_ = false;
    if (exhausted_ || fd_ < 0) {
        return false;
    }
    for (;;) {
        const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
        if (n > 0) {
            end_ = static_cast<std::size_t>(n);
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        exhausted_ = true;
        return false;
    }
}

bool TextInputStream::ReadLine(std::string& line) {
    line.clear();
    bool got = false;
    for (;;) {
        if (!Fill()) {
            return got;
        }
        got = true;
        const char* data = buffer_.data();
        // Both ends are found with memchr; the position of the next CR is
        // remembered, so text without any CR is scanned for it once per fill.
        if (!returnKnown_ || nextReturn_ < begin_) {
            returnKnown_ = true;
            const void* cr = std::memchr(data + begin_, '\r', end_ - begin_);
            nextReturn_ = cr != nullptr
                              ? static_cast<std::size_t>(static_cast<const char*>(cr) - data)
                              : end_;
        }
        const void* lf = std::memchr(data + begin_, '\n', nextReturn_ - begin_);
        const std::size_t p = lf != nullptr
                                  ? static_cast<std::size_t>(static_cast<const char*>(lf) - data)
                                  : nextReturn_;
        line.append(data + begin_, p - begin_);
        if (p == end_) {
            begin_ = end_;
            continue;
        }
        const char lineEnd = data[p];
        begin_ = p + 1;
        if (lineEnd == '\r' && Fill() && buffer_[begin_] == '\n') {
            ++begin_;
        }
        return true;
    }
}

std::string TextInputStream::ReadLine() {
    std::string line;
    ReadLine(line);
    return line;
}

bool TextInputStream::EndOfFile() {
    return !Fill();
}

void TextInputStream::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    begin_ = end_ = 0;
    exhausted_ = true;
}

TextOutputStream::TextOutputStream(int fd, std::string temporaryPath, std::string targetPath)
    : fd_(fd), temporaryPath_(std::move(temporaryPath)), targetPath_(std::move(targetPath)) {
    buffer_.reserve(kBufferSize);
}

TextOutputStream::~TextOutputStream() {
    if (fd_ < 0) {
        return;
    }
    if (temporaryPath_.empty()) {
        Close();
    } else {
        Discard();
    }
}

bool TextOutputStream::Write(std::string_view text) {
    if (failed_ || fd_ < 0) {
        failed_ = true;
        return false;
    }
    buffer_.append(text);
    if (buffer_.size() >= kBufferSize) {
        return Flush();
    }
    return true;
}

bool TextOutputStream::WriteLine(std::string_view text) {
    if (!Write(text)) {
        return false;
    }
    return Write("\n");
}

bool TextOutputStream::Flush() {
    std::size_t done = 0;
    while (!failed_ && done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else {
            failed_ = true;
        }
    }
    buffer_.clear();
    return !failed_;
}

bool TextOutputStream::Close() {
    if (fd_ < 0) {
        return !failed_;
    }
    Flush();
    const bool safe = !temporaryPath_.empty();
    if (safe && !failed_ && ::fsync(fd_) != 0) {
        failed_ = true;
    }
    if (::close(fd_) != 0) {
        failed_ = true;
    }
    fd_ = -1;
    if (!safe) {
        return !failed_;
    }
    if (!failed_ && ::rename(temporaryPath_.c_str(), targetPath_.c_str()) != 0) {
        failed_ = true;
    }
    if (failed_) {
        ::unlink(temporaryPath_.c_str());
        return false;
    }
    SyncFolderOf(targetPath_);
    return true;
}

void TextOutputStream::Discard() {
    ::close(fd_);
    fd_ = -1;
    ::unlink(temporaryPath_.c_str());
    failed_ = true;
}

} // namespace fw
