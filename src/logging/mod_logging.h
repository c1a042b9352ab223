// The log: one entry for log lines (LogLine) feeding the logging window's
// list and, when echoing is on, the trace file debug.run.  Nothing happens
// unless the Debug setting is exactly -1 (on); EchoToRun likewise.
//
// The module also keeps the logging window's state: it exists from OpenLog
// (shown) or from the first line logged after the user closed it (hidden,
// with an empty list), and closing it discards its lines.
#pragma once

#include "common/text.h"
#include "logging/log_layout.h"
#include "logging/log_list.h"
#include "logging/log_window_listener.h"
#include "state/app_state.h"

#include <optional>

namespace quillet {

// The window's measures as the shell reports them on a resize, in twips.
struct LogWindowGeometry {
    WindowMeasures outer;
    float innerWidth = 0;
    float innerHeight = 0;
    float buttonHeight = 0;
    bool minimized = false;
};

class modLogging {
public:
    explicit modLogging(AppState& state, LogWindowListener* listener = nullptr);

    void setListener(LogWindowListener* listener) { listener_ = listener; }

    // Once, at start-up, after the settings are read: with Debug on, shows
    // the window placed at LogLeft..LogHeight; with EchoToRun also on, sets
    // RunFile to debug.run in the settings folder and deletes an earlier one.
    void OpenLog();

    // The user changed the options while the program runs (`debugBefore`:
    // the Debug flag as it was): logging switched on shows the window at
    // once, and echoing switched on starts debug.run, as start-up would
    // have.  A debug.run started earlier in this run goes on.
    void optionsChanged(int16_t debugBefore);

    // Shows the window, making it anew (with an empty list) when the user
    // closed it.  Nothing while logging is off; false then.
    bool showWindow();

    // Adds the text, as given but with control characters shown by name
    // (log_text.h), as the last line of the list (creating the window
    // hidden if it does not exist), selects it, and with EchoToRun on
    // appends it to RunFile.
    void LogLine(TextView text);

    // Export Log: writes the list to exportFileName(), replacing an earlier
    // file; the list is unchanged.  False when it cannot be written.
    bool ExportLog() const;
    // debug.log in the settings folder.
    Text exportFileName() const;

    // Full path of debug.run; empty unless Debug and EchoToRun were both on
    // when OpenLog ran.
    Text RunFile;

    bool windowExists() const { return windowExists_; }
    bool windowShown() const { return windowShown_; }
    const LogList& list() const { return list_; }

    // On every resize: nothing for a minimized window; otherwise stores the
    // outer measures into LogLeft..LogHeight and returns where the list
    // and the button go.
    std::optional<LogWindowLayout> windowResized(const LogWindowGeometry& geometry);

    // The user closed the window (never refused): stores its measures unless
    // minimized, and discards the window with its lines.
    void windowClosed(const WindowMeasures& outer, bool minimized);

private:
    void createWindow();
    // Sets RunFile and deletes an earlier debug.run.
    void startRunFile();

    AppState& state_;
    LogWindowListener* listener_;
    LogList list_;
    bool windowExists_ = false;
    bool windowShown_ = false;
    bool traceFileFailing_ = false;
};

} // namespace quillet
