#include "sheet/qt/picture_file.h"

#include "common/file_system.h"
#include "common/stop_request.h"
#include "common/vb_error.h"
#include "script/metered.h"
#include "surface/jpeg_frame.h"
#include "surface/png_frame.h"

#include <QBuffer>
#include <QImageReader>

#include <map>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <tuple>

namespace quillet {

namespace {

constexpr int kInvalidPicture = 481;

// Not a picture of the four formats, or not one that decodes.
[[noreturn]] void refuse()
{
    throw VbError(kInvalidPicture);
}

[[noreturn]] void refuseAsTooLarge(const Text& path, const Text& why)
{
    throw VbError(kInvalidPicture, vbErrorDescription(kInvalidPicture) + u": " + path + u" " + why);
}

const char* formatName(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Png: return "png";
    case PictureFormat::Jpeg: return "jpeg";
    case PictureFormat::Bmp: return "bmp";
    case PictureFormat::Gif: return "gif";
    case PictureFormat::Unknown: break;
    }
    return "";
}

// The file's bytes as a decoder reads them, failing once a stop is asked
// for: the decoder then gives up within one read.
class StoppableBuffer : public QBuffer {
public:
    using QBuffer::QBuffer;

protected:
    qint64 readData(char* data, qint64 length) override
    {
        if (StopScope::requested())
            return -1;
        return QBuffer::readData(data, length);
    }
};

// Decoded pixels and what they are charged; owned by every image showing
// them (see sharedView).
struct DecodedPixels {
    script::MemoryCharge charge;
    QImage image;
    QByteArray file;
    script::MemoryMeter* meter = nullptr;
};

// Which file, as it is now: another file or a rewritten one is another key.
using FileKey = std::tuple<dev_t, ino_t, off_t, time_t, long>;

// Pixels still in use somewhere, by file.  Entries expire with the last
// image showing them.
class SharedPictures {
public:
    std::shared_ptr<DecodedPixels> find(const FileKey& key, script::MemoryMeter* meter)
    {
        std::lock_guard lock(mutex_);
        for (auto it = entries_.begin(); it != entries_.end();) {
            if (it->second.expired())
                it = entries_.erase(it);
            else
                ++it;
        }
        auto it = entries_.find(key);
        if (it == entries_.end())
            return nullptr;
        std::shared_ptr<DecodedPixels> pixels = it->second.lock();
        return pixels && pixels->meter == meter ? pixels : nullptr;
    }
    void remember(const FileKey& key, const std::shared_ptr<DecodedPixels>& pixels)
    {
        std::lock_guard lock(mutex_);
        entries_[key] = pixels;
    }

private:
    std::mutex mutex_;
    std::map<FileKey, std::weak_ptr<DecodedPixels>> entries_;
};

SharedPictures& sharedPictures()
{
    static SharedPictures pictures;
    return pictures;
}

// An image over the shared pixels: when its last copy goes, so does its
// hold on them.
QImage sharedView(const std::shared_ptr<DecodedPixels>& pixels)
{
    QImage& image = pixels->image;
    auto* hold = new std::shared_ptr<DecodedPixels>(pixels);
    return QImage(
        image.bits(), image.width(), image.height(), image.bytesPerLine(), image.format(),
        [](void* held) { delete static_cast<std::shared_ptr<DecodedPixels>*>(held); }, hold);
}

// The size of the picture in `data` when a PDF can hold the file as it is
// (JPEG and PNG only); nothing otherwise.
std::optional<QSize> pdfReadySize(PictureFormat format, const QByteArray& data)
{
    if (format == PictureFormat::Jpeg) {
        if (const std::optional<surface::JpegFrame> frame = surface::pdfReadyJpegFrame(data))
            return QSize(frame->width, frame->height);
    } else if (format == PictureFormat::Png) {
        if (const std::optional<surface::PngFrame> frame = surface::pdfReadyPngFrame(data))
            return QSize(frame->width, frame->height);
    }
    return std::nullopt;
}

std::shared_ptr<DecodedPixels> decode(const Text& path, const std::string& bytes)
{
    const PictureFormat format = sniffPictureFormat(bytes);
    if (format == PictureFormat::Unknown)
        refuse();

    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    StoppableBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, formatName(format));
    reader.setAutoDetectImageFormat(false);
    reader.setAutoTransform(true);
    // Decoders may hold up to 8 bytes a pixel (16-bit channels) before
    // the picture is brought to 32 bits.
    reader.setAllocationLimit(static_cast<int>(kMaxPicturePixels * 8 >> 20));

    const QSize size = reader.size();
    if (!size.isValid()) {
        pollStop(); // the reader may have failed for the stop
        refuse();
    }
    if (size.width() > kMaxPictureSide || size.height() > kMaxPictureSide)
        refuseAsTooLarge(path, u"is larger than " + decimalText(kMaxPictureSide) + u" pixels on a side");
    if (qint64(size.width()) * size.height() > kMaxPicturePixels)
        refuseAsTooLarge(path, u"has more than " + decimalText(kMaxPicturePixels) + u" pixels");

    // Asked before decoding: afterwards the reader no longer says.
    const bool turned = reader.transformation() != QImageIOHandler::TransformationNone;

    auto pixels = std::make_shared<DecodedPixels>();
    pixels->meter = script::MemoryMeter::current();
    pixels->charge = script::MemoryCharge(size_t(size.width()) * size_t(size.height()) * 4);
    QImage decoded = reader.read();
    pollStop();
    if (decoded.isNull())
        refuse();
    pixels->image = decoded.convertToFormat(decoded.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                      : QImage::Format_RGB32);
    decoded = QImage();
    if (!turned && pdfReadySize(format, data) == pixels->image.size())
        pixels->file = QByteArray(data.constData(), data.size());
    pixels->charge.settle(static_cast<size_t>(pixels->image.sizeInBytes() + pixels->file.size()));
    return pixels;
}

} // namespace

PictureFormat sniffPictureFormat(std::string_view b)
{
    if (b.starts_with("\x89PNG\r\n\x1A\n"))
        return PictureFormat::Png;
    if (b.starts_with("\xFF\xD8\xFF"))
        return PictureFormat::Jpeg;
    if (b.starts_with("GIF87a") || b.starts_with("GIF89a"))
        return PictureFormat::Gif;
    if (b.starts_with("BM") && b.size() >= 26)
        return PictureFormat::Bmp;
    return PictureFormat::Unknown;
}

LoadedPicture readPicture(const Text& path)
{
    pollStop();
    struct stat st {};
    if (::stat(toUtf8(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        refuse();
    const FileKey key{st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
    script::MemoryMeter* meter = script::MemoryMeter::current();
    if (std::shared_ptr<DecodedPixels> shared = sharedPictures().find(key, meter))
        return {sharedView(shared), shared->file};

    std::string bytes;
    try {
        bytes = readFileBytes(path);
    } catch (const VbError&) {
        refuse();
    }
    std::shared_ptr<DecodedPixels> pixels = decode(path, bytes);
    sharedPictures().remember(key, pixels);
    return {sharedView(pixels), pixels->file};
}

} // namespace quillet
