// A runner host that records what the sheet-script runner asks of the
// desktop (messages, status text, the report window and what was done with
// it) over the fixed-metrics surface, for tests that run sheets in-process.
#pragma once

#include "fake_surface.h"

#include "sheet/runner_host.h"

#include <memory>
#include <vector>

namespace quillet::testing {

class RecordingWindow : public ReportWindow {
public:
    PrintSurface& surface() override { return surface_; }
    void showPreviewWindow() override { titled = true; }
    void showModal() override { shown = true; }
    void printDocument() override { printed = true; }

    FakeSurface surface_;
    bool titled = false, shown = false, printed = false;
};

class RecordingHost : public RunnerHost {
public:
    void messageBox(const Text& text) override { messages.push_back(text); }
    void discardReportWindow() override
    {
        if (window)
            ++discarded;
        window.reset();
    }
    ReportWindow& reportWindow() override
    {
        if (!window)
            window = std::make_unique<RecordingWindow>();
        return *window;
    }
    void setStatusText(const Text& text) override { status = text; }
    PortraitImage* portraitImage() override { return &portrait; }

    std::vector<Text> messages;
    std::unique_ptr<RecordingWindow> window;
    int discarded = 0;
    Text status = u"Printing...";
    FakePortrait portrait;
};

} // namespace quillet::testing
