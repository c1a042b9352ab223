// Reading generated character files of 20,000, 40,000 and 80,000 item
// lines: prints lines per second and the time ratios, which stay near 2 and
// 4 while reading is linear in the file's size.
#include "state/app_state.h"
#include "state/read_character_file.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

using namespace quillet;

namespace {

class SilentUi : public ReaderUi {
public:
    void messageBox(const Text&) override {}
    void setMainWindowCaption(const Text&) override {}
    void setPortraitFileName(const Text&) override {}
    void doEvents() override {}
};

std::string generate(int itemLines)
{
    static const char* const sections[] = {"[skills]", "[spells]", "[ads]", "[disads]"};
    std::string text = "[system]\r\nversion(2.0)\r\n[general]\r\ncharname(Bench Mark)\r\n"
                       "[race]\r\nname(Human), st(1), stcost(10)\r\n";
    const int perSection = itemLines / 4;
    for (const char* section : sections) {
        text += section;
        text += "\r\n";
        for (int i = 0; i < perSection; ++i)
            text += "name(Item " + std::to_string(i) + "), nameext(Special, \"quoted\"), type(IQ/H), level(" +
                    std::to_string(10 + i % 8) + "), points(" + std::to_string(i % 16) + "), page(B" +
                    std::to_string(100 + i % 150) + "), notes(a (nested) note)\r\n";
    }
    return text;
}

double secondsToRead(const Text& path)
{
    AppState state;
    SilentUi ui;
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        const auto start = std::chrono::steady_clock::now();
        ReadCharacterFile(state, ui, path);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

} // namespace

int main()
{
    const auto dir = std::filesystem::temp_directory_path() / "quillet-read-bench";
    std::filesystem::create_directories(dir);
    const int sizes[] = {20000, 40000, 80000};
    double seconds[3];
    for (int k = 0; k < 3; ++k) {
        const auto path = dir / ("bench-" + std::to_string(sizes[k]) + ".kvr");
        std::ofstream(path, std::ios::binary) << generate(sizes[k]);
        seconds[k] = secondsToRead(fromUtf8(path.string()));
        std::printf("%6d item lines: %8.1f ms  %10.0f lines/s\n", sizes[k], seconds[k] * 1000, sizes[k] / seconds[k]);
    }
    std::printf("time ratio 40k/20k: %.2f (linear: 2.00)\n", seconds[1] / seconds[0]);
    std::printf("time ratio 80k/20k: %.2f (linear: 4.00)\n", seconds[2] / seconds[0]);
    std::filesystem::remove_all(dir);
    return 0;
}
