// The pictures of a PDF file: each image written once, as the JPEG file it
// came from, or the compressed samples of the PNG file it came from, when
// it has one that a PDF can hold; otherwise as deflated RGB or grey samples
// with its alpha as a soft mask.
#pragma once

#include "surface/pdf_syntax.h"

#include <QByteArray>
#include <QImage>

#include <unordered_map>

namespace quillet::surface::pdf {

class ImageSet {
public:
    explicit ImageSet(ObjectWriter& objects) : objects_(objects) {}

    // The resource name of `image` (decoded from `file`, a JPEG or PNG
    // file, if not empty), written on first use.
    QByteArray nameOf(const QImage& image, const QByteArray& file = {});

    const QByteArray& resources() const { return resources_; }

private:
    int write(const QImage& source);
    // -1 (nothing written) when `jpeg` is no JPEG of `size` a PDF can hold.
    int writeJpeg(const QByteArray& jpeg, QSize size);
    // -1 (nothing written) when `png` is no PNG of `size` a PDF can hold.
    int writePng(const QByteArray& png, QSize size);
    // 8-bit samples of `components` (1 grey, 3 colour) already encoded as
    // `filter` says.
    int writeEncoded(QSize size, int components, const QByteArray& filter, const QByteArray& samples);

    ObjectWriter& objects_;
    std::unordered_map<qint64, QByteArray> names_;
    QByteArray resources_;
};

} // namespace quillet::surface::pdf
