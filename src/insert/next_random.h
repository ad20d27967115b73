#pragma once

#include <cstdint>
#include <random>

namespace qlq {

// The program's one random source. It starts from the same state at every start and is never
// reseeded, so every run draws the same sequence. Values lie in [0, 1): 24 random bits scaled
// by 2^-24 are exact in a float and can never round up to 1.
class NextRandom {
public:
    float next() { return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f); }

private:
    std::mt19937 engine_{20220822u};
};

} // namespace qlq
