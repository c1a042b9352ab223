// End-to-end printing with quillet-print, process start to exit, side by
// side in one run:
//   empty      a sheet whose Sub main draws nothing: the floor (starting
//              the program, Qt and the fonts, reading the character,
//              writing an empty document)
//   sample     the bundled sheet on the bundled sample character
//   large      the bundled sheet on a generated 2,055-item character
//   large x2, large x4   the same doubled and quadrupled, for linearity
// Each figure is the best of its rounds (cpu: user + system; wall), with
// peak memory and the ratios to the empty run.
//
//   bench_sheet_print [rounds]    (default 3)
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

// The best cpu and the best wall time of `rounds` runs (not necessarily
// the same run's), and the largest peak.
Run best(const std::vector<std::string>& args, int rounds)
{
    Run b{1e9, 1e9, 0, 0};
    for (int i = 0; i < rounds; ++i) {
        const Run r = printOnce(args);
        if (r.status != 0)
            return r;
        b.cpu = std::min(b.cpu, r.cpu);
        b.wall = std::min(b.wall, r.wall);
        b.peakKiB = std::max(b.peakKiB, r.peakKiB);
    }
    return b;
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
    Run result;
    int pages = 0;
};

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    ScratchFolder folder("quillet-sheet-bench");
    const std::string sample = QUILLET_SOURCE_DIR "/data/characters/aldric.kvr";
    const std::string emptySheet = folder.write("empty.tsx", quillet::bench::kEmptySheet).string();
    std::vector<Case> cases = {
        {"empty sheet, sample character", emptySheet, sample, rounds, {}},
        {"bundled sheet, sample character", "", sample, rounds, {}},
        {"bundled sheet, large character", "", folder.write("large.kvr", quillet::bench::largeCharacterText(1)),
         rounds, {}},
        {"large x2", "", folder.write("large2.kvr", quillet::bench::largeCharacterText(2)), 1, {}},
        {"large x4", "", folder.write("large4.kvr", quillet::bench::largeCharacterText(4)), 1, {}},
    };
    const std::string pdf = (folder.path() / "out.pdf").string();
    int failures = 0;
    std::printf("%-34s %6s %9s %9s %9s %11s %11s\n", "case (best of rounds)", "pages", "cpu ms", "wall ms",
                "peak MiB", "cpu/empty", "wall/empty");
    for (Case& c : cases) {
        std::vector<std::string> args = {"--output", pdf};
        if (!c.sheet.empty())
            args.insert(args.end(), {"--sheet", c.sheet});
        args.push_back(c.character);
        c.result = best(args, c.rounds);
        if (c.result.status != 0) {
            std::printf("%-34s failed (exit status %d)\n", c.name.c_str(), c.result.status);
            ++failures;
            continue;
        }
        c.pages = pdfPages(pdf);
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
