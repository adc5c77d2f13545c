#include "plist/XmlScanner.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace plistio {
namespace {

constexpr std::size_t npos = std::string_view::npos;

enum : unsigned char {
    kBlank = 1,     // TAB, LF, CR, space
    kNameStart = 2, // letters, '_', ':' and every byte of a multi-byte character
    kName = 4,      // kNameStart, digits, '-', '.'
    kTextStop = 8,  // what ends or changes a run of text: '<', CR, NUL
    kUnusual = 16,  // text that a reader must look into: '&', controls, non-ASCII
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
        if ((c < 0x20 && c != '\t' && c != '\n') || c >= 0x80 || c == '&') {
            bits |= kUnusual;
        }
        table[static_cast<std::size_t>(c)] = bits;
    }
    return table;
}();

bool Is(char c, unsigned char bits) {
    return (kClasses[static_cast<unsigned char>(c)] & bits) != 0;
}

// The first '<', CR or NUL from `p` on, or `last`; `plain` tells whether
// the bytes before it are ASCII without references or controls other than
// TAB and LF, which a reader takes as they stand. Most texts are short, but
// values run to some dozens of bytes: they are searched 16 bytes at a time.
const char* FindTextStop(const char* p, const char* last, bool& plain) {
    unsigned unusual = 0;
#if defined(__SSE2__)
    const __m128i lt = _mm_set1_epi8('<');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i nul = _mm_setzero_si128();
    const __m128i amp = _mm_set1_epi8('&');
    const __m128i space = _mm_set1_epi8(' ');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i lf = _mm_set1_epi8('\n');
    while (last - p >= 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const __m128i stops =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(block, lt), _mm_cmpeq_epi8(block, cr)),
                         _mm_cmpeq_epi8(block, nul));
        // Signed, so bytes from 0x80 count as below the space.
        const __m128i layout = _mm_or_si128(_mm_cmpeq_epi8(block, tab), _mm_cmpeq_epi8(block, lf));
        const auto odd = static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
            _mm_andnot_si128(layout, _mm_cmplt_epi8(block, space)), _mm_cmpeq_epi8(block, amp))));
        const auto mask = static_cast<unsigned>(_mm_movemask_epi8(stops));
        if (mask != 0) {
            const unsigned at = static_cast<unsigned>(__builtin_ctz(mask));
            plain = (unusual | (odd & ((1u << at) - 1))) == 0;
            return p + at;
        }
        unusual |= odd;
        p += 16;
    }
#endif
    while (p != last && !Is(*p, kTextStop)) {
        unusual |= Is(*p, kUnusual) ? 1u : 0u;
        ++p;
    }
    plain = unusual == 0;
    return p;
}

// The end of the name whose rest begins at `p`.
const char* NameEnd(const char* p, const char* last) {
    while (p != last && Is(*p, kName)) {
        ++p;
    }
    return p;
}

} // namespace

XmlScanner::XmlScanner(std::string_view bytes) : bytes_(bytes) {}

const char* XmlScanner::EndTagEnd(const char* q) const {
    const char* const first = bytes_.data();
    const char* const last = first + bytes_.size();
    const OpenElement element = open_.back();
    q += 2;
    if (static_cast<std::size_t>(last - q) < element.nameSize) {
        return nullptr;
    }
    const char* const name = first + element.nameAt;
    if (std::endian::native == std::endian::little && element.nameSize <= 8 && last - q >= 8 &&
        last - name >= 8) {
        // Most names fit a word: compared at once, the bytes past the name
        // masked off, where a loop would guess its end wrong.
        std::uint64_t written = 0;
        std::uint64_t open = 0;
        std::memcpy(&written, q, 8);
        std::memcpy(&open, name, 8);
        const std::uint64_t mask = element.nameSize == 8
                                       ? ~std::uint64_t{0}
                                       : (std::uint64_t{1} << (8 * element.nameSize)) - 1;
        if (((written ^ open) & mask) != 0) {
            return nullptr;
        }
        q += element.nameSize;
    } else {
        for (std::size_t i = 0; i < element.nameSize; ++i, ++q) {
            if (*q != name[i]) {
                return nullptr;
            }
        }
    }
    if (q != last && *q == '>') {
        return q + 1;
    }
    if (q != last && Is(*q, kName)) {
        return nullptr;
    }
    while (q != last && Is(*q, kBlank)) {
        ++q;
    }
    if (q == last || *q != '>') {
        return nullptr;
    }
    return q + 1;
}

XmlScanner::Token XmlScanner::NextPastSpace() {
    const char* const first = bytes_.data();
    const char* const last = first + bytes_.size();
    const char* p = first + pos_;
    while (p != last && (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r')) {
        ++p;
    }
    if (p == last || *p == '<') {
        pos_ = static_cast<std::size_t>(p - first);
    }
    return Next();
}

[[gnu::cold]] XmlScanner::Token XmlScanner::Fail(std::size_t at) {
    done_ = true;
    last_ = Token::Error;
    offset_ = at;
    pos_ = bytes_.size();
    return Token::Error;
}

// The common pieces, text, start tags without attributes and end tags, are
// read here in one place; the rest in functions of their own.
XmlScanner::Token XmlScanner::Next() {
    const char* const first = bytes_.data();
    const char* const last = first + bytes_.size();
    for (;;) {
        const char* p = first + pos_;
        if (p == last) [[unlikely]] {
            // Once the scanner has stopped, it stays at the end.
            if (done_) {
                return last_;
            }
            if (failAt_ != npos) {
                return Fail(failAt_);
            }
            if (!open_.empty() || !sawRoot_) {
                return Fail(pos_);
            }
            done_ = true;
            last_ = Token::Finished;
            offset_ = pos_;
            return Token::Finished;
        }
        if (*p != '<') {
            // Text runs to the next '<'; a text cut short by the end of the
            // input or by a NUL is still reported, the damage with the next
            // call.
            const char* q = FindTextStop(p, last, textPlain_);
            if (q != last && *q == '\r') [[unlikely]] {
                return TextWithCr(static_cast<std::size_t>(q - first));
            }
            if (q == p) [[unlikely]] {
                return Fail(pos_); // a NUL
            }
            offset_ = pos_;
            text_ = std::string_view(p, static_cast<std::size_t>(q - p));
            pos_ = static_cast<std::size_t>(q - first);
            return Token::Text;
        }
        const std::size_t at = pos_;
        const char c = At(at + 1);
        if (Is(c, kNameStart)) {
            const char* q = NameEnd(p + 2, last);
            if (q != last && *q == '>') {
                if (open_.empty()) {
                    sawRoot_ = true;
                }
                nameAt_ = at + 1;
                nameSize_ = static_cast<std::size_t>(q - p - 1);
                open_.push_back(OpenElement{nameAt_, nameSize_});
                selfClosing_ = false;
                offset_ = at;
                pos_ = static_cast<std::size_t>(q + 1 - first);
                return Token::Start;
            }
            return ScanStartTag(at, static_cast<std::size_t>(q - first));
        }
        if (c == '/') {
            if (open_.empty()) {
                return Fail(at);
            }
            const char* q = EndTagEnd(p);
            if (q == nullptr) {
                return Fail(at);
            }
            const OpenElement element = open_.back();
            open_.pop_back();
            nameAt_ = at + 2;
            nameSize_ = element.nameSize;
            offset_ = at;
            pos_ = static_cast<std::size_t>(q - first);
            return Token::End;
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

// A text holding a CR, from the first one on.
XmlScanner::Token XmlScanner::TextWithCr(std::size_t firstCr) {
    const std::size_t size = bytes_.size();
    std::size_t i = firstCr;
    while (i < size && (bytes_[i] == '\r' || !Is(bytes_[i], kTextStop))) {
        ++i;
    }
    offset_ = pos_;
    Normalize(pos_, i, firstCr);
    pos_ = i;
    textPlain_ = false;
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

// A start tag with attributes or blanks, or an empty-element tag, from the
// end of its name on.
XmlScanner::Token XmlScanner::ScanStartTag(std::size_t at, std::size_t i) {
    const std::size_t nameAt = at + 1;
    const std::size_t nameSize = i - nameAt;
    bool selfClosing = false;
    const char c = At(i);
    if (c == '/' && At(i + 1) == '>') {
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
