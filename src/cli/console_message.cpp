#include "cli/console_message.h"

#include "common/text_lines.h"
#include "logging/log_text.h"

#include <iostream>

namespace quillet {

void printMessage(const Text& text)
{
    TextLines lines(text);
    do
        std::cerr << "quillet-print: " << toUtf8(logLineText(lines.next())) << '\n';
    while (!lines.atEnd());
    std::cerr.flush();
}

} // namespace quillet
