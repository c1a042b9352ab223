// Running sheets without a screen: a preview window that is only the real
// print surface, whose finished pages the owner reads from document() (to
// write them to files, or to look at them in tests) instead of showing or
// printing them, and a runner host around it with its own image control.
// The owner decides where message boxes go.
#pragma once

#include "sheet/qt/qt_portrait_image.h"
#include "sheet/qt/surface_adapter.h"
#include "sheet/runner_host.h"
#include "surface/surface.h"

#include <memory>

namespace quillet {

class OffscreenReportWindow : public ReportWindow {
public:
    OffscreenReportWindow() : adapter_(surface_) {}
    PrintSurface& surface() override { return adapter_; }
    void showPreviewWindow() override {}
    void showModal() override {}
    void printDocument() override { printed = true; }

    const surface::Document& document() const { return surface_.document(); }
    surface::Document takeDocument() { return surface_.takeDocument(); }
    bool printed = false;

private:
    surface::Surface surface_;
    SurfaceAdapter adapter_;
};

class OffscreenRunnerHost : public RunnerHost {
public:
    void discardReportWindow() override { window_.reset(); }
    ReportWindow& reportWindow() override
    {
        if (!window_)
            window_ = std::make_unique<OffscreenReportWindow>();
        return *window_;
    }
    void setStatusText(const Text&) override {}
    PortraitImage* portraitImage() override { return &portrait_; }

    // The window of the last run, or null before any.
    OffscreenReportWindow* window() const { return window_.get(); }

private:
    std::unique_ptr<OffscreenReportWindow> window_;
    QtPortraitImage portrait_;
};

} // namespace quillet
