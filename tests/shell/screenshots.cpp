// Takes pictures of the program's windows as a user sees them, for
// looking at the layout: quillet-screenshots <output folder>.  The
// program runs over a temporary copy of the program folder with the
// sample character aldric loaded and logging on.
#include "scripted_dialogs.h"
#include "shell/form_main.h"
#include "shell/form_report.h"
#include "shell/frm_log.h"
#include "shell/frm_portrait.h"
#include "shell/frm_prefs.h"
#include "shell/qt_dialog_service.h"
#include "shell/shell.h"
#include "shell/start_up.h"
#include "shell/stop_dialog.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

using namespace quillet;

namespace {

QString outputFolder;

void save(QWidget* window, const char* name)
{
    QApplication::processEvents();
    const QString file = outputFolder + u'/' + QLatin1String(name) + QStringLiteral(".png");
    if (!window->grab().save(file))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
}

// Grabs the modal window of that name once it shows, then closes it.
void grabWhenShown(const char* objectName, const char* file)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, objectName, file] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->objectName() == QLatin1String(objectName)) {
                timer->stop();
                timer->deleteLater();
                QTimer::singleShot(300, window, [window, file] {
                    save(window, file);
                    window->close();
                });
                return;
            }
        }
    });
    timer->start(20);
}

void copyFile(const QString& from, const QString& to)
{
    QFile::remove(to);
    QFile::copy(from, to);
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quillet-screenshots <output folder>\n");
        return 2;
    }
    outputFolder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outputFolder);

    QTemporaryDir home;
    const QString data = QStringLiteral(QUILLET_SOURCE_DIR "/data");
    copyFile(data + QStringLiteral("/chrsht.tsx"), home.filePath(QStringLiteral("chrsht.tsx")));
    QDir().mkpath(home.filePath(QStringLiteral("characters")));
    for (const QString& name : QDir(data + QStringLiteral("/characters")).entryList(QDir::Files))
        copyFile(data + QStringLiteral("/characters/") + name, home.filePath(QStringLiteral("characters/") + name));
    QFile ini(home.filePath(QStringLiteral("quillet32.ini")));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[Options]\r\nDebug=-1\r\n[Windows]\r\nLogLeft=9600\r\nLogTop=600\r\n");
    ini.close();

    testing::ScriptedDialogs dialogs;
    Shell shell(dialogs);
    Main(shell, (home.path() + u'/').toStdU16String());
    FormMain& main = shell.mainWindow();
    main.move(20, 20);

    dialogs.openAnswers.push_back((home.path() + QStringLiteral("/characters/aldric.kvr")).toStdU16String());
    main.action("MenuFileLoad")->trigger();
    save(&main, "main-window");

    grabWhenShown("formReport", "preview");
    main.action("MenuFilePrintPreview")->trigger();

    grabWhenShown("frmPortrait", "portrait");
    main.findChild<QPushButton*>(QStringLiteral("btnShowPicture"))->click();

    main.action("MenuFilePrefs")->trigger();
    save(&shell.prefsDialog(), "preferences");
    shell.prefsDialog().close();

    // The File menu with two recent files.
    dialogs.openAnswers.push_back((home.path() + QStringLiteral("/characters/mira.kvr")).toStdU16String());
    main.action("MenuFileLoad")->trigger();
    if (auto* fileMenu = main.findChild<QMenu*>(QStringLiteral("MenuFile"))) {
        fileMenu->popup(main.mapToGlobal(QPoint(0, 20)));
        save(fileMenu, "file-menu");
        fileMenu->close();
    }

    if (FrmLog* log = shell.logWindowIfLoaded())
        save(log, "logging");

    // The About box as the desktop's message box shows it.
    testing::ScriptedDialogs* scripted = &dialogs;
    scripted->messages.clear();
    main.action("mnuHelpAbout")->trigger();
    if (!scripted->messages.empty()) {
        grabWhenShown("messageBox", "about");
        QtDialogService().messageBox(&main, scripted->messages.front());
        scripted->messages.clear();
    }

    // A sheet script deep in the folders: the label must not widen the
    // window or lose the file name.
    shell.state.TesseraFile = u"/home/somebody/Documents/roleplaying/campaignsheets/2026springcampaign/"
                              u"charactersofthenorthernmarches/extendedcharactersheetwithspells.tsx";
    main.showTesseraFile();
    save(&main, "main-window-long-path");

    StopDialog stop([] {}, &main);
    stop.show();
    save(&stop, "stop-script");
    stop.close();
    for (const auto& message : dialogs.messages)
        std::fprintf(stderr, "message: %s\n", toUtf8(message.text).c_str());
    return 0;
}
