// Bytes as a picture file: read as the portrait and Picture read it, and as
// PDF output would take a JPEG or PNG as it is.  A file is either a picture
// or error 481 / 7; a file kept for PDF output has the frame of the pixels.
#include "common/vb_error.h"
#include "sheet/qt/picture_file.h"
#include "surface/jpeg_frame.h"
#include "surface/png_frame.h"

#include <QGuiApplication>

#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

const std::string& scratchFile()
{
    static const std::string path = [] {
        char name[] = "/tmp/fuzz-picture-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0)
            std::abort();
        close(fd);
        return std::string(name);
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace quillet;
    static int argc = 1;
    static char arg0[] = "fuzz_picture";
    static char* argv[] = {arg0, nullptr};
    static QGuiApplication* app = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QGuiApplication(argc, argv);
    }();
    (void)app;

    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (const auto frame = surface::pdfReadyJpegFrame(bytes)) {
        if (frame->width <= 0 || frame->height <= 0 || (frame->components != 1 && frame->components != 3))
            std::abort();
    }
    if (const auto frame = surface::pdfReadyPngFrame(bytes)) {
        if (frame->width <= 0 || frame->height <= 0 || (frame->components != 1 && frame->components != 3) ||
            frame->samples.isEmpty() || frame->samples.size() > bytes.size())
            std::abort();
    }

    std::ofstream(scratchFile(), std::ios::binary | std::ios::trunc).write(bytes.constData(), bytes.size());
    try {
        const LoadedPicture picture = readPicture(fromUtf8(scratchFile()));
        if (picture.image.isNull())
            std::abort();
        if (!picture.file.isEmpty()) {
            if (picture.file != bytes)
                std::abort();
            QSize frame;
            if (const auto jpeg = surface::pdfReadyJpegFrame(picture.file))
                frame = QSize(jpeg->width, jpeg->height);
            else if (const auto png = surface::pdfReadyPngFrame(picture.file))
                frame = QSize(png->width, png->height);
            if (frame != picture.image.size())
                std::abort();
        }
    } catch (const VbError& e) {
        if (e.number() != 481 && e.number() != 7)
            std::abort();
    }
    return 0;
}
