// The generator's only source of chance: a seeded sequence (SplitMix64), the same on every machine, so
// that a seed names one workspace for good.
#pragma once
#include <cstdint>
#include <vector>

namespace hostile {

class CRandom {
public:
    explicit CRandom(uint64_t seed) : m_state(seed) {}

    uint64_t Next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // A number in [0, n); 0 for n == 0.
    size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(Next() % n); }
    // A number in [low, high].
    size_t Between(size_t low, size_t high) { return low + Below(high - low + 1); }
    // True with probability percent / 100.
    bool Percent(unsigned percent) { return Below(100) < percent; }
    template <class T>
    const T& Pick(const std::vector<T>& items) { return items[Below(items.size())]; }

private:
    uint64_t m_state;
};

} // namespace hostile
