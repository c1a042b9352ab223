// End-to-end printing with quillet-print, process start to exit, side by
// side in one run:
//   empty      a sheet whose Sub main draws nothing: the floor (starting
//              the program, Qt and the fonts, reading the character,
//              writing an empty document)
//   sample     the bundled sheet on the bundled sample character
//   large      the bundled sheet on a generated 2,055-item character
//   large x2, large x4   the same doubled and quadrupled, for linearity
// Each figure is the best of its rounds (cpu: user + system; wall), with
// peak memory and the ratios to the empty run.  The rounds take turns (the
// empty run, the sample, the large one, then the empty run again...) after
// one run that is not counted, so that a machine speeding up or slowing
// down during the benchmark moves every case alike and the ratios hold.
//
//   bench_sheet_print [rounds]    (default 5)
#include "child_process.h"
#include "large_character.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using quillet::bench::ScratchFolder;

using Run = quillet::bench::ChildRun;

Run printOnce(const std::vector<std::string>& args)
{
    return quillet::bench::runProgram(std::string(QUILLET_BIN_DIR) + "/quillet-print", args);
}

// Folds one run into the best so far: the best cpu and the best wall time
// (not necessarily the same run's), and the largest peak.  A failed run
// is kept as the result.
void keepBest(Run& best, const Run& r)
{
    if (best.status != 0)
        return;
    if (r.status != 0) {
        best = r;
        return;
    }
    best.cpu = std::min(best.cpu, r.cpu);
    best.wall = std::min(best.wall, r.wall);
    best.peakKiB = std::max(best.peakKiB, r.peakKiB);
}

// Pages of a PDF, counted by their page objects ("/Type /Page" or
// "/Type/Page", whichever way the writer spaces it; not "/Pages").
int pdfPages(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string pdf((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    int pages = 0;
    for (size_t at = pdf.find("/Type"); at != std::string::npos; at = pdf.find("/Type", at + 1)) {
        size_t name = at + 5;
        while (name < pdf.size() && (pdf[name] == ' ' || pdf[name] == '\n' || pdf[name] == '\r'))
            ++name;
        if (pdf.compare(name, 5, "/Page") == 0 && (name + 5 >= pdf.size() || !std::isalnum(static_cast<unsigned char>(pdf[name + 5]))))
            ++pages;
    }
    return pages;
}

struct Case {
    std::string name;
    std::string sheet; // empty: the bundled one
    std::string character;
    int rounds;
    Run result{1e9, 1e9, 0, 0};
    int pages = 0;
    std::string pdf{}; // the document its runs write

    std::vector<std::string> args() const
    {
        std::vector<std::string> a = {"--output", pdf};
        if (!sheet.empty())
            a.insert(a.end(), {"--sheet", sheet});
        a.push_back(character);
        return a;
    }
};

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    ScratchFolder folder("quillet-sheet-bench");
    const std::string sample = QUILLET_SOURCE_DIR "/data/characters/aldric.kvr";
    const std::string emptySheet = folder.write("empty.tsx", quillet::bench::kEmptySheet).string();
    std::vector<Case> cases = {
        {"empty sheet, sample character", emptySheet, sample, rounds},
        {"bundled sheet, sample character", "", sample, rounds},
        {"bundled sheet, large character", "", folder.write("large.kvr", quillet::bench::largeCharacterText(1)),
         rounds},
        {"large x2", "", folder.write("large2.kvr", quillet::bench::largeCharacterText(2)), 1},
        {"large x4", "", folder.write("large4.kvr", quillet::bench::largeCharacterText(4)), 1},
    };
    for (size_t i = 0; i < cases.size(); ++i)
        cases[i].pdf = (folder.path() / ("out" + std::to_string(i) + ".pdf")).string();
    // Not counted: the first run pays for what the ones after it find
    // ready (the program's files read from disk, the font caches).
    printOnce(cases.front().args());
    for (int round = 0; round < rounds; ++round) {
        for (Case& c : cases) {
            if (round < c.rounds)
                keepBest(c.result, printOnce(c.args()));
        }
    }
    int failures = 0;
    std::printf("%-34s %6s %9s %9s %9s %11s %11s\n", "case (best of rounds)", "pages", "cpu ms", "wall ms",
                "peak MiB", "cpu/empty", "wall/empty");
    for (Case& c : cases) {
        if (c.result.status != 0) {
            std::printf("%-34s failed (exit status %d)\n", c.name.c_str(), c.result.status);
            ++failures;
            continue;
        }
        c.pages = pdfPages(c.pdf);
        const Run& floor = cases.front().result;
        std::printf("%-34s %6d %9.1f %9.1f %9.1f %10.2fx %10.2fx\n", c.name.c_str(), c.pages, c.result.cpu * 1000,
                    c.result.wall * 1000, c.result.peakKiB / 1024.0, c.result.cpu / floor.cpu,
                    c.result.wall / floor.wall);
    }
    if (failures == 0) {
        const Run& empty = cases[0].result;
        std::printf("goals: sample within 1.50x of empty (now %.2fx cpu, %.2fx wall), large within 3.00x (now "
                    "%.2fx cpu, %.2fx wall)\n",
                    cases[1].result.cpu / empty.cpu, cases[1].result.wall / empty.wall, cases[2].result.cpu / empty.cpu,
                    cases[2].result.wall / empty.wall);
        std::printf("linearity (wall): x2/large %.2f (2.00), x4/large %.2f (4.00)\n",
                    cases[3].result.wall / cases[2].result.wall, cases[4].result.wall / cases[2].result.wall);
    }
    return failures ? 1 : 0;
}
