// The image control that loads the portrait for the portrait window and
// for the print object's Picture member.
#pragma once

#include "common/text.h"

#include <cstdint>

namespace quillet {

class PortraitImage {
public:
    virtual ~PortraitImage() = default;

    // Loads the picture file; an empty name clears the picture.  A file
    // that is not a readable picture is error 481 "Invalid picture".
    virtual void setFileName(const Text& fileName) = 0;
    virtual const Text& fileName() const = 0;
    // Size of the loaded picture in pixels; 0 when none is loaded.
    virtual int32_t pictureWidth() const = 0;
    virtual int32_t pictureHeight() const = 0;
};

} // namespace quillet
