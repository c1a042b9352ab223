// Printing through a real CUPS queue: the Print command sends the sample
// character's sheet to a queue of printer-driver-cups-pdf, whose pages
// arrive as a PDF file (.ci/run starts CUPS and adds such a queue).
#include "shell_fixture.h"

#include "../run_command.h"

#include <QFileInfo>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QThread>

#include <chrono>
#include <map>
#include <optional>
#include <pwd.h>
#include <unistd.h>

namespace quillet::testing {

namespace {

std::string output(const std::string& command)
{
    return runCommand("LC_ALL=C " + command + " 2>/dev/null").out;
}

// The queue scripts/start-print-queue.sh adds, or else any queue whose
// device is cups-pdf, as lpstat lists them.
std::optional<QString> pdfQueue()
{
    static const QRegularExpression device(QStringLiteral("^device for ([^:]+): cups-pdf:"),
                                           QRegularExpression::MultilineOption);
    std::optional<QString> queue;
    auto matches = device.globalMatch(QString::fromStdString(output("lpstat -v")));
    while (matches.hasNext()) {
        const QString name = matches.next().captured(1);
        if (!queue || name == QLatin1String("quillet-pdf"))
            queue = name;
    }
    return queue;
}

// Where cups-pdf puts the pages of this user's jobs: "Out" in its
// settings, ${HOME}/PDF unless set.
QString pdfFolder()
{
    QString folder = QStringLiteral("${HOME}/PDF");
    QFile conf(QStringLiteral("/etc/cups/cups-pdf.conf"));
    if (conf.open(QIODevice::ReadOnly)) {
        static const QRegularExpression out(QStringLiteral("^Out\\s+(\\S.*)$"), QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = out.match(QString::fromUtf8(conf.readAll()));
        if (match.hasMatch())
            folder = match.captured(1).trimmed();
    }
    const passwd* user = ::getpwuid(::getuid());
    if (user) {
        folder.replace(QStringLiteral("${HOME}"), QString::fromLocal8Bit(user->pw_dir));
        folder.replace(QStringLiteral("${USER}"), QString::fromLocal8Bit(user->pw_name));
    }
    return folder;
}

// The PDFs in a folder, with when each was last written.
std::map<QString, QDateTime> pdfsIn(const QString& folder)
{
    std::map<QString, QDateTime> files;
    for (const QFileInfo& file : QDir(folder).entryInfoList({QStringLiteral("*.pdf")}, QDir::Files))
        files[file.absoluteFilePath()] = file.lastModified();
    return files;
}

int pdfPages(const QString& pdf)
{
    const std::string info = output("pdfinfo '" + pdf.toStdString() + "'");
    const size_t at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
}

std::string pdfText(const QString& pdf)
{
    return output("pdftotext '" + pdf.toStdString() + "' -");
}

} // namespace

class CupsPrintTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        queue = pdfQueue();
        if (!queue)
            GTEST_SKIP() << "No CUPS queue of printer-driver-cups-pdf is reachable (lpstat -v lists none): "
                            "scripts/start-print-queue.sh starts CUPS and adds one, as .ci/run does.";
        start();
        load("aldric.kvr");
        ASSERT_EQ(characterName(), u"Sir Aldric Venn");
    }
    // Once the queue has no job left, the newest PDF written in `folder`
    // since `before`; empty when none came within two minutes.
    QString arrivedPdf(const QString& folder, const std::map<QString, QDateTime>& before)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
        while (std::chrono::steady_clock::now() < deadline) {
            if (output("lpstat -o '" + queue->toStdString() + "'").empty()) {
                for (const auto& [file, written] : pdfsIn(folder)) {
                    const auto old = before.find(file);
                    if (old == before.end() || old->second != written)
                        return file;
                }
            }
            QThread::msleep(200);
        }
        return {};
    }

    std::optional<QString> queue;
};

TEST_F(CupsPrintTest, PrintSendsTheSheetToTheQueueAndItsPagesArrive)
{
    // The pages the sheet makes, printed to a file by the same command.
    QPrinter& printer = shell->printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdU16String(path("reference.pdf")));
    trigger("MenuFilePrint");
    ASSERT_TRUE(dialogs.messages.empty()) << toUtf8(dialogs.messageTexts().front());
    const int pages = pdfPages(QString::fromStdU16String(path("reference.pdf")));
    ASSERT_GE(pages, 1);

    ASSERT_FALSE(QPrinterInfo::printerInfo(*queue).isNull()) << "Qt does not see the queue " << queue->toStdString();
    printer.setOutputFileName(QString());
    printer.setPrinterName(*queue);
    ASSERT_EQ(printer.outputFormat(), QPrinter::NativeFormat);
    const QString folder = pdfFolder();
    const std::map<QString, QDateTime> before = pdfsIn(folder);
    trigger("MenuFilePrint");
    ASSERT_TRUE(dialogs.messages.empty()) << toUtf8(dialogs.messageTexts().front());

    const QString arrived = arrivedPdf(folder, before);
    ASSERT_FALSE(arrived.isEmpty()) << "no PDF arrived in " << folder.toStdString() << " from the queue "
                                    << queue->toStdString() << "; see /var/log/cups/error_log and "
                                    << "/var/log/cups/cups-pdf-" << queue->toStdString() << "_log";
    EXPECT_EQ(pdfPages(arrived), pages);
    const std::string text = pdfText(arrived);
    const char* hint = "\n(a queue that renders with Ghostscript turns the letters into pictures: "
                       "scripts/start-print-queue.sh sets pdftops-renderer-default=pdftocairo)";
    EXPECT_NE(text.find("Sir Aldric Venn"), std::string::npos) << text << hint;
    EXPECT_NE(text.find("Dana Okafor"), std::string::npos) << text << hint;
    QFile::remove(arrived);
}

} // namespace quillet::testing
