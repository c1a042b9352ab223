// The desktop program: start-up shows the main window; closing it ends
// the program.
#include "common/program_folder.h"
#include "shell/form_main.h"
#include "shell/qt_dialog_service.h"
#include "shell/shell.h"
#include "shell/start_up.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quillet"));
    QApplication::setDesktopFileName(QStringLiteral("quillet"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quillet/quillet.svg")));
    // Hidden windows (a printed preview, the portrait's image control) must
    // not keep the program alive once the main window has closed.
    QApplication::setQuitOnLastWindowClosed(false);

    quillet::QtDialogService dialogs;
    quillet::Shell shell(dialogs);
    quillet::Main(shell, quillet::programFolder());
    QObject::connect(&shell.mainWindow(), &QObject::destroyed, &app, &QCoreApplication::quit);
    return app.exec();
}
