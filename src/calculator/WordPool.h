#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace calc {

// The words of a result list, each stored once: a list of thousands of words
// with hundreds of rows each keeps a 4-byte id per row instead of a string.
// Words are kept byte for byte; ids count from 0 in the order of first use.
class WordPool {
public:
    // The id of the word, storing it first when it is new.
    std::uint32_t Intern(std::string_view word);

    // The word of an id that Intern gave; valid until the next Intern or Clear.
    std::string_view Text(std::uint32_t id) const noexcept {
        return std::string_view(bytes_).substr(starts_[id], starts_[id + 1] - starts_[id]);
    }

    std::uint32_t Size() const noexcept { return static_cast<std::uint32_t>(starts_.size() - 1); }

    // Forgets every word and gives the memory back.
    void Clear();

    // Bytes held, counted by capacity.
    std::size_t MemoryBytes() const noexcept;

private:
    void Grow();

    std::string bytes_;                    // all words, back to back
    std::vector<std::uint32_t> starts_{0}; // word i is bytes_[starts_[i], starts_[i + 1])
    std::vector<std::uint32_t> slots_;     // open-addressing table of id + 1; 0 is empty
};

} // namespace calc
