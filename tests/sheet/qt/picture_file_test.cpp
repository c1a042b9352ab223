// Picture files as the portrait and Picture read them: the four formats
// recognised by content whatever the name, everything else refused with
// the usual error before a decoder sees it, sizes checked before decoding,
// and decoded pixels charged to the run's meter once however often the
// same file is placed.
#include "../../png_header.h"
#include "../../surface/qt_app.h"
#include "common/stop_request.h"
#include "common/vb_error.h"
#include "script/memory_meter.h"
#include "sheet/qt/picture_file.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>
#include <vector>

namespace quillet {
namespace {

using script::MemoryMeter;
using script::MeterScope;
using testing::pngHeader;

class PictureFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        surface::testing::ensureQtApplication();
        ASSERT_TRUE(dir_.isValid());
    }

    Text path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)).toStdU16String(); }
    Text write(const char* name, const std::string& bytes) const
    {
        std::ofstream(toUtf8(path(name)), std::ios::binary) << bytes;
        return path(name);
    }
    // A picture of `width` x `height` saved in `format` under `name`.
    Text picture(const char* name, const char* format, int width, int height) const
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QImageWriter writer(QString::fromStdU16String(path(name)), format);
        EXPECT_TRUE(writer.write(image)) << format << ": " << writer.errorString().toStdString();
        return path(name);
    }
    static int errorOf(const Text& file)
    {
        try {
            readPicture(file);
        } catch (const VbError& e) {
            EXPECT_EQ(e.description(), u"Invalid picture") << toUtf8(file);
            return e.number();
        }
        return 0;
    }

    QTemporaryDir dir_;
};

TEST_F(PictureFileTest, TheFourFormatsAreKnownByTheirContentWhateverTheName)
{
    EXPECT_EQ(readPicture(picture("photo.svg", "png", 30, 20)).image.size(), QSize(30, 20));
    EXPECT_EQ(readPicture(picture("photo.dat", "jpeg", 31, 21)).image.size(), QSize(31, 21));
    EXPECT_EQ(readPicture(picture("photo", "bmp", 32, 22)).image.size(), QSize(32, 22));
    // Qt writes no GIF: a one-pixel one by hand.
    const std::string gif("GIF89a\x01\0\x01\0\x80\0\0\0\0\0\xFF\xFF\xFF,\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0;", 35);
    EXPECT_EQ(readPicture(write("photo.png", gif)).image.size(), QSize(1, 1));
}

TEST_F(PictureFileTest, AJpegKeepsItsFileUnlessItsPixelsDifferFromIt)
{
    const Text jpeg = picture("photo.jpg", "jpeg", 40, 30);
    QFile file(QString::fromStdU16String(jpeg));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const LoadedPicture loaded = readPicture(jpeg);
    EXPECT_EQ(loaded.file, bytes);
    EXPECT_EQ(readPicture(jpeg).file, bytes) << "read again, from the shared pixels";
    EXPECT_TRUE(readPicture(picture("photo.bmp", "bmp", 40, 30)).file.isEmpty());

    // Turned by its orientation tag (an Exif segment after the start of
    // the image saying "rotate 90°" or "rotate 180°"): the pixels are the
    // turned picture, which the file is not.
    for (const char orientation : {'\x06', '\x03'}) {
        const std::string exif = std::string("\xFF\xE1\x00\x22"
                                             "Exif\0\0"
                                             "MM\x00\x2A\x00\x00\x00\x08"
                                             "\x00\x01\x01\x12\x00\x03\x00\x00\x00\x01\x00",
                                             29) +
                                 orientation + std::string(6, '\0');
        const LoadedPicture turned =
            readPicture(write(orientation == '\x06' ? "turned90.jpg" : "turned180.jpg",
                              bytes.left(2).toStdString() + exif + bytes.mid(2).toStdString()));
        EXPECT_EQ(turned.image.size(), orientation == '\x06' ? QSize(30, 40) : QSize(40, 30));
        EXPECT_TRUE(turned.file.isEmpty()) << int(orientation);
    }
}

TEST_F(PictureFileTest, APngKeepsItsFileWhenAPdfCanHoldItsSamples)
{
    const Text png = picture("photo.png", "png", 40, 30);
    QFile file(QString::fromStdU16String(png));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(readPicture(png).file, file.readAll());

    // Transparency is a soft mask the PDF writer makes from the pixels.
    QImage clear(40, 30, QImage::Format_ARGB32);
    clear.fill(QColor(0, 128, 128, 100));
    ASSERT_TRUE(clear.save(QString::fromStdU16String(path("clear.png")), "png"));
    const LoadedPicture loaded = readPicture(path("clear.png"));
    EXPECT_TRUE(loaded.image.hasAlphaChannel());
    EXPECT_TRUE(loaded.file.isEmpty());
}

TEST_F(PictureFileTest, AnythingElseIsAnInvalidPictureBeforeAnyDecoderSeesIt)
{
    // An SVG that draws itself, which an SVG reader would follow forever,
    // and one pointing at a pipe it would wait on.
    const std::string selfDrawing = "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                                    "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"10\" height=\"10\">"
                                    "<image xlink:href=\"loop.png\" width=\"10\" height=\"10\"/></svg>";
    EXPECT_EQ(errorOf(write("loop.png", selfDrawing)), 481);
    EXPECT_EQ(errorOf(write("loop.svg", selfDrawing)), 481);
    EXPECT_EQ(errorOf(write("zipped.svgz", "\x1f\x8b\x08\x00 not a picture")), 481);
    EXPECT_EQ(errorOf(write("text.png", "just some text")), 481);
    EXPECT_EQ(errorOf(write("empty.png", "")), 481);
    EXPECT_EQ(errorOf(write("cut.png", pngHeader(10, 10).substr(0, 12))), 481);
    EXPECT_EQ(errorOf(path("missing.png")), 481);
    EXPECT_EQ(errorOf(Text(dir_.path().toStdU16String())), 481);
    // A named pipe is refused without being opened (opening would wait
    // for a writer that never comes).
    ASSERT_EQ(::mkfifo(toUtf8(path("pipe.png")).c_str(), 0600), 0);
    EXPECT_EQ(errorOf(path("pipe.png")), 481);
}

TEST_F(PictureFileTest, SizesAreCheckedBeforeAnythingIsDecoded)
{
    auto meter = MemoryMeter::create(size_t(1) << 30);
    MeterScope scope(meter.get());
    for (const auto& [width, height, why] :
         {std::tuple{20000u, 10u, u"larger than 12000 pixels on a side"},
          std::tuple{9000u, 9000u, u"has more than 67108864 pixels"}}) {
        try {
            readPicture(write("huge.png", pngHeader(width, height)));
            ADD_FAILURE() << width << " x " << height << " was read";
        } catch (const VbError& e) {
            EXPECT_EQ(e.number(), 481);
            EXPECT_NE(e.description().find(why), Text::npos) << toUtf8(e.description());
        }
    }
    EXPECT_EQ(meter->used(), 0u);
}

TEST_F(PictureFileTest, DecodedPixelsAreChargedOnceAndSharedWhileInUse)
{
    const Text file = picture("portrait.png", "png", 1000, 800);
    // The pixels, and the file kept for PDF output (its samples go in as
    // they are).
    const size_t bytes = 1000 * 800 * 4 + size_t(QFileInfo(QString::fromStdU16String(file)).size());
    auto meter = MemoryMeter::create(64 << 20);
    {
        MeterScope scope(meter.get());
        std::vector<QImage> placed;
        for (int i = 0; i < 60; ++i)
            placed.push_back(readPicture(file).image);
        EXPECT_EQ(meter->used(), bytes);
        EXPECT_EQ(placed.front().constBits(), placed.back().constBits());

        // Another run (another meter) pays for its own copy.
        auto other = MemoryMeter::create(64 << 20);
        {
            MeterScope otherRun(other.get());
            const QImage own = readPicture(file).image;
            EXPECT_NE(own.constBits(), placed.front().constBits());
            EXPECT_EQ(other->used(), bytes);
        }
        EXPECT_EQ(other->used(), 0u);

        // A file written anew is read anew.
        picture("portrait.png", "png", 500, 800);
        const QImage rewritten = readPicture(file).image;
        EXPECT_EQ(rewritten.width(), 500);
        EXPECT_EQ(meter->used(), bytes + 500 * 800 * 4 + QFileInfo(QString::fromStdU16String(file)).size());
    }
    // Charged as long as any image shows the pixels, and no longer.
    EXPECT_EQ(meter->used(), 0u);
}

TEST_F(PictureFileTest, APictureBeyondTheRunsLimitIsOutOfMemoryBeforeDecoding)
{
    const Text file = picture("big.png", "png", 1000, 1000);
    auto meter = MemoryMeter::create(1 << 20);
    MeterScope scope(meter.get());
    try {
        readPicture(file);
        ADD_FAILURE() << "read past the limit";
    } catch (const VbError& e) {
        EXPECT_EQ(e.number(), 7);
    }
    EXPECT_EQ(meter->used(), 0u);
}

TEST_F(PictureFileTest, AStopRequestEndsTheRead)
{
    const Text file = picture("stopped.png", "png", 200, 200);
    std::atomic<bool> stop{true};
    StopScope stopping(&stop);
    EXPECT_THROW(readPicture(file).image, StopRequested);
    stop.store(false);
    EXPECT_EQ(readPicture(file).image.width(), 200);
}

} // namespace
} // namespace quillet
