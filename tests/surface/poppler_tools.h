// poppler's command-line tools, which read back the PDF files the tests
// write (pdfinfo, pdftotext, pdftoppm, pdffonts).
#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

namespace quillet::surface::testing {

struct ToolResult {
    QString out;
    QString err;
};

inline ToolResult runTool(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        return {};
    return {QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

inline bool havePoppler()
{
    for (const char* tool : {"pdftotext", "pdfinfo", "pdftoppm", "pdffonts"}) {
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return false;
    }
    return true;
}

} // namespace quillet::surface::testing
