#include "sheet/qt/qt_portrait_image.h"

#include "sheet/qt/picture_file.h"

namespace quillet {

void QtPortraitImage::setFileName(const Text& fileName)
{
    fileName_ = fileName;
    image_ = QImage();
    if (!fileName.empty()) {
        try {
            image_ = readPictureFile(fileName);
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
