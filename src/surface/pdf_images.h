// The pictures of a PDF file: each image written once, as deflated RGB or
// grey samples with its alpha as a soft mask.
#pragma once

#include "surface/pdf_syntax.h"

#include <QByteArray>
#include <QImage>

#include <unordered_map>

namespace quillet::surface::pdf {

class ImageSet {
public:
    explicit ImageSet(ObjectWriter& objects) : objects_(objects) {}

    // The resource name of `image`, written on first use.
    QByteArray nameOf(const QImage& image);

    const QByteArray& resources() const { return resources_; }

private:
    int write(const QImage& source);

    ObjectWriter& objects_;
    std::unordered_map<qint64, QByteArray> names_;
    QByteArray resources_;
};

} // namespace quillet::surface::pdf
