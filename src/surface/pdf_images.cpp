#include "surface/pdf_images.h"

#include "common/stop_request.h"
#include "surface/jpeg_frame.h"
#include "surface/png_frame.h"

namespace quillet::surface::pdf {

namespace {

QByteArray imageDictionary(int width, int height, const char* colourSpace)
{
    QByteArray dictionary = "/Type/XObject/Subtype/Image/Width ";
    dictionary << width << "/Height " << height << "/BitsPerComponent 8/ColorSpace" << colourSpace;
    return dictionary;
}

} // namespace

QByteArray ImageSet::nameOf(const QImage& image, const QByteArray& file)
{
    auto it = names_.find(image.cacheKey());
    if (it != names_.end())
        return it->second;
    QByteArray name = "I" + QByteArray::number(qsizetype(names_.size()));
    // Each writer takes only a file of its own format.
    int id = file.isEmpty() ? -1 : writeJpeg(file, image.size());
    if (id < 0 && !file.isEmpty())
        id = writePng(file, image.size());
    if (id < 0)
        id = write(image);
    resources_.append('/' + name + ' ' + ref(id));
    names_.emplace(image.cacheKey(), name);
    return name;
}

int ImageSet::write(const QImage& source)
{
    const bool alpha = source.hasAlphaChannel();
    const bool gray = !alpha && source.allGray();
    const QImage image = source.convertToFormat(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const int w = image.width(), h = image.height();
    const int channels = gray ? 1 : 3;
    QByteArray pixels(qsizetype(w) * h * channels, Qt::Uninitialized);
    QByteArray mask(alpha ? qsizetype(w) * h : 0, Qt::Uninitialized);
    char* colour = pixels.data();
    char* cover = mask.data();
    bool opaque = true;
    for (int y = 0; y < h; ++y) {
        pollStop();
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb p = line[x];
            *colour++ = char(qRed(p));
            if (!gray) {
                *colour++ = char(qGreen(p));
                *colour++ = char(qBlue(p));
            }
            if (alpha) {
                *cover++ = char(qAlpha(p));
                opaque = opaque && qAlpha(p) == 255;
            }
        }
    }
    QByteArray dictionary = imageDictionary(w, h, gray ? "/DeviceGray" : "/DeviceRGB");
    if (alpha && !opaque) {
        const int maskId = objects_.reserve();
        objects_.stream(maskId, imageDictionary(w, h, "/DeviceGray"), mask);
        dictionary.append("/SMask " + ref(maskId));
    }
    const int id = objects_.reserve();
    objects_.stream(id, dictionary, pixels);
    return id;
}

int ImageSet::writeJpeg(const QByteArray& jpeg, QSize size)
{
    // Only a file that is still what was decoded: the samples then go in
    // as they are.
    const std::optional<JpegFrame> frame = pdfReadyJpegFrame(jpeg);
    if (!frame || QSize(frame->width, frame->height) != size)
        return -1;
    return writeEncoded(size, frame->components, "/Filter/DCTDecode", jpeg);
}

int ImageSet::writePng(const QByteArray& png, QSize size)
{
    const std::optional<PngFrame> frame = pdfReadyPngFrame(png);
    if (!frame || QSize(frame->width, frame->height) != size)
        return -1;
    // The rows as the file filtered them, each led by its filter type.
    QByteArray filter = "/Filter/FlateDecode/DecodeParms<</Predictor 15/Colors ";
    filter << frame->components << "/BitsPerComponent 8/Columns " << frame->width << ">>";
    return writeEncoded(size, frame->components, filter, frame->samples);
}

int ImageSet::writeEncoded(QSize size, int components, const QByteArray& filter, const QByteArray& samples)
{
    QByteArray dictionary =
        imageDictionary(size.width(), size.height(), components == 1 ? "/DeviceGray" : "/DeviceRGB");
    dictionary.append(filter);
    const int id = objects_.reserve();
    objects_.encodedStream(id, dictionary, samples);
    return id;
}

} // namespace quillet::surface::pdf
