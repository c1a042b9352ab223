// VBScript's random number generator: a 24-bit linear congruential
// generator, so that Rnd sequences after Randomize n or Rnd(-n) repeat
// the numbers scripts were tested with.
#pragma once

#include <cstdint>

namespace quillet::script {

class VbRandom {
public:
    explicit VbRandom(uint32_t seed = 0x50000) : seed_(seed & 0xFFFFFF) {}

    // Rnd(n): n > 0 (or omitted) the next number; n = 0 the last number
    // again; n < 0 a number determined by n alone (and the sequence
    // restarts from it).  The state is the last number itself (in 24
    // bits), so Rnd(0) before any Rnd gives the starting seed's number.
    float next(float n = 1.0f);
    // Randomize with a number: folds that number into the generator's
    // current state, which it changes rather than replaces.
    void randomize(double n);

    uint32_t seed() const { return seed_; }

private:
    float number() const { return static_cast<float>(seed_) / 16777216.0f; }

    uint32_t seed_;
};

} // namespace quillet::script
