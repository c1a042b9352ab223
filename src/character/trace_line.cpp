#include "character/trace_line.h"

namespace quillet {

void TraceLine(const Text& /*text*/)
{
}

} // namespace quillet
