// The lines of the logging window's list, oldest first, bounded so that a
// long session cannot grow it without end: before a line is added to a
// list of more than 2000 lines, the oldest line goes (one per addition),
// so the list settles at the latest 2001 lines.
#pragma once

#include "common/text.h"

#include <cstddef>
#include <deque>

namespace quillet {

class LogList {
public:
    static constexpr size_t kMaxLines = 2001;

    // Returns true when the oldest line was removed to make room.
    bool add(Text line);
    void clear() { lines_.clear(); }

    size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    const Text& line(size_t index) const { return lines_.at(index); }
    const std::deque<Text>& lines() const { return lines_; }

private:
    std::deque<Text> lines_;
};

} // namespace quillet
