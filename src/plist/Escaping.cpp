#include "plist/Escaping.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <utility>

namespace plistio {
namespace {

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

// The named entities of XML and the characters they stand for.
constexpr std::pair<std::string_view, char> kNamedEntities[] = {
    {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''},
};

std::string Decode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view rest = text.substr(i);
        const auto* named =
            std::find_if(std::begin(kNamedEntities), std::end(kNamedEntities),
                         [rest](const auto& entity) { return rest.starts_with(entity.first); });
        if (rest[0] == '&' && named != std::end(kNamedEntities)) {
            out += named->second;
            i += named->first.size() - 1;
        } else {
            out += rest[0];
        }
    }
    return out;
}

} // namespace plistio
