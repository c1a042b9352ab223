// Window measures between Qt's pixels and the settings' twips, and
// placing a window where the settings say without losing it off screen.
#pragma once

#include "logging/log_layout.h"

#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

namespace quillet {

WindowMeasures twipsOf(const QRect& pixels);
QRect pixelsOf(const WindowMeasures& twips);

// The screens' usable area, in twips; nothing when there is no screen.
std::optional<WindowMeasures> usableScreenArea();

// `stored` (pixels) moved and shrunk as little as needed to lie on the
// screens.
QRect fittedToScreens(const QRect& stored);

// A size of `width` by `height` twips in pixels; an empty size for 0.
QSize pixelSizeOf(float width, float height);

} // namespace quillet
