#include "logging/log_list.h"

namespace quillet {

bool LogList::add(Text line)
{
    const bool removeOldest = lines_.size() >= kMaxLines;
    if (removeOldest)
        lines_.pop_front();
    lines_.push_back(std::move(line));
    return removeOldest;
}

} // namespace quillet
