// A manual check of the surface: draws a small character-sheet-like
// document with every kind of output and writes it as PDF and PNG pages,
// or shows it in the preview widget.
//
//   quillet-surface-demo out.pdf [pages.png-pattern-with-%1 [dpi]]
//   quillet-surface-demo --preview
//   quillet-surface-demo --preview-shot out.png [0-3]   (zoom menu entry)
#include "surface/pdf_export.h"
#include "surface/png_export.h"
#include "surface/surface.h"
#include "surface/widgets/preview_widget.h"

#include <QApplication>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

using namespace quillet::surface;

void drawDemo(Surface& s)
{
    s.startDoc();
    s.setHeader(u"Quillet surface demo||Page %d");
    s.setFooter(u"|Printed with the surface demo|");
    s.setPageBorder(4);
    s.setPenColor(0xA0A0A0);

    // A stats box at the top right; the text on its left wraps before it.
    s.setBrushColor(0xC8C8C8);
    s.setPenColor(0xC8C8C8);
    s.drawRectangle(7272, 1512, 10872, 2952);
    s.setBrushColor(0xFFFFFF);
    s.setPenColor(0);
    s.drawRectangle(7200, 1440, 10800, 2880);
    s.textBox(u"ST 12   DX 14\r\nIQ 11   HT 12\r\nHP 12   Will 11", 7300, 1500, 3400, 1300);
    s.setMarginRight(12240 - 7000);

    s.setFontSize(20);
    s.setFontBold(true);
    s.paragraph(u"Aldric the Bold");
    s.setFontSize(11.25);
    s.setFontBold(false);
    s.text(u"Player: ");
    s.setFontItalic(true);
    s.text(u"Somebody");
    s.setFontItalic(false);
    s.text(u"\r\n");
    s.paragraph(u"{\\rtf1{\\colortbl;\\red160\\green0\\blue0;}A {\\b bold} adventurer of {\\cf1 fiery} temper, "
                u"quick with a blade and slow to forgive. {\\i Born in the hills}, raised in the city, and "
                u"never at home in either.\\par}");
    s.setMarginRight(1440);

    s.setCurrentY(3200);
    s.setTablePenTB(20);
    s.addTable(u"<3000|^1000|>1000", u"Skill|Level|Points",
               u"Broadsword|15|8;Stealth|13|4;Climbing|12|2;Riding (Horse)|12|2;Survival (Hills)|11|1;",
               ArgValue::fromNumber(0xE0E0E0), ArgValue::omitted(), ArgValue::omitted());
    QImage portrait(60, 80, QImage::Format_RGB32);
    portrait.fill(QColor(70, 110, 160));
    s.setPictureX1(8400);
    s.setPictureY1(3200);
    s.setPictureX2(10200);
    s.setPictureY2(5600);
    s.placePicture(portrait);
    s.drawLine(1440, 5900, 10800, 5900);

    s.newPage();
    s.setColumns(2);
    for (int i = 1; i <= 80; ++i)
        s.paragraph(u"Equipment line " + quillet::decimalText(i) + u": rope, torch, rations and a long story.");
    s.endDoc();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    Surface surface;
    drawDemo(surface);
    if (args.size() >= 2 && args[1] == QStringLiteral("--preview")) {
        PreviewWidget preview;
        preview.setDocument(surface.document());
        preview.resize(900, 1000);
        preview.show();
        return app.exec();
    }
    if (args.size() >= 3 && args[1] == QStringLiteral("--preview-shot")) {
        PreviewWidget preview;
        preview.setDocument(surface.document());
        preview.resize(900, 700);
        preview.show();
        if (args.size() >= 4)
            preview.setZoomMode(static_cast<ZoomMode>(std::clamp(args[3].toInt(), 0, 3)));
        return preview.grab().save(args[2]) ? 0 : 1;
    }
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: quillet-surface-demo out.pdf [pages-%%1.png [dpi]] | --preview\n");
        return 2;
    }
    QString error;
    if (!writePdf(surface.document(), args[1], &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    if (args.size() >= 3) {
        double dpi = args.size() >= 4 ? args[3].toDouble() : 96;
        if (!writePngPages(surface.document(), args[2], dpi, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
    }
    return 0;
}
