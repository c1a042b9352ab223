#include "cli/run_lines.h"

#include "cli/console_message.h"
#include "common/file_system.h"
#include "common/text_lines.h"

#include <QTime>

#include <cstdio>
#include <iostream>

namespace quillet {

namespace {

Text pageCount(int pages)
{
    return decimalText(pages) + (pages == 1 ? u" page" : u" pages");
}

Text secondsText(double seconds)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f s", seconds);
    return fromUtf8(buffer);
}

} // namespace

Text RunLines::lineStart(const Text& character) const
{
    Text start;
    if (timeOfDay_)
        start = QTime::currentTime().toString(QStringLiteral("HH:mm:ss")).toStdU16String() + u" ";
    if (!character.empty())
        start += fileNameOf(character) + u": ";
    return start;
}

void RunLines::message(const Text&, const Text& text)
{
    if (!oneLinePerRun_) {
        printMessage(text);
        return;
    }
    // The lines of one message become one, as the run's line does.
    TextLines lines(text);
    Text joined;
    do {
        const Text line(lines.next());
        if (!joined.empty())
            joined += u" / ";
        joined += line;
    } while (!lines.atEnd());
    messages_.push_back(joined);
}

void RunLines::messagesOf(const Text& character)
{
    for (const Text& text : messages_)
        printMessage(lineStart(character) + text);
    messages_.clear();
}

void RunLines::printed(const Text& character, int pages, double seconds, const Text& pdf)
{
    if (!oneLinePerRun_)
        return;
    messagesOf(character); // a MsgBox of a script that printed
    Text line = lineStart(character) + pageCount(pages) + u" in " + secondsText(seconds);
    if (!pdf.empty())
        line += u" -> " + pdf;
    std::cout << toUtf8(line) << std::endl;
}

void RunLines::failed(const Text& character)
{
    if (!oneLinePerRun_)
        return;
    if (messages_.empty())
        messages_.push_back(u"failed; the log above says why");
    messagesOf(character);
}

void RunLines::interrupted(const Text& character)
{
    messages_.clear();
    printMessage(lineStart(character) + u"interrupted; nothing written");
}

void RunLines::wroteCombined(const Text& pdf, int pages, int characters)
{
    const Text line = lineStart(Text()) + pdf + u": " + pageCount(pages) + u", " + decimalText(characters) +
                      (characters == 1 ? u" character" : u" characters");
    std::cout << toUtf8(line) << std::endl;
}

void RunLines::keptCombined(const Text& pdf, int failures)
{
    printMessage(lineStart(Text()) + pdf + u" not written: " + decimalText(failures) +
                 (failures == 1 ? u" character" : u" characters") + u" failed");
}

} // namespace quillet
