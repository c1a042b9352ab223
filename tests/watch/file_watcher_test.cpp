// The file watcher against real files written the ways editors save them.
#include "watch/file_watcher.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using quillet::watch::FileWatcher;

namespace {

void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "watch_tests";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv); // lives for the process
}

// Runs the event loop until `done` holds or a generous time has passed.
bool waitUntil(const std::function<bool()>& done, int milliseconds = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// Runs the event loop for a while, for the reports that should not come.
void runEventsFor(int milliseconds)
{
    waitUntil([] { return false; }, milliseconds);
}

class FileWatcherTest : public ::testing::Test {
protected:
    static constexpr std::chrono::milliseconds kSettle{200};

    void SetUp() override
    {
        ensureApplication();
        dir = fs::temp_directory_path() / ("quillet-watch-" + std::to_string(::getpid()) + "-" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir);
        // After the application: the watcher needs its event loop.
        watcher = std::make_unique<FileWatcher>();
        watcher->setSettleTime(kSettle);
        QObject::connect(watcher.get(), &FileWatcher::changed, [this](const QStringList& paths) { reports.push_back(paths); });
    }
    void TearDown() override { fs::remove_all(dir); }

    QString path(const std::string& name) const { return QString::fromStdString((dir / name).string()); }
    void write(const std::string& name, const std::string& content)
    {
        std::ofstream(dir / name, std::ios::binary | std::ios::trunc) << content;
    }
    // How editors that keep the old file whole until the new one is written
    // save: a new file, renamed over the old one.
    void writeByRename(const std::string& name, const std::string& content)
    {
        write(name + ".new", content);
        fs::rename(dir / (name + ".new"), dir / name);
    }
    bool waitForReports(size_t count)
    {
        return waitUntil([&] { return reports.size() >= count; });
    }
    // No further report once the files have had time to settle again.
    void expectNoMoreReports(size_t count)
    {
        runEventsFor(static_cast<int>(kSettle.count()) * 4);
        EXPECT_EQ(reports.size(), count);
    }

    fs::path dir;
    std::unique_ptr<FileWatcher> watcher;
    std::vector<QStringList> reports;
};

TEST_F(FileWatcherTest, EverySaveIsReportedOnceWhateverTheEditorDoes)
{
    write("sheet.tsx", "one");
    watcher->setFiles({path("sheet.tsx")});

    // In place, in several writes.
    {
        std::ofstream out(dir / "sheet.tsx", std::ios::binary | std::ios::trunc);
        for (int i = 0; i < 50; ++i)
            out << "line " << i << '\n' << std::flush;
    }
    ASSERT_TRUE(waitForReports(1));
    EXPECT_EQ(reports[0], QStringList{path("sheet.tsx")});
    expectNoMoreReports(1);

    // A new file renamed over it, twice: the watch follows the name.
    writeByRename("sheet.tsx", "two");
    ASSERT_TRUE(waitForReports(2));
    writeByRename("sheet.tsx", "three");
    ASSERT_TRUE(waitForReports(3));

    // The old file moved aside, then a new one written.
    fs::rename(dir / "sheet.tsx", dir / "sheet.tsx~");
    write("sheet.tsx", "four");
    ASSERT_TRUE(waitForReports(4));
    // And written in place again afterwards.
    write("sheet.tsx", "five, longer");
    ASSERT_TRUE(waitForReports(5));
    for (const QStringList& report : reports)
        EXPECT_EQ(report, QStringList{path("sheet.tsx")});
    expectNoMoreReports(5);
}

TEST_F(FileWatcherTest, OtherFilesInTheFolderAreNoChange)
{
    write("sheet.tsx", "one");
    write("tess.kvr", "one");
    watcher->setFiles({path("sheet.tsx"), path("tess.kvr")});

    // What a printer writes beside the character: its PDF, through a
    // temporary file.
    write("tess.pdf.tmp", "pages");
    fs::rename(dir / "tess.pdf.tmp", dir / "tess.pdf");
    write("notes.txt", "x");
    fs::remove(dir / "notes.txt");
    runEventsFor(static_cast<int>(kSettle.count()) * 3);
    EXPECT_TRUE(reports.empty());

    write("tess.kvr", "two");
    ASSERT_TRUE(waitForReports(1));
    EXPECT_EQ(reports[0], QStringList{path("tess.kvr")});

    // Both saved at once: one report naming both, in the order given.
    write("tess.kvr", "three");
    writeByRename("sheet.tsx", "two");
    ASSERT_TRUE(waitForReports(2));
    EXPECT_EQ(reports[1], (QStringList{path("sheet.tsx"), path("tess.kvr")}));
    expectNoMoreReports(2);
}

TEST_F(FileWatcherTest, FilesThatComeAndGo)
{
    watcher->setFiles({path("later.tsx")});
    write("later.tsx", "made");
    ASSERT_TRUE(waitForReports(1)) << "a missing file is reported when it appears";
    fs::remove(dir / "later.tsx");
    ASSERT_TRUE(waitForReports(2)) << "and when it goes";
    write("later.tsx", "again");
    ASSERT_TRUE(waitForReports(3));

    // A new set replaces the old one.
    write("other.tsx", "x");
    watcher->setFiles({path("other.tsx")});
    EXPECT_EQ(watcher->files(), QStringList{path("other.tsx")});
    write("later.tsx", "not watched now");
    write("other.tsx", "watched");
    ASSERT_TRUE(waitForReports(4));
    EXPECT_EQ(reports[3], QStringList{path("other.tsx")});
    expectNoMoreReports(4);
}

} // namespace
