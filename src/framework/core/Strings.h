#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fw {

// Text helpers of the framework. Texts are UTF-8; one character is one code
// point (a byte that starts no valid sequence counts as one character of its
// own). Positions count from 1. Letter case is folded for A-Z only, which keeps
// byte lengths unchanged and leaves every multi-byte character as it is.

// Number of characters.
std::int32_t Len(std::string_view s);

// The characters from position `start` to the end, or `length` of them. A
// start below 1 counts as 1; a negative length gives the empty text.
std::string Mid(std::string_view s, std::int32_t start);
std::string Mid(std::string_view s, std::int32_t start, std::int32_t length);

// The first `count` characters (the empty text for a count of 0 or less).
std::string Left(std::string_view s, std::int32_t count);

// Position of the first occurrence of `find` in `s` at or after character
// `start` (1 when not given), ignoring letter case; 0 when absent or when
// `find` is empty.
std::int32_t InStr(std::string_view s, std::string_view find);
std::int32_t InStr(std::int32_t start, std::string_view s, std::string_view find);

// Text equality that ignores letter case: the `=` of the system.
bool Equals(std::string_view a, std::string_view b);

// The order of list sorting: code point by code point after mapping a-z to
// A-Z, a proper prefix first. Negative, 0 or positive.
int CompareText(std::string_view a, std::string_view b);

// a-z mapped to A-Z; everything else unchanged.
std::string Uppercase(std::string_view s);

// Decimal text of a number. A Double that is a whole number below 1e15 in
// magnitude prints without fraction ("42", "-3"); any other value prints as
// the shortest text that reads back to the same Double ("0.1", "1e+20",
// "inf", "nan").
std::string Str(std::int32_t value);
std::string Str(std::int64_t value);
std::string Str(double value);

// A number after a pattern. The system uses "-#": the value rounded to a
// whole number (halves away from zero), with a leading "-" when negative;
// 0 gives "0", NaN gives "0", infinities "inf" and "-inf". "#" is read the
// same way; no other pattern is understood.
std::string Format(double value, std::string_view pattern);

// Text to Double: the number at the start of the text (after blanks and an
// optional sign), else 0. Values beyond the Double range give infinity or 0.
// Locale-independent: the decimal point is always ".".
double CDbl(std::string_view text);
double Val(std::string_view text);

// Double to a 32-bit integer without overflow: the fraction is dropped,
// values beyond the range saturate and NaN gives 0.
std::int32_t ToInt32(double value);

// True when the whole text (blanks around it allowed) is one decimal number.
bool IsNumeric(std::string_view text);

// Field `n` (from 1) of `s` split at every occurrence of `separator` (exact
// match); the empty text when there is no such field. A text has one field
// more than it has separators.
std::string NthField(std::string_view s, std::string_view separator, std::int32_t n);
std::int32_t CountFields(std::string_view s, std::string_view separator);

} // namespace fw
