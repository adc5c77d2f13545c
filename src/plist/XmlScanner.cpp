#include "plist/XmlScanner.h"

#include <array>

namespace plistio {
namespace {

constexpr std::size_t npos = std::string_view::npos;

enum : unsigned char {
    kBlank = 1,     // TAB, LF, CR, space
    kNameStart = 2, // letters, '_', ':' and every byte of a multi-byte character
    kName = 4,      // kNameStart, digits, '-', '.'
    kTextStop = 8,  // what ends or changes a run of text: '<', CR, NUL
};

constexpr std::array<unsigned char, 256> kClasses = [] {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        unsigned char bits = 0;
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            bits |= kBlank;
        }
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80) {
            bits |= kNameStart | kName;
        }
        if ((c >= '0' && c <= '9') || c == '-' || c == '.') {
            bits |= kName;
        }
        if (c == '<' || c == '\r' || c == 0) {
            bits |= kTextStop;
        }
        table[static_cast<std::size_t>(c)] = bits;
    }
    return table;
}();

bool Is(char c, unsigned char bits) {
    return (kClasses[static_cast<unsigned char>(c)] & bits) != 0;
}

} // namespace

XmlScanner::XmlScanner(std::string_view bytes) : bytes_(bytes) {}

XmlScanner::Token XmlScanner::Fail(std::size_t at) {
    done_ = true;
    last_ = Token::Error;
    offset_ = at;
    return Token::Error;
}

XmlScanner::Token XmlScanner::Next() {
    if (done_) {
        return last_;
    }
    if (failAt_ != npos) {
        return Fail(failAt_);
    }
    const std::size_t size = bytes_.size();
    for (;;) {
        if (pos_ >= size) {
            if (!open_.empty() || !sawRoot_) {
                return Fail(size);
            }
            done_ = true;
            last_ = Token::Finished;
            offset_ = size;
            return Token::Finished;
        }
        if (bytes_[pos_] != '<') {
            return ScanText();
        }
        const std::size_t at = pos_;
        const char c = At(at + 1);
        if (Is(c, kNameStart)) {
            return ScanStartTag(at);
        }
        if (c == '/') {
            return ScanEndTag(at);
        }
        std::size_t next = npos;
        if (c == '?') {
            next = SkipProcessingInstruction(at);
        } else if (c == '!') {
            if (bytes_.compare(at, 4, "<!--") == 0) {
                next = SkipComment(at);
            } else if (bytes_.compare(at, 9, "<![CDATA[") == 0) {
                return ScanCData(at);
            } else if (bytes_.compare(at, 9, "<!DOCTYPE") == 0 && open_.empty()) {
                next = SkipDoctype(at);
            }
        }
        if (next == npos) {
            return Fail(at);
        }
        pos_ = next;
    }
}

// Text runs to the next '<'; a text cut short by the end of the input or by
// a NUL is still reported, and the damage comes with the next call.
XmlScanner::Token XmlScanner::ScanText() {
    const std::size_t begin = pos_;
    const std::size_t size = bytes_.size();
    std::size_t firstCr = npos;
    std::size_t i = begin;
    while (i < size) {
        const char c = bytes_[i];
        if (!Is(c, kTextStop)) {
            ++i;
        } else if (c == '\r') {
            if (firstCr == npos) {
                firstCr = i;
            }
            ++i;
        } else {
            break;
        }
    }
    if (i == begin) {
        return Fail(begin); // a NUL
    }
    offset_ = begin;
    pos_ = i;
    Normalize(begin, i, firstCr);
    return Token::Text;
}

void XmlScanner::Normalize(std::size_t begin, std::size_t end, std::size_t firstCr) {
    if (firstCr == npos) {
        text_ = bytes_.substr(begin, end - begin);
        return;
    }
    scratch_.assign(bytes_.substr(begin, firstCr - begin));
    for (std::size_t i = firstCr; i < end; ++i) {
        const char c = bytes_[i];
        if (c != '\r') {
            scratch_ += c;
            continue;
        }
        scratch_ += '\n';
        if (i + 1 < end && bytes_[i + 1] == '\n') {
            ++i;
        }
    }
    text_ = scratch_;
}

XmlScanner::Token XmlScanner::ScanStartTag(std::size_t at) {
    const std::size_t size = bytes_.size();
    std::size_t i = at + 2; // after the name's first character
    while (i < size && Is(bytes_[i], kName)) {
        ++i;
    }
    const std::size_t nameAt = at + 1;
    const std::size_t nameSize = i - nameAt;
    bool selfClosing = false;
    const char c = At(i);
    if (c == '>') {
        ++i;
    } else if (c == '/' && At(i + 1) == '>') {
        selfClosing = true;
        i += 2;
    } else if (Is(c, kBlank)) {
        i = SkipAttributes(i, selfClosing);
        if (i == npos) {
            return Fail(at);
        }
    } else {
        return Fail(at);
    }
    if (open_.empty()) {
        sawRoot_ = true;
    }
    if (!selfClosing) {
        open_.push_back(OpenElement{nameAt, nameSize});
    }
    nameAt_ = nameAt;
    nameSize_ = nameSize;
    selfClosing_ = selfClosing;
    offset_ = at;
    pos_ = i;
    return Token::Start;
}

// Checks the attributes from `i` to the end of the tag: name = "value" or
// 'value', blanks around '=', blanks between attributes (none needed after a
// value, but a name may not follow it directly). Returns where the tag ends.
std::size_t XmlScanner::SkipAttributes(std::size_t i, bool& selfClosing) const {
    for (;;) {
        while (Is(At(i), kBlank)) {
            ++i;
        }
        const char c = At(i);
        if (c == '>') {
            return i + 1;
        }
        if (c == '/') {
            if (At(i + 1) != '>') {
                return npos;
            }
            selfClosing = true;
            return i + 2;
        }
        if (!Is(c, kNameStart)) {
            return npos;
        }
        ++i;
        while (Is(At(i), kName)) {
            ++i;
        }
        while (Is(At(i), kBlank)) {
            ++i;
        }
        if (At(i) != '=') {
            return npos;
        }
        ++i;
        while (Is(At(i), kBlank)) {
            ++i;
        }
        const char quote = At(i);
        if (quote != '"' && quote != '\'') {
            return npos;
        }
        const std::size_t close = Find(i + 1, std::string_view(&quote, 1));
        if (close == npos) {
            return npos;
        }
        i = close + 1;
        if (Is(At(i), kNameStart)) {
            return npos;
        }
    }
}

XmlScanner::Token XmlScanner::ScanEndTag(std::size_t at) {
    if (open_.empty()) {
        return Fail(at);
    }
    const OpenElement element = open_.back();
    const std::size_t size = bytes_.size();
    const std::size_t nameAt = at + 2;
    std::size_t i = nameAt;
    while (i < size && Is(bytes_[i], kName)) {
        ++i;
    }
    if (i - nameAt != element.nameSize ||
        bytes_.compare(nameAt, element.nameSize, bytes_.substr(element.nameAt, element.nameSize)) !=
            0) {
        return Fail(at);
    }
    while (Is(At(i), kBlank)) {
        ++i;
    }
    if (At(i) != '>') {
        return Fail(at);
    }
    open_.pop_back();
    nameAt_ = nameAt;
    nameSize_ = element.nameSize;
    offset_ = at;
    pos_ = i + 1;
    return Token::End;
}

// A CDATA section cut short is reported with what it holds so far, like a
// text cut short.
XmlScanner::Token XmlScanner::ScanCData(std::size_t at) {
    const std::size_t size = bytes_.size();
    const std::size_t begin = at + 9;
    std::size_t firstCr = npos;
    std::size_t i = begin;
    for (; i < size; ++i) {
        const char c = bytes_[i];
        if (c == ']' && bytes_.compare(i, 3, "]]>") == 0) {
            break;
        }
        if (c == '\r' && firstCr == npos) {
            firstCr = i;
        }
        if (c == '\0') {
            break;
        }
    }
    Normalize(begin, i, firstCr);
    offset_ = at;
    if (i < size && bytes_[i] == ']') {
        pos_ = i + 3;
    } else {
        failAt_ = i;
        pos_ = size;
    }
    return Token::CData;
}

// "<?target ...?>": the target is a name, whatever follows it up to "?>"
// is skipped.
std::size_t XmlScanner::SkipProcessingInstruction(std::size_t at) const {
    std::size_t i = at + 2;
    if (!Is(At(i), kNameStart)) {
        return npos;
    }
    while (Is(At(i), kName)) {
        ++i;
    }
    if (At(i) == '\0') {
        return npos;
    }
    const std::size_t end = Find(i, "?>");
    return end == npos ? npos : end + 2;
}

std::size_t XmlScanner::SkipComment(std::size_t at) const {
    const std::size_t end = Find(at + 4, "-->");
    return end == npos ? npos : end + 3;
}

// The DOCTYPE with its internal subset: markup declarations nest in '<!'
// ... '>', quoted strings, comments and processing instructions may hold
// any '<' or '>', and conditional sections "<![ ... ]]>" nest in their own
// way.
std::size_t XmlScanner::SkipDoctype(std::size_t at) const {
    std::size_t i = at + 2;
    std::size_t depth = 0;
    while (At(i) != '\0') {
        const char c = bytes_[i];
        if (c == '<' && At(i + 1) == '!' && At(i + 2) == '[') {
            std::size_t nested = 0;
            i += 3;
            for (;;) {
                if (At(i) == '\0') {
                    return npos;
                }
                if (bytes_.compare(i, 3, "<![") == 0) {
                    i += 3;
                    ++nested;
                } else if (bytes_.compare(i, 3, "]]>") == 0) {
                    i += 3;
                    if (nested-- == 0) {
                        break;
                    }
                } else {
                    ++i;
                }
            }
        } else if (c == '<' && At(i + 1) == '!' && At(i + 2) != '-') {
            i += 2;
            ++depth;
        } else if (c == '"' || c == '\'') {
            const std::size_t close = Find(i + 1, std::string_view(&c, 1));
            if (close == npos) {
                return npos;
            }
            i = close + 1;
        } else if (c == '<') {
            std::size_t end = npos;
            if (At(i + 1) == '?') {
                end = Find(i + 2, "?>");
                i = end + 2;
            } else if (bytes_.compare(i, 4, "<!--") == 0) {
                end = Find(i + 4, "-->");
                i = end + 3;
            }
            if (end == npos) {
                return npos;
            }
        } else if (c == '>') {
            if (depth == 0) {
                return i + 1;
            }
            --depth;
            ++i;
        } else {
            ++i;
        }
    }
    return npos;
}

// Where `what` next begins, from `from`; npos if a NUL or the end of the
// input comes first.
std::size_t XmlScanner::Find(std::size_t from, std::string_view what) const {
    const std::size_t size = bytes_.size();
    for (std::size_t i = from; i < size; ++i) {
        const char c = bytes_[i];
        if (c == what[0] && bytes_.compare(i, what.size(), what) == 0) {
            return i;
        }
        if (c == '\0') {
            return npos;
        }
    }
    return npos;
}

} // namespace plistio
