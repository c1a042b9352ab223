// quillet-print against hostile files: it writes nothing but its output,
// never touches the character file, and ends with a clear report on bad
// portraits and scripts that will not end.
#include "../png_header.h"
#include "print_test_folder.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using Outcome = quillet::testing::CommandOutcome;
using quillet::testing::expectParts;
using quillet::testing::has;
using quillet::testing::pngHeader;
using quillet::testing::print;
using quillet::testing::quilletPrint;
using quillet::testing::runWithErrors;

struct FileStamp {
    std::string content;
    timespec mtime{}, ctime{};
    mode_t mode = 0;

    static FileStamp of(const fs::path& path)
    {
        struct stat st {};
        ::stat(path.c_str(), &st);
        return {quillet::testing::contentOf(path), st.st_mtim, st.st_ctim, st.st_mode};
    }
    bool operator==(const FileStamp& o) const
    {
        return content == o.content && mtime.tv_sec == o.mtime.tv_sec && mtime.tv_nsec == o.mtime.tv_nsec &&
               ctime.tv_sec == o.ctime.tv_sec && ctime.tv_nsec == o.ctime.tv_nsec && mode == o.mode;
    }
};

const std::string kCharacter = "[system]\r\n[general]\r\ncharname(Tess Arden)\r\nportraitfile(tess.png)\r\n"
                               "[skills]\r\nname(Stealth), level(14)\r\n";

class PrintFaultTest : public quillet::testing::PrintTestFolder {
protected:
    // quillet-print --log on the character, with `options`.
    Outcome printTess(const std::string& options)
    {
        return print("--log " + options + " " + file("tess.kvr", kCharacter));
    }
};

} // namespace

TEST_F(PrintFaultTest, PrintingNeverWritesTheCharacterFileNorAnythingButTheOutput)
{
    const std::string character = file("chars/tess.kvr", kCharacter);
    fs::permissions(character, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(dir / "chars", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const FileStamp before = FileStamp::of(character);
    const FileStamp folderBefore = FileStamp::of(dir / "chars");
    fs::create_directories(dir / "out");
    fs::create_directories(dir / "cwd");

    // Under strace when it is there, to see every file opened for writing.
    const bool traced = runWithErrors("strace -V").status == 0;
    const std::string trace = path("trace.txt");
    // (LeakSanitizer, in a sanitizer build, cannot work under strace.)
    const std::string command = "cd " + path("cwd") + " && ASAN_OPTIONS=detect_leaks=0 " +
                                (traced ? "strace -f -qq -e trace=open,openat,creat -o " + trace + " " : "") +
                                quilletPrint() + " --output " + path("out/tess.pdf") + " --png " + path("out/png") +
                                " " + character;
    const Outcome r = runWithErrors(command);
    ASSERT_EQ(r.status, 0) << r.out;

    EXPECT_TRUE(FileStamp::of(character) == before) << "content, times and mode of the character file unchanged";
    EXPECT_TRUE(FileStamp::of(dir / "chars") == folderBefore) << "nothing created or removed beside it";
    EXPECT_TRUE(fs::is_empty(dir / "cwd")) << "nothing written to the current folder";
    std::vector<std::string> outputs;
    for (const auto& entry : fs::recursive_directory_iterator(dir / "out"))
        outputs.push_back(fs::relative(entry.path(), dir / "out").string());
    std::sort(outputs.begin(), outputs.end());
    EXPECT_EQ(outputs, (std::vector<std::string>{"png", "png/page-1.png", "tess.pdf"}));

    if (!traced)
        GTEST_SKIP() << "strace is not installed: the files opened for writing were not checked";
    std::ifstream in(trace);
    std::string line;
    std::vector<std::string> written;
    while (std::getline(in, line)) {
        if ((has(line, "O_WRONLY") || has(line, "O_RDWR") || has(line, "O_CREAT") || has(line, "creat(")) &&
            !has(line, "= -1"))
            written.push_back(line);
    }
    // (A file is written whole as an unnamed temporary in its folder, then
    // linked in under its name.)
    for (const std::string& w : written)
        EXPECT_TRUE(has(w, path("out/")) || has(w, "\"" + path("out") + "\"")) << "opened for writing: " << w;
    EXPECT_FALSE(written.empty()) << "the trace saw the output being written";
}

TEST_F(PrintFaultTest, PortraitsThatAreNotPicturesOrAreHuge)
{
    const std::string sheet =
        file("pic.tsx", "'VBScript\r\nSub main\r\n  PrintText Char.Name\r\n  Picture Char.Portrait, 1, 1, 2, 2\r\n"
                        "End Sub\r\n");
    const struct {
        std::string portrait;
        std::vector<std::string> reported;
    } cases[] = {
        {"<html>not a picture</html>",
         {"Error 481:Invalid picture in line 4\nline is:   Picture Char.Portrait, 1, 1, 2, 2"}},
        {pngHeader(60000, 60000), {"Error 481:Invalid picture: ", "larger than 12000 pixels on a side in line 4"}},
        {std::string(100000, '\xff'), {"Error 481:"}},
    };
    for (const auto& c : cases) {
        file("tess.png", c.portrait);
        const Outcome r = printTess("--sheet " + sheet + " --output " + path("out.pdf"));
        EXPECT_EQ(r.status, 1);
        expectParts(r.out, c.reported);
        EXPECT_FALSE(fs::exists(path("out.pdf")));
    }
}

TEST_F(PrintFaultTest, RunawayScriptsEndWithinTheTimeout)
{
    const std::string character = file("tess.kvr", kCharacter);
    for (const std::string& body :
         {std::string("Class Tar\r\n  Sub Class_Terminate\r\n    Do\r\n    Loop\r\n  End Sub\r\nEnd Class\r\n"
                      "Dim kept\r\nSub main\r\n  Set kept = New Tar\r\n  PrintText \"drawn\"\r\nEnd Sub\r\n"),
          std::string("Sub main\r\n  Execute \"While True : Wend\"\r\nEnd Sub\r\n")}) {
        const std::string sheet = file("runaway.tsx", "'VBScript\r\n" + body);
        const auto start = std::chrono::steady_clock::now();
        const Outcome r = runWithErrors("timeout 60 " + quilletPrint() + " --log --timeout 1 --sheet " + sheet +
                                        " --output " + path("out.pdf") + " " + character);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_NE(r.status, 124) << "still running after a minute:\n" << body;
        EXPECT_LT(seconds, 30) << body;
        fs::remove(path("out.pdf"));
    }

    const std::string recursion = file("deep.tsx", "'VBScript\r\nSub main\r\n  main\r\nEnd Sub\r\n");
    const Outcome r = printTess("--sheet " + recursion);
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.out, "Error 28:Out of stack space in line 3\nline is:   main")) << r.out;
}

TEST_F(PrintFaultTest, LongSingleOperationsEndWithTheTimeout)
{
    // Each would take a long time and much memory on its own: the timeout
    // ends it from inside, with the stop error in its line. The table's rows
    // are one point high on the tallest page, so it fills a few hundred
    // pages, far below the page limit, however fast the machine lays it out.
    for (const std::string& work :
         {std::string("  TextBox String(30000000, \"x\"), 1, 1, 5, 5"),
          std::string("  PageHeight = 200: FontSize = 1: AddTable \"1|1\", \"\", "
                      "Replace(Space(4000000), \" \", \"a|b;\"), \"\", \"\", False")}) {
        const std::string sheet = file("long.tsx", "'VBScript\r\nSub main\r\n" + work + "\r\nEnd Sub\r\n");
        const Outcome r = printTess("--timeout 1 --sheet " + sheet + " --output " + path("out.pdf"));
        EXPECT_EQ(r.status, 1) << work;
        expectParts(r.out, {"Error 18:Script stopped on request in line 3\nline is: " + work,
                            "quillet-print: the sheet script was stopped after running for 1 seconds"});
        EXPECT_FALSE(fs::exists(path("out.pdf")));
    }
}

TEST_F(PrintFaultTest, WritingHugePagesEndsWithTheTimeoutAndLeavesNoPartialFile)
{
    const std::string sheet =
        file("huge.tsx", "'VBScript\r\nSub main\r\n  Dim i\r\n  PageWidth = 110\r\n  PageHeight = 110\r\n"
                         "  For i = 1 To 40\r\n    PrintText \"page \" & i\r\n    NewPage\r\n  Next\r\nEnd Sub\r\n");
    file("png/page-1.png", "an earlier page");
    const Outcome r =
        printTess("--timeout 4 --sheet " + sheet + " --output " + path("out.pdf") + " --png " + path("png"));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(has(r.out, "quillet-print: writing the pages was stopped: the command ran for longer than 4 seconds"))
        << r.out;
    // Every page file is either complete or as it was; no temporary is left.
    for (const auto& entry : fs::directory_iterator(dir / "png")) {
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(name.substr(0, 5), "page-") << name;
        EXPECT_EQ(entry.path().extension(), ".png") << name;
    }
}

TEST_F(PrintFaultTest, LogLinesAndMessagesShowControlCharactersByName)
{
    const std::string sheet = file(
        "forge.tsx", "'VBScript\r\nSub main\r\n  DebugLog \"ok\" & vbCrLf & \"PrintReport:: Script processing completed\"\r\n"
                     "  MsgBox \"clear\" & Chr(27) & \"[2J\" & Chr(0) & \"end\" & vbCrLf & \"second line\"\r\n"
                     "  Picture \"/no\" & vbLf & \"where.png\", 1, 1, 1, 1\r\nEnd Sub\r\n");
    const Outcome r = printTess("--sheet " + sheet + " --output " + path("out.pdf"));
    EXPECT_EQ(r.status, 0) << r.out;
    expectParts(r.out, {"  ok<CR><LF>PrintReport:: Script processing completed\n",
                        "quillet-print: clear<ESC>[2J<NUL>end\nquillet-print: second line\n",
                        "  Portrait file '/no<LF>where.png' not found; not printing\n"});
    EXPECT_FALSE(has(r.out, "\x1b")) << "nothing reaches the terminal raw";
    EXPECT_EQ(r.out.find('\0'), std::string::npos);
}
