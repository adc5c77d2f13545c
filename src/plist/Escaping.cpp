#include "plist/Escaping.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace plistio {
namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

// A numeric reference "&#...;" at the start of `text`: its length, or 0 when
// it is none or names no Unicode scalar value.
std::size_t NumericReference(std::string_view text, std::uint32_t& cp) {
    std::size_t i = 2;
    const bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
    if (hex) {
        ++i;
    }
    const std::size_t digitsStart = i;
    std::uint32_t value = 0;
    for (; i < text.size() && i - digitsStart < 8; ++i) {
        const char c = text[i];
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = static_cast<std::uint32_t>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = static_cast<std::uint32_t>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = static_cast<std::uint32_t>(c - 'A' + 10);
        } else {
            break;
        }
        value = value * (hex ? 16 : 10) + digit;
    }
    if (i == digitsStart || i >= text.size() || text[i] != ';') {
        return 0;
    }
    // Character 0 is decoded too: the store holds texts with it, and the
    // writer writes it (in data) as "&#0;".
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    cp = value;
    return i + 1;
}

void AppendReference(std::string& out, unsigned char c) {
    out += "&#";
    out += std::to_string(c);
    out += ';';
}

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD

// The length of the UTF-8 sequence at `i` when it encodes a character that
// XML allows, else 0. Only called for bytes from 0x80 on.
std::size_t XmlCharLength(std::string_view text, std::size_t i) {
    const auto at = [&](std::size_t k) {
        return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0u;
    };
    const unsigned c = at(0);
    const auto cont = [&](std::size_t k) { return (at(k) & 0xC0u) == 0x80u; };
    if (c >= 0xC2 && c <= 0xDF) {
        return cont(1) ? 2 : 0;
    }
    if (c >= 0xE0 && c <= 0xEF) {
        if (!cont(1) || !cont(2)) {
            return 0;
        }
        const unsigned cp = ((c & 0x0Fu) << 12) | ((at(1) & 0x3Fu) << 6) | (at(2) & 0x3Fu);
        if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF) {
            return 0;
        }
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3)) {
            return 0;
        }
        const unsigned cp = ((c & 0x07u) << 18) | ((at(1) & 0x3Fu) << 12) | ((at(2) & 0x3Fu) << 6) |
                            (at(3) & 0x3Fu);
        return cp >= 0x10000 && cp <= 0x10FFFF ? 4 : 0;
    }
    return 0;
}

// 3 at U+FFFE and U+FFFF, which are well-formed UTF-8 that XML does not
// allow: each is replaced whole, by one replacement character. Else 1.
std::size_t RejectedLength(std::string_view text, std::size_t i) {
    return text.substr(i, 3) == "\xEF\xBF\xBE" || text.substr(i, 3) == "\xEF\xBF\xBF" ? 3 : 1;
}

bool IsXmlControl(unsigned char c) {
    return c < 32 && c != '\t' && c != '\n' && c != '\r';
}

} // namespace

void AppendUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void AppendEscaped(std::string& out, std::string_view text, TextKind kind) {
    const bool clean = kind != TextKind::Plain;
    std::size_t plain = 0; // start of the run not yet copied
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const char* entity = nullptr;
        bool reference = false;
        bool replace = false;
        std::size_t span = 1; // the bytes replaced
        switch (c) {
        case '&':
            entity = "&amp;";
            break;
        case '<':
            entity = "&lt;";
            break;
        case '>':
            entity = "&gt;";
            break;
        case '\r':
            reference = clean;
            break;
        case '\n':
        case '\t':
            reference = kind == TextKind::Data || (c == '\n' && kind == TextKind::Key);
            break;
        case ' ':
            reference = kind == TextKind::Data && (i == 0 || i + 1 == text.size());
            break;
        default:
            if (!clean) {
                break;
            }
            if (c >= 0x80) {
                const std::size_t length = XmlCharLength(text, i);
                if (length > 0) {
                    i += length - 1;
                    continue;
                }
                replace = true;
                span = RejectedLength(text, i);
            } else {
                replace = IsXmlControl(c);
            }
            break;
        }
        if (entity == nullptr && !reference && !replace) {
            continue;
        }
        out.append(text.data() + plain, i - plain);
        plain = i + span;
        i += span - 1;
        if (entity != nullptr) {
            out += entity;
        } else if (replace) {
            out += kReplacement;
        } else {
            AppendReference(out, c);
        }
    }
    out.append(text.data() + plain, text.size() - plain);
}

std::string Clean(std::string text) {
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = XmlCharLength(text, i);
            if (length == 0) {
                break;
            }
            i += length - 1;
        } else if (IsXmlControl(c)) {
            break;
        }
    }
    if (i == text.size()) {
        return text;
    }
    std::string out(text, 0, i);
    for (; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = XmlCharLength(text, i);
            if (length == 0) {
                out += kReplacement;
                i += RejectedLength(text, i) - 1;
            } else {
                out.append(text, i, length);
                i += length - 1;
            }
        } else if (IsXmlControl(c)) {
            out += kReplacement;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// The named entities of XML and the characters they stand for.
constexpr std::pair<std::string_view, char> kNamedEntities[] = {
    {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''},
};

void AppendDecoded(std::string& out, std::string_view text) {
    std::size_t amp = text.find('&');
    if (amp == std::string_view::npos) {
        out += text;
        return;
    }
    out.reserve(out.size() + text.size());
    std::size_t plain = 0;
    for (; amp != std::string_view::npos; amp = text.find('&', amp)) {
        out.append(text.data() + plain, amp - plain);
        const std::string_view rest = text.substr(amp);
        std::size_t used = 0;
        std::uint32_t cp = 0;
        const auto* named =
            std::find_if(std::begin(kNamedEntities), std::end(kNamedEntities),
                         [rest](const auto& entity) { return rest.starts_with(entity.first); });
        if (named != std::end(kNamedEntities)) {
            out += named->second;
            used = named->first.size();
        } else if (rest.starts_with("&#") && (used = NumericReference(rest, cp)) > 0) {
            AppendUtf8(out, cp);
        } else {
            out += '&';
            used = 1;
        }
        amp += used;
        plain = amp;
    }
    out.append(text.data() + plain, text.size() - plain);
}

std::string Decode(std::string_view text) {
    std::string out;
    AppendDecoded(out, text);
    return out;
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace plistio
