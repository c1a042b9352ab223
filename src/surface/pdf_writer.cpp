#include "surface/pdf_writer.h"

#include "common/stop_request.h"
#include "surface/pdf_export.h"
#include "surface/pdf_fonts.h"
#include "surface/pdf_images.h"
#include "surface/pdf_page.h"
#include "surface/pdf_syntax.h"

#include <QDateTime>

#include <vector>

namespace quillet::surface {
namespace {

using namespace pdf;

QByteArray pdfDate(const QDateTime& when)
{
    const QDateTime utc = when.toUTC();
    return "(D:" + utc.toString(QStringLiteral("yyyyMMddhhmmss")).toLatin1() + "Z)";
}

void writeDocument(QIODevice& device, const Document& document, const QString& title)
{
    ObjectWriter objects(device);
    const int catalog = objects.reserve(), pagesId = objects.reserve(), info = objects.reserve(),
              resources = objects.reserve();
    FontSet fonts(objects);
    ImageSet images(objects);
    PageContent content(fonts, images);

    std::vector<int> pageIds;
    for (const Page& page : document.pages) {
        const QRectF paper = pageLayoutFor(page).fullRectPoints();
        const int pageId = objects.reserve(), contentId = objects.reserve();
        objects.stream(contentId, QByteArray(), content.take(page, paper.height()), kFastDeflate);
        QByteArray dictionary = "<</Type/Page/Parent " + ref(pagesId) + "/MediaBox[0 0 ";
        dictionary << paper.width() << paper.height() << "]/Resources " << ref(resources) << "/Contents "
                   << ref(contentId) << ">>";
        objects.object(pageId, dictionary);
        pageIds.push_back(pageId);
    }

    QByteArray kids;
    for (int id : pageIds)
        kids << ref(id) << " ";
    QByteArray pagesDictionary = "<</Type/Pages/Kids[" + kids + "]/Count ";
    pagesDictionary << int(pageIds.size()) << ">>";
    objects.object(pagesId, pagesDictionary);
    objects.object(catalog, "<</Type/Catalog/Pages " + ref(pagesId) + ">>");
    const QByteArray fontResources = fonts.writeFonts();
    objects.object(resources, "<</ProcSet[/PDF/Text/ImageB/ImageC]/Font<<" + fontResources + ">>/XObject<<" +
                                  images.resources() + ">>>>");
    QByteArray infoDictionary = "<</Creator " + textString(QStringLiteral("Quillet")) +
                                "/Producer " + textString(QStringLiteral("Quillet")) +
                                "/CreationDate " + pdfDate(QDateTime::currentDateTime());
    if (!title.isEmpty())
        infoDictionary += "/Title " + textString(title);
    infoDictionary += ">>";
    objects.object(info, infoDictionary);
    objects.finish(catalog, info);
}

} // namespace

bool writePdfTo(QIODevice& device, const Document& document, const QString& title)
{
    try {
        writeDocument(device, document, title);
    } catch (const WriteFailed&) {
        // A stop makes the file refuse writes: it ends the run as a stop.
        pollStop();
        return false;
    }
    return true;
}

} // namespace quillet::surface
