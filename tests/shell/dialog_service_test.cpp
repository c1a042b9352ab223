// How the dialog filters and script message boxes translate to Qt.
#include "shell/dialog_service.h"
#include "shell/qt_dialog_service.h"

#include <QMessageBox>

#include <gtest/gtest.h>

namespace quillet {

TEST(DialogServiceTest, FiltersMatchBothLetterCasesAndAllFiles)
{
    const QStringList filters = qtFileFilters(u"Character Files (*.KVR;*.CHR)|*.KVR;*.CHR|All Files (*.*)|*.*");
    ASSERT_EQ(filters.size(), 2);
    EXPECT_EQ(filters[0], QStringLiteral("Character Files (*.KVR *.kvr *.CHR *.chr)"));
    EXPECT_EQ(filters[1], QStringLiteral("All Files (*)"));
    EXPECT_EQ(qtFileFilters(u"Tessera Files (*.TSX)|*.TSX"), QStringList{QStringLiteral("Tessera Files (*.TSX *.tsx)")});
    EXPECT_TRUE(qtFileFilters(u"").isEmpty());
}

TEST(DialogServiceTest, ScriptButtonCodesChooseButtonsIconAndDefault)
{
    const ScriptButtons yesNoCancel = scriptButtons(3 + 32 + 256); // vbYesNoCancel, vbQuestion, second default
    EXPECT_EQ(yesNoCancel.standardButtons, int(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel));
    EXPECT_EQ(yesNoCancel.icon, int(QMessageBox::Question));
    EXPECT_EQ(yesNoCancel.defaultButton, int(QMessageBox::No));
    EXPECT_EQ(scriptButtons(0).standardButtons, int(QMessageBox::Ok));
    EXPECT_EQ(scriptButtons(4 + 768).defaultButton, int(QMessageBox::No)); // beyond the last: the last
    EXPECT_EQ(scriptButtonCode(QMessageBox::Yes), 6);
    EXPECT_EQ(scriptButtonCode(QMessageBox::No), 7);
    EXPECT_EQ(scriptButtonCode(QMessageBox::Retry), 4);
}

} // namespace quillet
