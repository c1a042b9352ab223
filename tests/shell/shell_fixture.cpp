#include "shell_fixture.h"

#include "shell/start_up.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTimer>

#include <set>
#include <string>

namespace quillet::testing {

namespace {

// Windows the test saw shown, by object name.
std::set<std::string>& seenWindows()
{
    static std::set<std::string> seen;
    return seen;
}

void copyFolder(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QFileInfo& entry : source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (entry.isDir())
            copyFolder(entry.filePath(), to + u'/' + entry.fileName());
        else
            QFile::copy(entry.filePath(), to + u'/' + entry.fileName());
    }
}

} // namespace

void ensureQtApplication()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "shell_tests";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv); // lives for the whole test program
    QApplication::setQuitOnLastWindowClosed(false);
}

QWidget* shownWindow(const char* objectName)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->objectName() == QLatin1String(objectName))
            return window;
    }
    return nullptr;
}

void ShellTest::SetUp()
{
    ensureQtApplication();
    savedCurrentDir_ = QDir::currentPath().toUtf8();
    dir_ = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(dir_->isValid());
    QFile::copy(QStringLiteral(QUILLET_SOURCE_DIR "/data/chrsht.tsx"), dir_->filePath(QStringLiteral("chrsht.tsx")));
    copyFolder(QStringLiteral(QUILLET_SOURCE_DIR "/data/characters"), dir_->filePath(QStringLiteral("characters")));
    seenWindows().clear();
    shell = std::make_unique<Shell>(dialogs);
    shell->stopDialogDelayMs = 200;
}

void ShellTest::TearDown()
{
    shell.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QDir::setCurrent(QString::fromUtf8(savedCurrentDir_));
}

void ShellTest::start()
{
    Main(*shell, home());
}

Text ShellTest::home() const
{
    return (dir_->path() + u'/').toStdU16String();
}

Text ShellTest::path(const std::string& name) const
{
    return home() + fromUtf8(name);
}

void ShellTest::writeFile(const std::string& name, const std::string& content) const
{
    QFile file(QString::fromStdU16String(path(name)));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content.data(), qint64(content.size()));
}

std::string ShellTest::readFile(const std::string& name) const
{
    QFile file(QString::fromStdU16String(path(name)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

bool ShellTest::fileExists(const std::string& name) const
{
    return QFile::exists(QString::fromStdU16String(path(name)));
}

void ShellTest::trigger(const char* actionName)
{
    QAction* action = mainWindow().action(actionName);
    ASSERT_NE(action, nullptr) << actionName;
    action->trigger();
}

void ShellTest::whenShown(const char* objectName, std::function<void(QWidget*)> then)
{
    auto* timer = new QTimer;
    auto started = std::make_shared<int>(0);
    const std::string name = objectName;
    QObject::connect(timer, &QTimer::timeout, [timer, started, name, then] {
        if (QWidget* window = shownWindow(name.c_str())) {
            seenWindows().insert(name);
            timer->deleteLater();
            timer->stop();
            then(window);
            return;
        }
        if (++*started > 1000) { // ten seconds
            ADD_FAILURE() << "window " << name << " never appeared";
            timer->stop();
            timer->deleteLater();
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        }
    });
    timer->start(10);
}

bool ShellTest::sawWindow(const char* objectName) const
{
    return seenWindows().count(objectName) > 0;
}

} // namespace quillet::testing
