#pragma once

#include "core/clock.h"

#include <array>
#include <cstddef>

namespace vartemo {

// The lap passings of one kart that have been recognised and not yet taken
// by its poll, oldest first, each with the time it happened. Fixed capacity:
// when full, the oldest passing gives way to the new one and is counted.
class WaitingPassings {
public:
    static constexpr std::size_t kCapacity = 16;

    // False when the oldest passing had to be dropped to make room.
    bool push(TimeUs at) {
        bool kept = true;
        if (size_ == kCapacity) {
            pop();
            kept = false;
        }
        ring_[(head_ + size_) % kCapacity] = at;
        ++size_;
        return kept;
    }
    TimeUs pop() {
        const TimeUs at = ring_[head_];
        head_ = (head_ + 1) % kCapacity;
        --size_;
        return at;
    }
    bool empty() const { return size_ == 0; }
    std::size_t size() const { return size_; }
    void clear() { head_ = size_ = 0; }

private:
    std::array<TimeUs, kCapacity> ring_{};
    std::size_t head_ = 0;
    std::size_t size_ = 0;
};

} // namespace vartemo
