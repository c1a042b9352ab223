// What the logging window must show as logging happens.  The logging
// module keeps the window's state (whether it exists, whether it is shown,
// its lines); the desktop shell implements this interface and only draws.
// Every call has an empty default so a listener overrides what it needs.
#pragma once

#include "common/text.h"
#include "logging/log_layout.h"

#include <cstddef>

namespace quillet {

class LogWindowListener {
public:
    virtual ~LogWindowListener() = default;

    // The window is created anew, with an empty list, placed at `outer`.
    // It stays hidden until logWindowShown.
    virtual void logWindowCreated(const WindowMeasures& /*outer*/) {}
    virtual void logWindowShown() {}
    // The oldest line left the list.
    virtual void logLineRemoved() {}
    // A line was added at the end of the list.
    virtual void logLineAdded(const Text& /*line*/) {}
    // Select the line at `index` (0-based), scrolling it into view.
    virtual void logLineSelected(size_t /*index*/) {}
    // debug.run could not be written: called once, and again only after a
    // later line was written successfully.
    virtual void traceFileFailed(const Text& /*path*/) {}
};

} // namespace quillet
