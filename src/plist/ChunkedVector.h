#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace plistio {

// A sequence that never moves what it holds once it is large: the first
// kChunk elements live in a vector that grows as usual, each later run of
// kChunk elements in a block of its own. Filling a large node therefore
// moves none of its entries and never holds room for twice as many.
template <class T> class ChunkedVector {
public:
    static constexpr std::size_t kShift = 10;
    static constexpr std::size_t kChunk = std::size_t{1} << kShift;

    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }

    T& operator[](std::size_t i) {
        return i < kChunk ? first_[i] : blocks_[(i >> kShift) - 1][i & (kChunk - 1)];
    }
    const T& operator[](std::size_t i) const {
        return i < kChunk ? first_[i] : blocks_[(i >> kShift) - 1][i & (kChunk - 1)];
    }
    T& back() { return (*this)[size_ - 1]; }

    template <class... Args> T& emplace_back(Args&&... args) {
        ++size_;
        if (size_ <= kChunk) {
            if (first_.capacity() == 0) {
                first_.reserve(4);
            }
            return first_.emplace_back(std::forward<Args>(args)...);
        }
        if (blocks_.empty() || blocks_.back().size() == kChunk) {
            blocks_.emplace_back().reserve(kChunk);
        }
        return blocks_.back().emplace_back(std::forward<Args>(args)...);
    }

    // Drops the elements from `size` on.
    void Truncate(std::size_t size) {
        while (size_ > size) {
            if (size_ <= kChunk) {
                first_.resize(size);
                size_ = size;
                return;
            }
            std::vector<T>& last = blocks_.back();
            const std::size_t inLast = size_ - kChunk * blocks_.size();
            const std::size_t drop = std::min(inLast, size_ - size);
            last.resize(inLast - drop);
            size_ -= drop;
            if (last.empty()) {
                blocks_.pop_back();
            }
        }
    }

    void clear() {
        first_.clear();
        blocks_.clear();
        size_ = 0;
    }

private:
    std::vector<T> first_;
    std::vector<std::vector<T>> blocks_;
    std::size_t size_ = 0;
};

} // namespace plistio
