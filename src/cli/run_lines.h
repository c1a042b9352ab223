// How quillet-print tells what each run did.  Printing one character, it
// says nothing on success and passes each message on as it comes.  With
// several characters or --watch it writes one line per character: on
// standard output the pages written, on standard error the messages of a
// run that failed, after the character file's name; --watch puts the time
// of day in front.
#pragma once

#include "common/text.h"

#include <vector>

namespace quillet {

class RunLines {
public:
    RunLines(bool oneLinePerRun, bool timeOfDay) : oneLinePerRun_(oneLinePerRun), timeOfDay_(timeOfDay) {}

    // A message during the run of `character`.
    void message(const Text& character, const Text& text);
    // The pages of `character`, written to `pdf` (empty when they go into
    // one PDF with the others).
    void printed(const Text& character, int pages, double seconds, const Text& pdf);
    void failed(const Text& character);
    void interrupted(const Text& character);
    // The PDF holding several characters.
    void wroteCombined(const Text& pdf, int pages, int characters);
    // Not written: the PDF there stays as it was.
    void keptCombined(const Text& pdf, int failures);

private:
    Text lineStart(const Text& character) const;
    void messagesOf(const Text& character);

    bool oneLinePerRun_;
    bool timeOfDay_;
    std::vector<Text> messages_;
};

} // namespace quillet
