#include "shell_fixture.h"

#include "shell/start_up.h"

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

std::string mainSub(std::initializer_list<std::string> lines)
{
    std::string script = "'VBScript\r\nSub main()\r\n";
    for (const std::string& line : lines)
        script += "  " + line + "\r\n";
    return script + "End Sub\r\n";
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

void ShellTest::trigger(const char* actionName)
{
    QAction* action = mainWindow().action(actionName);
    ASSERT_NE(action, nullptr) << actionName;
    action->trigger();
}

void whenFound(const std::string& what, std::function<QWidget*()> find, std::function<void(QWidget*)> then)
{
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, tries, what, find, then] {
        QWidget* window = find();
        if (window || ++*tries > 1000) { // ten seconds
            timer->stop();
            timer->deleteLater();
        }
        if (window) {
            then(window);
        } else if (*tries > 1000) {
            ADD_FAILURE() << what << " never appeared";
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        }
    });
    timer->start(10);
}

void ShellTest::whenShown(const char* objectName, std::function<void(QWidget*)> then)
{
    const std::string name = objectName;
    whenFound("window " + name, [name] { return shownWindow(name.c_str()); }, [name, then](QWidget* window) {
        seenWindows().insert(name);
        then(window);
    });
}

bool ShellTest::sawWindow(const char* objectName) const
{
    return seenWindows().count(objectName) > 0;
}

void ShellTest::withPreview(const std::function<void(FormReport&)>& use)
{
    whenShown("formReport", [=](QWidget* window) {
        use(*static_cast<FormReport*>(window));
        window->close();
    });
    trigger("MenuFilePrintPreview");
    ASSERT_TRUE(sawWindow("formReport"));
}

} // namespace quillet::testing
