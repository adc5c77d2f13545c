#include "framework/core/Strings.h"

#include "framework/core/Utf8.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace fw {
namespace {

// Byte length of the character that starts at `i`: a well-formed UTF-8
// sequence, or 1 for a byte that starts none.
std::size_t CharLength(std::string_view s, std::size_t i) {
    std::size_t next = i;
    NextCodePoint(s, next);
    return next - i;
}

// Byte offset of character `index` (from 0); s.size() when past the end.
std::size_t ByteOffset(std::string_view s, std::int64_t index) {
    std::size_t i = 0;
    while (index > 0 && i < s.size()) {
        i += CharLength(s, i);
        --index;
    }
    return i;
}

char Fold(char c) {
    return static_cast<char>(FoldAsciiCase(static_cast<unsigned char>(c)));
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Parses the number at the start of `text` (no blanks, no sign handling
// beyond what from_chars does). Returns the characters used, 0 for none.
std::size_t ParseNumber(std::string_view text, double& out) {
    const char* first = text.data();
    const char* last = text.data() + text.size();
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ptr == first) {
        out = 0.0;
        return 0;
    }
    if (ec == std::errc::result_out_of_range) {
        // Decide between overflow and underflow from the decimal exponent
        // of the first significant digit.
        std::string_view t(first, static_cast<std::size_t>(ptr - first));
        bool negative = false;
        std::size_t i = 0;
        if (i < t.size() && t[i] == '-') {
            negative = true;
            ++i;
        }
        std::int64_t exponent = 0;
        bool seenDigit = false;
        bool afterPoint = false;
        std::int64_t magnitude = 0;
        for (; i < t.size() && t[i] != 'e' && t[i] != 'E'; ++i) {
            if (t[i] == '.') {
                afterPoint = true;
                continue;
            }
            if (!seenDigit) {
                if (t[i] == '0') {
                    if (afterPoint) {
                        --magnitude;
                    }
                    continue;
                }
                seenDigit = true;
                magnitude = afterPoint ? magnitude - 1 : 0;
            } else if (!afterPoint) {
                ++magnitude;
            }
        }
        if (i < t.size()) {
            ++i;
            bool expNegative = false;
            if (i < t.size() && (t[i] == '-' || t[i] == '+')) {
                expNegative = t[i] == '-';
                ++i;
            }
            for (; i < t.size(); ++i) {
                if (exponent < 100000000) {
                    exponent = exponent * 10 + (t[i] - '0');
                }
            }
            if (expNegative) {
                exponent = -exponent;
            }
        }
        const bool overflow = seenDigit && magnitude + exponent > 0;
        value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
        if (negative) {
            value = -value;
        }
    }
    out = value;
    return static_cast<std::size_t>(ptr - first);
}

} // namespace

std::int32_t Len(std::string_view s) {
    std::int64_t count = 0;
    for (std::size_t i = 0; i < s.size(); i += CharLength(s, i)) {
        ++count;
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(count, INT32_MAX));
}

std::string Mid(std::string_view s, std::int32_t start) {
    const std::size_t from = ByteOffset(s, start < 1 ? 0 : std::int64_t{start} - 1);
    return std::string(s.substr(from));
}

std::string Mid(std::string_view s, std::int32_t start, std::int32_t length) {
    if (length <= 0) {
        return {};
    }
    const std::size_t from = ByteOffset(s, start < 1 ? 0 : std::int64_t{start} - 1);
    const std::string_view rest = s.substr(from);
    return std::string(rest.substr(0, ByteOffset(rest, length)));
}

std::string Left(std::string_view s, std::int32_t count) {
    return Mid(s, 1, count);
}

std::int32_t InStr(std::string_view s, std::string_view find) {
    return InStr(1, s, find);
}

std::int32_t InStr(std::int32_t start, std::string_view s, std::string_view find) {
    if (find.empty()) {
        return 0;
    }
    std::int64_t position = start < 1 ? 1 : start;
    std::size_t i = ByteOffset(s, position - 1);
    for (; i < s.size() && s.size() - i >= find.size(); i += CharLength(s, i), ++position) {
        bool match = true;
        for (std::size_t k = 0; k < find.size(); ++k) {
            if (Fold(s[i + k]) != Fold(find[k])) {
                match = false;
                break;
            }
        }
        if (match) {
            return static_cast<std::int32_t>(std::min<std::int64_t>(position, INT32_MAX));
        }
    }
    return 0;
}

bool Equals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) {
            return false;
        }
    }
    return true;
}

int CompareText(std::string_view a, std::string_view b) {
    // UTF-8 byte order is code point order, so comparing folded bytes as
    // unsigned values compares code points.
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(Fold(a[i]));
        const auto cb = static_cast<unsigned char>(Fold(b[i]));
        if (ca != cb) {
            return ca < cb ? -1 : 1;
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

std::string Uppercase(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = Fold(c);
    }
    return out;
}

std::string Str(std::int32_t value) {
    return std::to_string(value);
}

std::string Str(std::int64_t value) {
    return std::to_string(value);
}

std::string Str(double value) {
    if (std::isnan(value)) {
        return "nan";
    }
    if (std::isfinite(value) && std::trunc(value) == value && std::fabs(value) < 1e15) {
        return std::to_string(static_cast<std::int64_t>(value));
    }
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string Format(double value, std::string_view /*pattern*/) {
    if (std::isnan(value)) {
        return "0";
    }
    const double rounded = std::round(value);
    if (rounded == 0.0) {
        return "0";
    }
    if (std::fabs(rounded) < 9.2e18) {
        return std::to_string(static_cast<std::int64_t>(rounded));
    }
    char buffer[400];
    auto result =
        std::to_chars(buffer, buffer + sizeof buffer, rounded, std::chars_format::fixed, 0);
    return std::string(buffer, result.ptr);
}

double CDbl(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    if (i < text.size() && text[i] == '+') {
        ++i;
        if (i < text.size() && text[i] == '-') {
            return 0.0;
        }
    }
    double value = 0.0;
    ParseNumber(text.substr(i), value);
    return value;
}

double Val(std::string_view text) {
    return CDbl(text);
}

std::int32_t ToInt32(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (value <= -2147483648.0) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(value);
}

bool IsNumeric(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && IsBlank(text[end - 1])) {
        --end;
    }
    std::string_view t = text.substr(begin, end - begin);
    if (!t.empty() && t[0] == '+') {
        t.remove_prefix(1);
    }
    std::size_t digitsAt = (!t.empty() && t[0] == '-') ? 1 : 0;
    if (digitsAt >= t.size() ||
        !((t[digitsAt] >= '0' && t[digitsAt] <= '9') || t[digitsAt] == '.')) {
        return false; // also keeps "inf" and "nan" out
    }
    double value = 0.0;
    return ParseNumber(t, value) == t.size();
}

std::string NthField(std::string_view s, std::string_view separator, std::int32_t n) {
    if (n < 1) {
        return {};
    }
    if (separator.empty()) {
        return n == 1 ? std::string(s) : std::string();
    }
    std::size_t from = 0;
    for (std::int32_t field = 1; field < n; ++field) {
        const std::size_t at = s.find(separator, from);
        if (at == std::string_view::npos) {
            return {};
        }
        from = at + separator.size();
    }
    const std::size_t to = s.find(separator, from);
    return std::string(s.substr(from, to == std::string_view::npos ? s.npos : to - from));
}

std::int32_t CountFields(std::string_view s, std::string_view separator) {
    if (separator.empty()) {
        return 1;
    }
    std::int64_t count = 1;
    for (std::size_t at = s.find(separator); at != std::string_view::npos;
         at = s.find(separator, at + separator.size())) {
        ++count;
    }
    return static_cast<std::int32_t>(std::min<std::int64_t>(count, INT32_MAX));
}

} // namespace fw
