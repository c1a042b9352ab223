// The print object and the real surface under a stream of member calls as
// a sheet script could make them: any member, read or written, with any
// number of arguments of any kind (lengths from tiny to huge, NaN, codes
// out of range, long texts, table formats, rich text, pictures good and
// broken).  Every call either works or fails with a VB error; the document
// stays within its page limit and its pages render.  libFuzzer's -timeout
// and -rss_limit_mb catch hangs and growth without bound.
#include "fuzz_text.h"

#include "common/vb_error.h"
#include "script/value.h"
#include "sheet/cls_print_wrapper.h"
#include "sheet/qt/qt_portrait_image.h"
#include "sheet/qt/surface_adapter.h"
#include "surface/png_export.h"
#include "surface/surface.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <memory>
#include <vector>

// fontconfig keeps its configuration in allocations it never frees.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

namespace {

using namespace quillet;
using script::Access;
using script::Value;

constexpr int kMaxCalls = 64;
constexpr size_t kMaxTextBytes = 512;
constexpr int kMaxRepeat = 64;  // long texts: a piece repeated

// Picture files a call may name: a good one, a truncated one, a text file.
struct PictureFiles {
    QTemporaryDir dir;
    std::vector<Text> names;

    PictureFiles()
    {
        QImage good(8, 6, QImage::Format_RGB32);
        good.fill(Qt::darkGreen);
        good.save(dir.filePath("good.png"));
        QFile png(dir.filePath("good.png"));
        png.open(QIODevice::ReadOnly);
        const QByteArray bytes = png.readAll();
        QFile cut(dir.filePath("cut.png"));
        cut.open(QIODevice::WriteOnly);
        cut.write(bytes.left(bytes.size() / 2));
        QFile text(dir.filePath("text.jpg"));
        text.open(QIODevice::WriteOnly);
        text.write("not a picture");
        for (const char* name : {"good.png", "cut.png", "text.jpg", "missing.png"})
            names.push_back(dir.filePath(name).toStdU16String());
    }
};

PictureFiles* pictures = nullptr;

double number(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: return std::numeric_limits<double>::quiet_NaN();
    case 1: return in.ConsumeBool() ? HUGE_VAL : -HUGE_VAL;
    case 2: return in.ConsumeFloatingPoint<double>();
    case 3: return in.ConsumeIntegralInRange(-2, 12);  // codes
    default: return in.ConsumeIntegralInRange(-2000, 20000) / 100.0;  // lengths in inches
    }
}

Text text(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: {  // long: a piece repeated
        const Text piece = fuzz::takeText(in, 32);
        Text out;
        for (int n = in.ConsumeIntegralInRange(1, kMaxRepeat); n > 0; --n)
            out += piece;
        return out;
    }
    case 1:
        return pictures->names[in.ConsumeIntegralInRange<size_t>(0, pictures->names.size() - 1)];
    case 2:
        return u"{\\rtf1 " + fuzz::takeText(in, kMaxTextBytes) + u"}";
    default:
        return fuzz::takeText(in, kMaxTextBytes);
    }
}

Value argument(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 7)) {
    case 0: return Value::empty();
    case 1: return Value::null();
    case 2: return Value::boolean(in.ConsumeBool());
    case 3: return Value::longInt(in.ConsumeIntegral<int32_t>());
    case 4: return Value::missing();
    case 5:
    case 6: return Value::dbl(number(in));
    default: return Value::string(text(in));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Kept for the whole run and never destroyed: at exit Qt's thread
    // storage is gone before static objects are.
    static QGuiApplication* app = new QGuiApplication(*argc, *argv);
    (void)app;
    pictures = new PictureFiles;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    surface::Surface surface;
    SurfaceAdapter adapter(surface);
    QtPortraitImage portrait;
    auto* print = new clsPrintWrapper([](const Text&) {}, &portrait);
    const Value holder = Value::object(print);
    adapter.startDoc();
    print->SetPrintPreviewObject(&adapter);

    // Members are numbered from 1 (0 is the default member, which the
    // print object has none of).
    const script::NativeClass& members = print->nativeClass();
    int lastMember = 1;
    while (members.member(lastMember + 1))
        ++lastMember;

    for (int call = 0; call < kMaxCalls && in.remaining_bytes() > 0; ++call) {
        const int member = in.ConsumeIntegralInRange(1, lastMember);
        const bool write = in.ConsumeBool() && members.member(member)->let;
        std::vector<Value> args;
        for (int n = in.ConsumeIntegralInRange(0, 8); n > 0; --n)
            args.push_back(argument(in));
        if (write && args.empty())
            args.push_back(argument(in));
        try {
            print->invoke(member, write ? Access::Let : Access::Get, args);
        } catch (const VbError& e) {
            if (e.number() == 0)
                std::abort();  // a failure must say what it is
        }
        if (surface.pageCount() > surface::kMaxPages)
            std::abort();
    }
    print->SetPrintPreviewObject(nullptr);
    adapter.endDoc();

    // What was drawn renders, small and quickly: the first and last page.
    const surface::Document& document = surface.document();
    if (!document.pages.empty()) {
        for (const surface::Page* page : {&document.pages.front(), &document.pages.back()})
            surface::renderPageImage(*page, 4);
    }
    // Qt trims its font caches from timer events, as the program's event
    // loop lets it.
    QCoreApplication::processEvents();
    return 0;
}
