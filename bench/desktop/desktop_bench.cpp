// The desktop program headless (the offscreen platform), each case in a
// fresh process as a user starts it:
//   start      from the process's start to the main window painted
//   preview    from Print Preview to the preview's first page painted, for
//              an empty sheet (the floor: the preview window and an empty
//              page), the bundled sheet on the sample character, and on
//              the generated 2,055-item character
// The program is started again for every round; the best of the rounds is
// reported with the largest peak memory and the ratio to the floor.  Each
// child runs the real start-up (the shell's Main over a scratch program
// folder) and reports one figure.
//
//   bench_desktop [rounds]    (default 3)
#include "child_process.h"
#include "large_character.h"

#include "shell/form_main.h"
#include "shell/qt_dialog_service.h"
#include "shell/shell.h"
#include "shell/start_up.h"
#include "surface/widgets/preview_widget.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using quillet::bench::ScratchFolder;

long long nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

// In the child: reports the milliseconds since `fromNs` and ends at once;
// what the program would do on closing is not what is measured.
[[noreturn]] void report(long long fromNs)
{
    std::printf("%.3f\n", double(nowNs() - fromNs) / 1e6);
    std::fflush(stdout);
    std::_Exit(0);
}

// Calls `then` once a widget that `matches` has been painted: right after
// the paint event's handling returns to the event loop.
class PaintWatch : public QObject {
public:
    PaintWatch(std::function<bool(QObject*)> matches, std::function<void()> then)
        : matches_(std::move(matches)), then_(std::move(then))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!fired_ && event->type() == QEvent::Paint && matches_(watched)) {
            fired_ = true;
            QMetaObject::invokeMethod(this, [this] { then_(); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    std::function<bool(QObject*)> matches_;
    std::function<void()> then_;
    bool fired_ = false;
};

// A message box opening in a child means the run went wrong (it waits for
// a click nobody gives): say what it says and end at once.
class MessageBoxWatch : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            if (const auto* box = qobject_cast<QMessageBox*>(watched)) {
                const QString text = box->windowTitle() + QStringLiteral(": ") + box->text();
                std::fprintf(stderr, "a message box opened: %s\n", text.toLocal8Bit().constData());
                std::_Exit(1);
            }
        }
        return false;
    }
};

// child start <startNs> <home>
// child preview <home> <character> [sheet]
int child(int argc, char** argv)
{
    const std::string mode = argv[2];
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QTimer::singleShot(120000, [] {
        std::fputs("no paint within two minutes\n", stderr);
        std::_Exit(1);
    });
    MessageBoxWatch messageBoxWatch;
    app.installEventFilter(&messageBoxWatch);
    quillet::QtDialogService dialogs;
    quillet::Shell shell(dialogs);
    if (mode == "start") {
        const long long startNs = std::atoll(argv[3]);
        PaintWatch watch([&](QObject* o) { return o == shell.mainWindowIfLoaded(); }, [&] { report(startNs); });
        app.installEventFilter(&watch);
        quillet::Main(shell, quillet::fromUtf8(argv[4]));
        return app.exec();
    }
    quillet::HandedFiles files;
    files.character = quillet::fromUtf8(argv[4]);
    if (argc > 5)
        files.sheet = quillet::fromUtf8(argv[5]);
    quillet::Main(shell, quillet::fromUtf8(argv[3]), files);
    long long fromNs = 0;
    PaintWatch watch([](QObject* o) { return qobject_cast<quillet::surface::PreviewWidget*>(o->parent()); },
                     [&] { report(fromNs); });
    app.installEventFilter(&watch);
    QTimer::singleShot(0, [&] {
        fromNs = nowNs();
        shell.mainWindow().action("MenuFilePrintPreview")->trigger();
    });
    return app.exec();
}

struct Figure {
    double ms = -1;  // negative when the child failed
    long peakKiB = 0;
};

// Runs this program as a child with `args`: its figure and peak memory
// (what it said on its error stream is shown when it failed).
Figure runChild(const std::string& self, std::vector<std::string> args, const std::string& output)
{
    const std::string errors = output + ".err";
    args.insert(args.begin(), "child");
    const quillet::bench::ChildRun run = quillet::bench::runProgram(self, args, output, errors);
    if (run.status != 0) {
        std::ifstream said(errors);
        std::fprintf(stderr, "%s %s failed:\n%s\n", args[1].c_str(), args.back().c_str(),
                     std::string(std::istreambuf_iterator<char>(said), {}).c_str());
        return {};
    }
    Figure figure;
    figure.peakKiB = run.peakKiB;
    std::ifstream(output) >> figure.ms;
    return figure;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc > 2 && std::string(argv[1]) == "child")
        return child(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::string self = "/proc/self/exe";
    char selfPath[4096] = {};
    const ssize_t length = readlink(self.c_str(), selfPath, sizeof selfPath - 1);
    if (length <= 0)
        return 1;
    ScratchFolder home("quillet-desktop-bench");
    std::filesystem::copy_file(QUILLET_SOURCE_DIR "/data/chrsht.tsx", home.path() / "chrsht.tsx");
    std::filesystem::copy(QUILLET_SOURCE_DIR "/data/characters", home.path() / "characters");
    const std::string folder = home.path().string() + "/";
    const std::string empty = home.write("empty.tsx", quillet::bench::kEmptySheet).string();
    const std::string sample = folder + "characters/aldric.kvr";
    const std::string large = home.write("large.kvr", quillet::bench::largeCharacterText(1)).string();
    const std::string output = folder + "figure.txt";

    struct Case {
        const char* name;
        std::vector<std::string> args; // the start figure's start time goes in at run time
        bool timesStart;
        double best = 1e18;
        long peakKiB = 0;
    };
    std::vector<Case> cases = {
        {"start to main window painted", {"start", "", folder}, true},
        {"preview, empty sheet", {"preview", folder, sample, empty}, false},
        {"preview, bundled sheet, sample", {"preview", folder, sample}, false},
        {"preview, bundled sheet, large", {"preview", folder, large}, false},
    };
    int failures = 0;
    for (int round = 0; round < rounds; ++round) {
        for (Case& c : cases) {
            if (c.timesStart)
                c.args[1] = std::to_string(nowNs());
            const Figure figure = runChild(selfPath, c.args, output);
            if (figure.ms < 0) {
                ++failures;
                c.best = -1;
            } else if (c.best >= 0) {
                c.best = std::min(c.best, figure.ms);
                c.peakKiB = std::max(c.peakKiB, figure.peakKiB);
            }
        }
    }
    std::printf("%-36s %10s %10s %12s\n", "case (offscreen, best of rounds)", "wall ms", "peak MiB", "to floor");
    const double floor = cases[1].best;
    for (const Case& c : cases) {
        if (c.best < 0) {
            std::printf("%-36s failed\n", c.name);
            continue;
        }
        if (c.timesStart)
            std::printf("%-36s %10.1f %10.1f\n", c.name, c.best, c.peakKiB / 1024.0);
        else
            std::printf("%-36s %10.1f %10.1f %11.2fx\n", c.name, c.best, c.peakKiB / 1024.0,
                        floor > 0 ? c.best / floor : 0.0);
    }
    return failures ? 1 : 0;
}
