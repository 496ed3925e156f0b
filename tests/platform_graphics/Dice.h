#pragma once
// A small deterministic generator for random test pictures, rectangles and choices.
#include <cstddef>
#include <cstdint>

class Dice {
public:
    explicit Dice(uint64_t seed) : m_nState(seed * 0x9E3779B97F4A7C15ull + 1) {}
    uint32_t Next() {
        m_nState ^= m_nState << 13;
        m_nState ^= m_nState >> 7;
        m_nState ^= m_nState << 17;
        return static_cast<uint32_t>(m_nState >> 16);
    }
    // lo..hi, both included.
    int32_t Between(int32_t lo, int32_t hi) {
        return lo + static_cast<int32_t>(Next() % static_cast<uint32_t>(hi - lo + 1));
    }
    bool Chance(int32_t percent) { return Between(0, 99) < percent; }
    template <class T, size_t N>
    T Pick(const T (&items)[N]) { return items[Next() % N]; }

private:
    uint64_t m_nState;
};
