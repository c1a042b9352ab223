// The portrait image control: loads a picture file (PNG, JPEG, BMP, GIF;
// see picture_file.h for how it is read).
#pragma once

#include "sheet/portrait_image.h"
#include "sheet/qt/picture_file.h"

#include <QImage>

#include <functional>

namespace quillet {

class QtPortraitImage : public PortraitImage {
public:
    // Loads the picture; an empty name clears it.  A file that cannot be
    // read as a picture is error 481 "Invalid picture" and clears it.
    void setFileName(const Text& fileName) override;
    const Text& fileName() const override { return fileName_; }
    int32_t pictureWidth() const override { return picture_.image.width(); }
    int32_t pictureHeight() const override { return picture_.image.height(); }

    const QImage& image() const { return picture_.image; }
    // The JPEG or PNG file the picture was read from, when PDF output can
    // use it as it is (see picture_file.h); empty otherwise.
    const QByteArray& file() const { return picture_.file; }
    // Called after every change of the picture (the portrait window redraws).
    std::function<void()> changed;

private:
    Text fileName_;
    LoadedPicture picture_;
};

} // namespace quillet
