// Lays out documents of tables and paragraphs and writes them to PDF, for
// 50, 100 and 200 pages side by side, and prints the time per page and the
// ratios between the sizes: the cost should grow linearly with the pages.
// Then writes one of those documents with the surface's PDF writer and with
// Qt's, in turns, and prints the ratio of their times and file sizes.
//
//   bench_surface [output-dir]     (default: the system's temporary folder)
#include "qt_pdf_reference.h"
#include "surface/pdf_export.h"
#include "surface/surface.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

using namespace quillet::surface;
using Clock = std::chrono::steady_clock;

constexpr int kRepeats = 5;

// One section: a heading, a wrapped paragraph, a 12-row table.
void drawSection(Surface& s, int number)
{
    s.setFontBold(true);
    s.paragraph(u"Section " + quillet::decimalText(number));
    s.setFontBold(false);
    s.paragraph(u"The quick brown fox jumps over the lazy dog while the adventurers count their coins, "
                u"mend their armour, argue about the map and wonder whether the dragon is asleep. "
                u"Every paragraph wraps over several lines at the right margin.");
    quillet::Text body;
    for (int row = 1; row <= 12; ++row) {
        body += u"Skill " + quillet::decimalText(row) + u" of section " + quillet::decimalText(number) + u"|" +
                quillet::decimalText(10 + row % 7) + u"|" + quillet::decimalText(row % 4 + 1) + u";";
    }
    s.addTable(u"<4000|^1500|>1500", u"Skill|Level|Points", body, ArgValue::fromNumber(0xE0E0E0),
               ArgValue::omitted(), ArgValue::omitted());
}

struct Timing {
    double layoutMs = 0;
    double pdfMs = 0;
    int pages = 0;
    double total() const { return layoutMs + pdfMs; }
};

void layOut(Surface& s, int pages)
{
    s.startDoc();
    s.setHeader(u"Benchmark||Page %d");
    s.setFooter(u"|Quillet|");
    int section = 0;
    while (s.pageCount() < pages)
        drawSection(s, ++section);
    s.endDoc();
}

Timing runOnce(int pages, const QString& pdfPath)
{
    Timing t;
    auto start = Clock::now();
    Surface s;
    layOut(s, pages);
    auto laidOut = Clock::now();
    QString error;
    if (!writePdf(s.document(), pdfPath, &error))
        std::fprintf(stderr, "%s\n", qPrintable(error));
    auto written = Clock::now();
    t.layoutMs = std::chrono::duration<double, std::milli>(laidOut - start).count();
    t.pdfMs = std::chrono::duration<double, std::milli>(written - laidOut).count();
    t.pages = s.pageCount();
    return t;
}

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::tempPath();
    runOnce(5, QDir(dir).filePath(QStringLiteral("surface-bench-warmup.pdf")));  // fonts, caches

    // The sizes take turns, so that a busy moment on the machine hits them
    // alike; each keeps its best run.
    const int sizes[] = {50, 100, 200};
    Timing timings[3];
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        for (int i = 0; i < 3; ++i) {
            Timing t = runOnce(sizes[i], QDir(dir).filePath(QStringLiteral("surface-bench-%1.pdf").arg(sizes[i])));
            if (repeat == 0 || t.total() < timings[i].total())
                timings[i] = t;
        }
    }
    std::printf("surface: tables and paragraphs laid out and written to PDF (best of %d)\n", kRepeats);
    std::printf("%6s %11s %9s %10s %12s\n", "pages", "layout ms", "pdf ms", "total ms", "ms per page");
    for (int i = 0; i < 3; ++i) {
        const Timing& t = timings[i];
        std::printf("%6d %11.1f %9.1f %10.1f %12.3f\n", t.pages, t.layoutMs, t.pdfMs, t.total(),
                    t.total() / t.pages);
    }
    std::printf("ratio 100/50 pages: %.2f (linear: 2.00)\n", timings[1].total() / timings[0].total());
    std::printf("ratio 200/100 pages: %.2f (linear: 2.00)\n", timings[2].total() / timings[1].total());

    // The same pages through both PDF writers, in turns; each keeps its best.
    Surface s;
    layOut(s, 43);
    const QString ours = QDir(dir).filePath(QStringLiteral("surface-bench-ours.pdf"));
    const QString qt = QDir(dir).filePath(QStringLiteral("surface-bench-qt.pdf"));
    double oursMs = 0, qtMs = 0;
    for (int repeat = 0; repeat < kRepeats * 2; ++repeat) {
        auto start = Clock::now();
        writePdf(s.document(), ours);
        auto middle = Clock::now();
        quillet::surface::testing::writePdfWithQt(s.document(), qt);
        auto end = Clock::now();
        const double a = std::chrono::duration<double, std::milli>(middle - start).count();
        const double b = std::chrono::duration<double, std::milli>(end - middle).count();
        oursMs = repeat == 0 ? a : std::min(oursMs, a);
        qtMs = repeat == 0 ? b : std::min(qtMs, b);
    }
    std::printf("\nPDF writers on %d pages (best of %d): ours %.1f ms, %lld bytes; Qt's %.1f ms, %lld bytes\n",
                s.pageCount(), kRepeats * 2, oursMs, static_cast<long long>(QFileInfo(ours).size()), qtMs,
                static_cast<long long>(QFileInfo(qt).size()));
    std::printf("ratio ours/Qt: time %.2f, size %.2f\n", oursMs / qtMs,
                double(QFileInfo(ours).size()) / double(QFileInfo(qt).size()));
    return 0;
}
