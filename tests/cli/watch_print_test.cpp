// quillet-print --watch end to end: the real program, a sheet script
// rewritten the ways editors save, and Ctrl+C.
#include "print_test_folder.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using quillet::testing::contentOf;
using quillet::testing::has;

size_t countOf(const std::string& text, const std::string& part)
{
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// quillet-print running in the background, its output in two files.
class WatchingPrinter {
public:
    WatchingPrinter(const fs::path& folder, const std::vector<std::string>& args)
        : out_(folder / "watch.out"), err_(folder / "watch.err")
    {
        pid_ = ::fork();
        if (pid_ == 0) {
            const int out = ::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = ::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, 1);
            ::dup2(err, 2);
            std::vector<char*> argv{const_cast<char*>(quillet::testing::quilletPrint().c_str())};
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~WatchingPrinter()
    {
        if (pid_ > 0 && !exited_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    std::string out() const { return contentOf(out_); }
    std::string err() const { return contentOf(err_); }

    // Waits (generously) until `part` has appeared `count` times in the
    // standard output or error.
    bool waitFor(const std::string& part, size_t count = 1, bool inErrors = false) const
    {
        for (int i = 0; i < 600; ++i) {
            if (countOf(inErrors ? err() : out(), part) >= count)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // Ctrl+C; the exit status, or -1 when it did not end normally in time.
    int interrupt()
    {
        ::kill(pid_, SIGINT);
        for (int i = 0; i < 600; ++i) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return -1;
    }

private:
    fs::path out_;
    fs::path err_;
    pid_t pid_ = -1;
    bool exited_ = false;
};

std::string sheetSaying(const std::string& words, bool twoPages)
{
    return "'VBScript\r\nSub main\r\n  PrintParagraph \"" + words + " \" & Char.Name\r\n" +
           (twoPages ? "  NewPage\r\n" : "") + "End Sub\r\n";
}

using WatchPrintTest = quillet::testing::PrintTestFolder;

TEST_F(WatchPrintTest, PrintsAgainOnEverySaveUntilCtrlC)
{
    const std::string sheet = file("live.tsx", sheetSaying("first draft", false));
    const std::string character = file("tess.kvr", "[system]\r\n[general]\r\ncharname(Tess Arden)\r\n");
    // The PDF goes beside the files watched: writing it must not count as
    // a save.
    const std::string pdf = path("tess.pdf");
    WatchingPrinter printer(dir, {"--watch", "--sheet", sheet, character});

    ASSERT_TRUE(printer.waitFor("tess.kvr: 1 page in ")) << printer.out() << printer.err();
    EXPECT_TRUE(has(pdfText(pdf), "first draft Tess Arden"));

    // Saved by writing a new file and renaming it over the old one.
    file("live.tsx.new", sheetSaying("second draft", true));
    fs::rename(path("live.tsx.new"), sheet);
    ASSERT_TRUE(printer.waitFor("tess.kvr: 2 pages in ")) << printer.out() << printer.err();
    EXPECT_TRUE(has(pdfText(pdf), "second draft Tess Arden"));

    // Saved in place with a mistake: the error is reported, the PDF stays.
    file("live.tsx", "'VBScript\r\nSub main\r\n  x = 1 / 0\r\nEnd Sub\r\n");
    ASSERT_TRUE(printer.waitFor("tess.kvr: Error 11:Division by zero in line 3 / line is:   x = 1 / 0", 1, true))
        << printer.err();
    EXPECT_TRUE(has(pdfText(pdf), "second draft Tess Arden"));

    // The character file counts too.
    file("tess.kvr", "[system]\r\n[general]\r\ncharname(Tess Vale)\r\n");
    file("live.tsx", sheetSaying("third draft", false));
    ASSERT_TRUE(printer.waitFor("tess.kvr: ", 3)) << printer.out() << printer.err();
    EXPECT_TRUE(has(pdfText(pdf), "third draft Tess Vale"));

    EXPECT_EQ(printer.interrupt(), 0) << printer.err();
    EXPECT_EQ(countOf(printer.out(), "\n"), 3u) << "one line per run, no run for its own PDF\n" << printer.out();
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_TRUE(has(" live.tsx tess.kvr tess.pdf watch.out watch.err ", " " + entry.path().filename().string() + " "))
            << "left behind: " << entry.path();
}

TEST_F(WatchPrintTest, CtrlCStopsARunningScriptAndWritesNothing)
{
    const std::string sheet = file("loop.tsx", "'VBScript\r\nSub main\r\n  PrintParagraph \"never\"\r\n  Do\r\n  Loop\r\nEnd Sub\r\n");
    const std::string character = file("tess.kvr", "[system]\r\n[general]\r\ncharname(Tess Arden)\r\n");
    WatchingPrinter printer(dir, {"--watch", "--timeout", "0", "--sheet", sheet, "--output", path("loop.pdf"), character});
    ASSERT_TRUE(printer.waitFor("Ctrl+C ends", 1, true)) << printer.err();
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // well into the endless loop
    EXPECT_EQ(printer.interrupt(), 0) << printer.err();
    EXPECT_TRUE(has(printer.err(), "tess.kvr: interrupted; nothing written")) << printer.err();
    EXPECT_FALSE(fs::exists(path("loop.pdf")));
}

} // namespace
