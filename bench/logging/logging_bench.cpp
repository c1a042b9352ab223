// Logs 100,000 lines with logging and the echo into debug.run on, as a long
// session with a chatty sheet script would.  Checks that the window's list
// stays at 2001 lines while debug.run holds every line, and prints the time
// taken to reach 25,000, 50,000 and 100,000 lines: the ratios stay near 2
// and 4 while each line costs the same however long the log has grown.
#include "logging/mod_logging.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace quillet;

namespace {

// What the shell does per line, minus the drawing: keep its own copy of
// the list in step with the model.
class CountingShell : public LogWindowListener {
public:
    void logLineRemoved() override { --rows; }
    void logLineAdded(const Text&) override { ++rows; }
    long rows = 0;
};

size_t countCrLfLines(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t n = 0;
    for (size_t p = bytes.find("\r\n"); p != std::string::npos; p = bytes.find("\r\n", p + 2))
        ++n;
    return n;
}

} // namespace

int main()
{
    char pattern[] = "/tmp/quillet-log-bench-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path dir = pattern;

    AppState state;
    state.HomePath = fromUtf8(dir.string() + "/");
    state.SetDefaults();
    state.Debug = kTrue;
    state.EchoToRun = kTrue;
    CountingShell shell;
    modLogging log(state, &shell);
    log.OpenLog();

    constexpr int kLines = 100000;
    const int marks[] = {25000, 50000, 100000};
    double seconds[3] = {};
    int nextMark = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i <= kLines; ++i) {
        log.LogLine(u"  DebugLog line " + decimalText(i) + u" from the sheet script");
        if (i == marks[nextMark]) {
            const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
            seconds[nextMark++] = took.count();
            std::printf("%6d lines: %8.1f ms  %9.0f lines/s\n", i, took.count() * 1000, i / took.count());
        }
    }

    const size_t traced = countCrLfLines(dir / "debug.run");
    const bool ok = log.list().size() == 2001 && shell.rows == 2001 && traced == kLines &&
                    log.list().line(2000) == u"  DebugLog line 100000 from the sheet script";
    std::printf("list: %zu lines (expected 2001), debug.run: %zu lines (expected %d)\n", log.list().size(), traced,
                kLines);
    std::printf("time ratio 50k/25k: %.2f (linear: 2.00)\n", seconds[1] / seconds[0]);
    std::printf("time ratio 100k/25k: %.2f (linear: 4.00)\n", seconds[2] / seconds[0]);
    std::filesystem::remove_all(dir);
    if (!ok)
        std::printf("FAILED: the list or debug.run does not hold what it should\n");
    return ok ? 0 : 1;
}
