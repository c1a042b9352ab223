#include "logging/mod_logging.h"

#include "common/file_system.h"
#include "logging/log_text.h"
#include "logging/trace_file.h"

#include <unistd.h>

namespace quillet {

namespace {

bool isOn(int16_t flag)
{
    return flag == kTrue;
}

} // namespace

modLogging::modLogging(AppState& state, LogWindowListener* listener) : state_(state), listener_(listener) {}

void modLogging::createWindow()
{
    list_.clear();
    windowExists_ = true;
    windowShown_ = false;
    if (listener_)
        listener_->logWindowCreated(logWindowPlacement(state_));
}

void modLogging::OpenLog()
{
    if (!showWindow())
        return;
    if (isOn(state_.EchoToRun))
        startRunFile();
}

bool modLogging::showWindow()
{
    if (!isOn(state_.Debug))
        return false;
    if (!windowExists_)
        createWindow();
    windowShown_ = true;
    if (listener_)
        listener_->logWindowShown();
    return true;
}

void modLogging::startRunFile()
{
    RunFile = state_.settingsFolder() + u"debug.run";
    if (FileExists(RunFile))
        ::unlink(toUtf8(RunFile).c_str());
}

void modLogging::optionsChanged(int16_t debugBefore)
{
    if (!isOn(state_.Debug))
        return;
    if (!isOn(debugBefore))
        showWindow();
    // A debug.run started earlier in this run goes on: its earlier lines
    // are this run's too.
    if (isOn(state_.EchoToRun) && RunFile.empty())
        startRunFile();
}

void modLogging::LogLine(TextView text)
{
    if (!isOn(state_.Debug))
        return;
    if (!windowExists_)
        createWindow();
    const Text line = logLineText(text);
    const bool removed = list_.add(line);
    if (listener_) {
        if (removed)
            listener_->logLineRemoved();
        listener_->logLineAdded(list_.lines().back());
        listener_->logLineSelected(list_.size() - 1);
    }
    if (!isOn(state_.EchoToRun) || RunFile.empty())
        return;
    const bool written = appendTraceLine(toUtf8(RunFile), line);
    if (!written && !traceFileFailing_ && listener_)
        listener_->traceFileFailed(RunFile);
    traceFileFailing_ = !written;
}

Text modLogging::exportFileName() const
{
    return state_.settingsFolder() + u"debug.log";
}

bool modLogging::ExportLog() const
{
    return writeTraceLines(toUtf8(exportFileName()), list_.lines());
}

std::optional<LogWindowLayout> modLogging::windowResized(const LogWindowGeometry& geometry)
{
    if (geometry.minimized)
        return std::nullopt;
    rememberLogWindowMeasures(state_, geometry.outer, false);
    return layoutLogWindow(geometry.innerWidth, geometry.innerHeight, geometry.buttonHeight);
}

void modLogging::windowClosed(const WindowMeasures& outer, bool minimized)
{
    rememberLogWindowMeasures(state_, outer, minimized);
    list_.clear();
    windowExists_ = false;
    windowShown_ = false;
}

} // namespace quillet
