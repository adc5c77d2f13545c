#pragma once

#include <string_view>

namespace calc {

// The result list's text order, shared with the list on screen: the texts are
// compared code point by code point after mapping a-z to A-Z, and a proper
// prefix sorts first. Returns -1, 0 or 1.
//
// UTF-8 keeps code point order under a byte-wise comparison, and the case
// mapping touches only ASCII bytes, so the comparison runs on the bytes.
int CompareText(std::string_view a, std::string_view b) noexcept;

// Equality under the same mapping: the word equality of the pruning.
bool TextEqual(std::string_view a, std::string_view b) noexcept;

} // namespace calc
