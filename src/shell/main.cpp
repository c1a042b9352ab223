// The desktop program: start-up shows the main window; closing it ends
// the program.
#include "common/program_folder.h"
#include "shell/command_line.h"
#include "shell/form_main.h"
#include "shell/qt_dialog_service.h"
#include "shell/shell.h"
#include "shell/start_up.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillet"));
    QApplication::setDesktopFileName(QStringLiteral("quillet"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillet/quillet.svg")));
    // Hidden windows (a printed preview, the portrait's image control) must
    // not keep the program alive once the main window has closed.
    QApplication::setQuitOnLastWindowClosed(false);

    const quillet::CommandLine commandLine = quillet::readCommandLine(QApplication::arguments());
    if (commandLine.endNow) {
        std::fputs(commandLine.output.toLocal8Bit().constData(), commandLine.exitCode == 0 ? stdout : stderr);
        return commandLine.exitCode;
    }

    quillet::QtDialogService dialogs;
    quillet::Shell shell(dialogs);
    quillet::Main(shell, quillet::programFolder(), commandLine.files);
    QObject::connect(&shell.mainWindow(), &QObject::destroyed, &app, &QCoreApplication::quit);
    return app.exec();
}
