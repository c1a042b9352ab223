#include "script/lib/vb_random.h"

#include <bit>
#include <cstring>

namespace quillet::script {

float VbRandom::next(float n)
{
    if (n == 0.0f)
        return number();
    if (n < 0.0f) {
        const uint32_t bits = std::bit_cast<uint32_t>(n);
        seed_ = (bits + (bits >> 24)) & 0xFFFFFF;
    }
    seed_ = (seed_ * 1140671485u + 12820163u) & 0xFFFFFF;
    return number();
}

void VbRandom::randomize(double n)
{
    const uint64_t bits = std::bit_cast<uint64_t>(n);
    const uint32_t high = static_cast<uint32_t>(bits >> 32);
    const uint32_t mixed = ((high & 0xFFFF) ^ (high >> 16)) << 8;
    seed_ = (seed_ & 0xFF0000FF) | (mixed & 0xFFFF00);
}

} // namespace quillet::script
