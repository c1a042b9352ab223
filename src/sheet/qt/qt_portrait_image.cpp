#include "sheet/qt/qt_portrait_image.h"

#include "common/vb_error.h"

#include <QImageReader>

namespace quillet {

void QtPortraitImage::setFileName(const Text& fileName)
{
    fileName_ = fileName;
    image_ = QImage();
    if (!fileName.empty()) {
        QImageReader reader(QString::fromStdU16String(fileName));
        reader.setAutoTransform(true);
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)) {
            if (changed)
                changed();
            throw VbError(481, u"Invalid picture: " + fileName + u" is larger than " +
                                   decimalText(kMaxPictureSide) + u" pixels on a side");
        }
        image_ = reader.read();
        if (image_.isNull()) {
            if (changed)
                changed();
            throw VbError(481);
        }
    }
    if (changed)
        changed();
}

} // namespace quillet
