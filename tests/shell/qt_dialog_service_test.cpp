// The desktop's own dialogs, driven headless: what each shows, and what
// accepting and cancelling answer.
#include "shell/qt_dialog_service.h"
#include "shell_fixture.h"

#include <QDeadlineTimer>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QThread>
#include <QTreeView>
#include <QScopeGuard>

namespace quillet::testing {

namespace {

// Calls `then` with the modal dialog of type T once it is up.
template <typename T>
void whenModal(std::function<void(T*)> then)
{
    whenFound(
        "a dialog", [] { return qobject_cast<T*>(QApplication::activeModalWidget()); },
        [then](QWidget* dialog) { then(static_cast<T*>(dialog)); });
}

class QtDialogServiceTest : public ::testing::Test {
protected:
    void SetUp() override { ensureQtApplication(); }
    QtDialogService service;
};

} // namespace

TEST_F(QtDialogServiceTest, OpenFileOffersTheRequestAndAnswersTheChoiceOrNothing)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"a.kvr", "B.CHR"}) {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const OpenFileRequest request{.title = u"Load Character",
                                  .initialFileName = dir.filePath(QStringLiteral("a.kvr")).toStdU16String(),
                                  .initialFolder = dir.path().toStdU16String(),
                                  .filter = u"Character Files (*.KVR;*.CHR)|*.KVR;*.CHR|All Files (*.*)|*.*"};

    QString title, folder, nameFilter;
    QStringList selected;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        folder = dialog->directory().absolutePath();
        nameFilter = dialog->selectedNameFilter();
        selected = dialog->selectedFiles();
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides its own
    });
    const std::optional<Text> chosen = service.openFile(nullptr, request);
    EXPECT_EQ(title, QStringLiteral("Load Character"));
    EXPECT_EQ(folder, dir.path());
    EXPECT_EQ(nameFilter, qtFileFilters(request.filter).first());
    EXPECT_EQ(selected, QStringList{dir.filePath(QStringLiteral("a.kvr"))});
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, dir.filePath(QStringLiteral("a.kvr")).toStdU16String());

    whenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(service.openFile(nullptr, request));
}

TEST_F(QtDialogServiceTest, FileDialogsOpenAtAUsefulSizeAndRememberTheUsers)
{
    const OpenFileRequest request{.title = u"Load Character",
                                  .initialFileName = {},
                                  .initialFolder = QDir::tempPath().toStdU16String(),
                                  .filter = u"Character Files (*.KVR;*.CHR)|*.KVR;*.CHR"};
    // The size a dialog opens at; the user may leave it at `left`.
    const auto openedSize = [&](QSize left = QSize()) {
        QSize opened;
        whenModal<QFileDialog>([&](QFileDialog* dialog) {
            opened = dialog->size();
            if (left.isValid())
                dialog->resize(left);
            dialog->reject();
        });
        service.openFile(nullptr, request);
        return opened;
    };

    // Unset: room for the file list, within the screen (Qt's own would be
    // 624 by 412 with the columns cut off).
    const QSize screen = QGuiApplication::primaryScreen()->availableSize();
    EXPECT_EQ(openedSize(QSize(520, 380)), QSize(960, 640).boundedTo(screen * 0.9)); // the user makes it smaller
    EXPECT_EQ(service.fileDialogSize, QSize(520, 380));
    EXPECT_EQ(openedSize(), QSize(520, 380)) << "the next one opens as the user left the last";

    service.fileDialogSize = QSize(20000, 20000); // from a settings file
    const QSize fitted = openedSize();
    EXPECT_LE(fitted.width(), screen.width());
    EXPECT_LE(fitted.height(), screen.height());
}

TEST_F(QtDialogServiceTest, FileDialogColumnsShowTheirWholeTextsAndNamesTakeTheRest)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("aldric.kvr")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();
    const OpenFileRequest request{.title = u"Load Character",
                                  .initialFileName = {},
                                  .initialFolder = dir.path().toStdU16String(),
                                  .filter = u"All Files (*.*)|*.*"};

    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        // Closed however the checks end: a failed one must not leave the
        // dialog waiting for an answer forever.
        const auto close = qScopeGuard([dialog] { dialog->reject(); });
        auto* view = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
        ASSERT_NE(view, nullptr);
        // The folder is read in the background, by a thread that may be
        // slow to answer on a busy machine: waited for by the clock, not
        // by a count of event passes (which return at once when nothing
        // is pending).
        QDeadlineTimer deadline(10000);
        while (view->model()->rowCount(view->rootIndex()) == 0 && !deadline.hasExpired()) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(5);
        }
        ASSERT_EQ(view->model()->rowCount(view->rootIndex()), 1);
        dialog->resize(1400, 700); // made wider by the user
        QApplication::processEvents();
        const QHeaderView* header = view->header();
        int total = 0;
        for (int column = 0; column < header->count(); ++column) {
            const QString text = view->model()->index(0, column, view->rootIndex()).data().toString();
            if (column > 0) {
                EXPECT_GT(header->sectionSize(column), view->fontMetrics().horizontalAdvance(text))
                    << "column " << column << ": " << text.toStdString();
            }
            total += header->sectionSize(column);
        }
        EXPECT_EQ(total, view->viewport()->width()) << "no room left over";
        EXPECT_GT(header->sectionSize(0), header->sectionSize(3));
    });
    service.openFile(nullptr, request);
}

TEST_F(QtDialogServiceTest, SaveFileProposesTheFileAndAddsItsExtension)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const SaveFileRequest request{.title = u"Save as PDF",
                                  .initialPath = dir.filePath(QStringLiteral("aldric.pdf")).toStdU16String(),
                                  .filter = u"PDF Files (*.pdf)|*.pdf"};

    QString folder;
    QStringList proposed;
    bool asksBeforeReplacing = false;
    whenModal<QFileDialog>([&](QFileDialog* dialog) {
        folder = dialog->directory().absolutePath();
        proposed = dialog->selectedFiles();
        asksBeforeReplacing = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        // Typed without ".pdf".  (Not selectFile: that leaves the name
        // field alone while it has the focus, which it may or may not.)
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("renamed"));
        static_cast<QDialog*>(dialog)->accept();
    });
    const std::optional<Text> chosen = service.saveFile(nullptr, request);
    EXPECT_EQ(folder, dir.path());
    EXPECT_EQ(proposed, QStringList{dir.filePath(QStringLiteral("aldric.pdf"))});
    EXPECT_TRUE(asksBeforeReplacing);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(*chosen, dir.filePath(QStringLiteral("renamed.pdf")).toStdU16String());

    whenModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_FALSE(service.saveFile(nullptr, request));
}

TEST_F(QtDialogServiceTest, PrintDialogOffersThePagesAndCancellingEitherPrintDialogChangesNothing)
{
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QStringLiteral("/tmp/unchanged.pdf"));
    int first = 0, last = 0;
    bool currentPageOffered = false;
    whenModal<QPrintDialog>([&](QPrintDialog* dialog) {
        first = dialog->minPage();
        last = dialog->maxPage();
        currentPageOffered = dialog->testOption(QAbstractPrintDialog::PrintCurrentPage);
        dialog->reject();
    });
    EXPECT_FALSE(service.printDialog(nullptr, printer, 5, 2));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(last, 5);
    EXPECT_TRUE(currentPageOffered);
    EXPECT_EQ(printer.outputFileName(), QStringLiteral("/tmp/unchanged.pdf"));

    // Print Setup only stores the choice, and its button says so.
    QString confirm;
    whenModal<QPrintDialog>([&](QPrintDialog* dialog) {
        for (QDialogButtonBox* box : dialog->findChildren<QDialogButtonBox*>())
            for (QAbstractButton* button : box->buttons())
                if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
                    confirm = button->text();
        dialog->reject();
    });
    EXPECT_FALSE(service.printSetup(nullptr, printer));
    EXPECT_EQ(confirm, QStringLiteral("OK"));
    EXPECT_EQ(printer.outputFileName(), QStringLiteral("/tmp/unchanged.pdf"));
}

TEST_F(QtDialogServiceTest, MessageBoxHasOnlyOkAndTheProgramsTitleUnlessNamed)
{
    QString title, text;
    QMessageBox::StandardButtons buttons;
    whenModal<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        buttons = box->standardButtons();
        box->button(QMessageBox::Ok)->click();
    });
    service.messageBox(nullptr, MessageBoxRequest{u"File: /x.kvr could not be found.", Text(), MessageIcon::None});
    EXPECT_EQ(title.toStdU16String(), Text(kAppTitle));
    EXPECT_EQ(text, QStringLiteral("File: /x.kvr could not be found."));
    EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    whenModal<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        box->button(QMessageBox::Ok)->click();
    });
    service.messageBox(nullptr, MessageBoxRequest{u"x", u"IniFile Logic Error", MessageIcon::Critical});
    EXPECT_EQ(title, QStringLiteral("IniFile Logic Error"));
}

TEST_F(QtDialogServiceTest, ScriptMessageBoxAnswersTheButtonPressed)
{
    whenModal<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::No)->click(); });
    EXPECT_EQ(service.scriptMessageBox(nullptr, u"Print it?", 4, Text()), 7); // vbYesNo, No
    whenModal<QMessageBox>([](QMessageBox* box) { box->close(); });
    EXPECT_EQ(service.scriptMessageBox(nullptr, u"Go on?", 1, Text()), 2); // closed: Cancel
}

} // namespace quillet::testing
