// What the sheet-script runner needs of the desktop: the preview window
// with its print surface, message boxes, the status line and the portrait
// window's image control.  The desktop implements it with real windows;
// the command-line printer and the tests with their own.
#pragma once

#include "common/text.h"

namespace quillet {

class PrintSurface;
class PortraitImage;

// The preview window as the runner sees it.
class ReportWindow {
public:
    virtual ~ReportWindow() = default;
    // The window's print surface, holding no pages in a fresh window.
    virtual PrintSurface& surface() = 0;
    // Titles the window and fits the surface to it, without showing it.
    virtual void showPreviewWindow() = 0;
    // Shows the pages and returns when the user has closed the window.
    virtual void showModal() = 0;
    // Sends the finished pages to the current printer.
    virtual void printDocument() = 0;
};

class RunnerHost {
public:
    virtual ~RunnerHost() = default;

    // A message with an OK button only and the application's title.
    virtual void messageBox(const Text& text) = 0;
    // Closes the preview window if one is loaded and releases it, so the
    // next reportWindow() makes a fresh one.
    virtual void discardReportWindow() = 0;
    virtual ReportWindow& reportWindow() = 0;
    virtual void setStatusText(const Text& text) = 0;
    // The image control that loads pictures for the print object.
    virtual PortraitImage* portraitImage() = 0;
};

} // namespace quillet
