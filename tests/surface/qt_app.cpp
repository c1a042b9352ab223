#include "qt_app.h"

#include <QApplication>

namespace quillet::surface::testing {

void ensureQtApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "surface_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);  // deliberately never deleted: lives for the process
}

} // namespace quillet::surface::testing
