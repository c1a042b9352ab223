#include "sheet/qt/qt_portrait_image.h"

#include "sheet/qt/picture_file.h"

namespace quillet {

void QtPortraitImage::setFileName(const Text& fileName)
{
    fileName_ = fileName;
    picture_ = LoadedPicture();
    if (!fileName.empty()) {
        try {
            picture_ = readPicture(fileName);
        } catch (...) {
            if (changed)
                changed();
            throw;
        }
    }
    if (changed)
        changed();
}

} // namespace quillet
