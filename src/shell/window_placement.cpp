#include "shell/window_placement.h"

#include "shell/twips.h"

#include <QGuiApplication>
#include <QScreen>

namespace quillet {

WindowMeasures twipsOf(const QRect& pixels)
{
    return {pixelsToTwips(pixels.x()), pixelsToTwips(pixels.y()), pixelsToTwips(pixels.width()),
            pixelsToTwips(pixels.height())};
}

QRect pixelsOf(const WindowMeasures& twips)
{
    return QRect(twipsToPixels(twips.left), twipsToPixels(twips.top), twipsToPixels(twips.width),
                 twipsToPixels(twips.height));
}

std::optional<WindowMeasures> usableScreenArea()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    return twipsOf(screen->availableVirtualGeometry());
}

QRect fittedToScreens(const QRect& stored)
{
    const std::optional<WindowMeasures> screens = usableScreenArea();
    if (!screens)
        return stored;
    return pixelsOf(fitWindowToScreen(twipsOf(stored), *screens));
}

QSize pixelSizeOf(float width, float height)
{
    if (width <= 0 || height <= 0)
        return QSize();
    return QSize(twipsToPixels(width), twipsToPixels(height));
}

} // namespace quillet
