// Prints generated characters through the bundled sheet with quillet-print:
// a typical one, a large one (1,000 skills, 700 spells, 300 advantages) and
// the large one doubled and quadrupled.  Reports wall time, peak memory and
// the time ratios, which stay near 2 and 4 while the cost is linear.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

std::string character(int advantages, int skills, int spells)
{
    std::string t = "[system]\r\n[general]\r\ncharname(Bench Mark)\r\nplayername(Generated)\r\n"
                    "description(A generated character for timing the printer.)\r\n"
                    "[points]\r\nattributes(100), ads(50), total(500)\r\n[attributes]\r\n"
                    "name(ST), level(12), points(20)\r\nname(DX), level(13), points(30)\r\n"
                    "name(IQ), level(12), points(20)\r\nname(HT), level(11), points(10)\r\n[ads]\r\n";
    for (int i = 0; i < advantages; ++i)
        t += "name(Advantage " + std::to_string(i) + "), points(" + std::to_string(i % 25) + "), page(B" +
             std::to_string(i % 300) + ")\r\n";
    t += "[skills]\r\n";
    for (int i = 0; i < skills; ++i)
        t += "name(Skill " + std::to_string(i) + "), nameext(Speciality), type(IQ/A), level(" +
             std::to_string(8 + i % 10) + "), points(" + std::to_string(1 + i % 8) + "), page(B" +
             std::to_string(100 + i % 200) + ")\r\n";
    t += "[spells]\r\n";
    for (int i = 0; i < spells; ++i)
        t += "name(Spell " + std::to_string(i) + "), college(College " + std::to_string(i % 20) +
             "), class(Regular), time(1 sec), duration(1 min), cost(2), level(14), points(2)\r\n";
    t += "[pd/dr]\r\nname(head), pd(1), dr(2)\r\n";
    return t;
}

struct Run {
    double seconds;
    long peakKiB;
    int status;
};

Run printOnce(const std::string& characterFile, const std::string& pdf)
{
    const std::string program = std::string(QUILLET_BIN_DIR) + "/quillet-print";
    std::vector<std::string> args = {program, "--output", pdf, characterFile};
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid;
    if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) != 0)
        return {0, 0, -1};
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {seconds, usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

Run best(const std::string& characterFile, const std::string& pdf, int rounds)
{
    Run b{1e9, 0, 0};
    for (int i = 0; i < rounds; ++i) {
        const Run r = printOnce(characterFile, pdf);
        if (r.status != 0)
            return r;
        if (r.seconds < b.seconds)
            b = r;
    }
    return b;
}

} // namespace

int main()
{
    const auto dir = std::filesystem::temp_directory_path() / "quillet-sheet-bench";
    std::filesystem::create_directories(dir);
    struct Case {
        const char* name;
        int scale; // 0: typical
    };
    const Case cases[] = {{"typical (10 ads, 25 skills, 15 spells)", 0},
                          {"large (300 ads, 1000 skills, 700 spells)", 1},
                          {"large x2", 2},
                          {"large x4", 4}};
    double seconds[4] = {};
    int failures = 0;
    for (int k = 0; k < 4; ++k) {
        const int s = cases[k].scale;
        const std::string text = s == 0 ? character(10, 25, 15) : character(300 * s, 1000 * s, 700 * s);
        const auto file = dir / ("bench-" + std::to_string(k) + ".kvr");
        std::ofstream(file, std::ios::binary) << text;
        const Run r = best(file.string(), (dir / "out.pdf").string(), s >= 2 ? 1 : 3);
        if (r.status != 0) {
            std::printf("%-42s failed (exit status %d)\n", cases[k].name, r.status);
            ++failures;
            continue;
        }
        seconds[k] = r.seconds;
        std::printf("%-42s %8.0f ms  peak %7.1f MiB\n", cases[k].name, r.seconds * 1000, r.peakKiB / 1024.0);
    }
    if (seconds[1] > 0) {
        std::printf("time ratio x2/large: %.2f (linear: 2.00)\n", seconds[2] / seconds[1]);
        std::printf("time ratio x4/large: %.2f (linear: 4.00)\n", seconds[3] / seconds[1]);
    }
    std::filesystem::remove_all(dir);
    return failures ? 1 : 0;
}
