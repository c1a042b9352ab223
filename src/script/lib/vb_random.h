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
    // restarts from it).
    float next(float n = 1.0f);
    // Randomize with a number: folds that number into the generator's
    // current state, which it changes rather than replaces.
    void randomize(double n);

    uint32_t seed() const { return seed_; }
    float last() const { return last_; }
    void restore(uint32_t seed, float last) { seed_ = seed & 0xFFFFFF; last_ = last; }

private:
    uint32_t seed_;
    float last_ = 0.0f;
};

} // namespace quillet::script
