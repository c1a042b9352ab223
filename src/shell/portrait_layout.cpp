#include "shell/portrait_layout.h"

#include "common/vb_number.h"

namespace quillet {

std::optional<PortraitLayout> layoutPortraitWindow(const PortraitWindowMeasures& m)
{
    if (m.minimized || m.outerHeight < kPortraitMinimumOuter || m.outerWidth < kPortraitMinimumOuter)
        return std::nullopt;
    PortraitLayout layout;
    layout.buttonsLeft = toInt16(double(m.innerWidth) - kPortraitButtonWidth - 60);
    layout.imageWidth = toInt16(double(layout.buttonsLeft) - m.imageLeft - 120);
    layout.imageHeight = m.innerHeight - m.imageTop - 60;
    return layout;
}

} // namespace quillet
