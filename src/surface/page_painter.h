// Replays a page's drawing operations on any QPainter: the PDF and PNG
// writers, the preview widget and the printer all draw through here, so
// they all show the same thing.
#pragma once

#include "surface/document.h"

#include <QPainter>

namespace quillet::surface {

// The painter's transform must map one logical unit to one twip of the
// page, with (0, 0) at the paper's top-left corner; twipTransform gives
// that mapping for a device of `deviceDpi` at a given zoom.  Fonts are sized
// for the painter's device so that text advances equal the measured ones.
void paintPage(QPainter& painter, const Page& page);

// Scale from twips to device pixels: dpi / 1440 x zoom.
QTransform twipTransform(double deviceDpi, double zoom = 1.0, QPointF offset = {});

} // namespace quillet::surface
