// The portrait window: its Portrait property, its buttons, the resize rule
// and the hand-back to the character through Show Picture.
#include "shell_fixture.h"

#include "shell/frm_portrait.h"
#include "shell/portrait_layout.h"

namespace quillet::testing {

class PortraitTest : public StartedShellTest {
protected:
    static QString pathShown(FrmPortrait* window) { return label(*window, "lblPortrait")->text(); }
    // Show Picture, running `inside` while the modal window is shown.
    void showPicture(std::function<void(FrmPortrait*)> inside)
    {
        whenShown("frmPortrait", [inside](QWidget* window) { inside(static_cast<FrmPortrait*>(window)); });
        button(mainWindow(), "btnShowPicture")->click();
        EXPECT_TRUE(sawWindow("frmPortrait"));
    }
    Text portrait() const { return shell->state.currentCharacter().Portrait; }
    Text picturePath() const { return path("characters/aldric.png"); }
};

TEST_F(PortraitTest, PropertyKeepsExistingFilesAndEmptiesMissingOnes)
{
    const Text picture = picturePath();
    FrmPortrait& window = shell->portraitWindow();
    window.setPortrait(picture);
    EXPECT_EQ(window.Portrait(), picture);
    EXPECT_EQ(window.image().fileName(), picture);
    EXPECT_GT(window.image().pictureWidth(), 0);

    window.setPortrait(path("characters/gone.png"));
    EXPECT_EQ(window.Portrait(), Text());
    EXPECT_EQ(window.image().fileName(), picture); // left unchanged

    // The value outlives the window; the image control does not.
    window.setPortrait(picture);
    window.close();
    EXPECT_EQ(shell->portraitWindowIfLoaded(), nullptr);
    EXPECT_EQ(shell->portraitWindow().Portrait(), picture);
    EXPECT_EQ(shell->portraitWindow().image().fileName(), Text());
}

TEST_F(PortraitTest, ShowPictureWithAnExistingFileKeepsThePathOnExit)
{
    const Text picture = picturePath();
    load("aldric.kvr");
    ASSERT_EQ(portrait(), picture);
    QString shownLabel;
    bool hasPicture = false;
    showPicture([&](FrmPortrait* window) {
        shownLabel = pathShown(window);
        hasPicture = !window->view()->image().isNull();
        EXPECT_EQ(window->windowTitle(), QStringLiteral("Character Portrait"));
        EXPECT_EQ(button(*window, "btnClear")->text(), QStringLiteral("&Clear"));
        EXPECT_EQ(button(*window, "btnLoad")->text(), QStringLiteral("&Load"));
        EXPECT_EQ(button(*window, "btnExit")->text(), QStringLiteral("E&xit"));
        button(*window, "btnExit")->click();
    });
    EXPECT_EQ(shownLabel.toStdU16String(), picture);
    EXPECT_TRUE(hasPicture);
    EXPECT_EQ(portrait(), picture);
    EXPECT_EQ(shell->portraitWindowIfLoaded(), nullptr);
}

TEST_F(PortraitTest, AMissingFileOpensEmptyAndEmptiesTheCharactersPortrait)
{
    shell->state.currentCharacter().Portrait = path("characters/gone.png");
    QString shownLabel = QStringLiteral("unset");
    showPicture([&](FrmPortrait* window) {
        shownLabel = pathShown(window);
        window->close();
    });
    EXPECT_EQ(shownLabel, QString());
    EXPECT_EQ(portrait(), Text());
}

TEST_F(PortraitTest, ClearThenExitEmptiesThePortrait)
{
    const Text picture = picturePath();
    shell->state.currentCharacter().Portrait = picture;
    showPicture([&](FrmPortrait* window) {
        button(*window, "btnClear")->click();
        EXPECT_EQ(pathShown(window), QString());
        EXPECT_EQ(window->image().fileName(), Text());
        EXPECT_TRUE(window->view()->image().isNull());
        button(*window, "btnExit")->click();
    });
    EXPECT_EQ(portrait(), Text());
}

TEST_F(PortraitTest, LoadReplacesThePictureAndABadFileKeepsTheOldOne)
{
    const Text picture = picturePath();
    writeFile("other.png", readFile("characters/aldric.png"));
    writeFile("fake.png", "this is no picture");
    shell->state.currentCharacter().Portrait = picture;
    dialogs.openAnswers.push_back(path("fake.png"));
    dialogs.openAnswers.push_back(path("other.png"));
    showPicture([&](FrmPortrait* window) {
        button(*window, "btnLoad")->click(); // not a picture
        EXPECT_EQ(window->Portrait(), picture);
        button(*window, "btnLoad")->click();
        EXPECT_EQ(pathShown(window).toStdU16String(), path("other.png"));
        window->close();
    });
    ASSERT_EQ(dialogs.openRequests.size(), 2u);
    EXPECT_NE(dialogs.openRequests[0].filter.find(u"*.GIF"), Text::npos);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(portrait(), path("other.png"));

    // Cancelling Load keeps the picture.
    showPicture([&](FrmPortrait* window) {
        button(*window, "btnLoad")->click();
        window->close();
    });
    EXPECT_EQ(portrait(), path("other.png"));
}

TEST_F(PortraitTest, ACharacterWhosePortraitIsNoPictureStillLoads)
{
    // An SVG under a picture's name that draws itself, which an SVG reader
    // would follow until the program crashed.
    writeFile("characters/loop.png",
              "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
              "width=\"9\" height=\"9\"><image xlink:href=\"loop.png\" width=\"9\" height=\"9\"/></svg>");
    std::string character = readFile("characters/aldric.kvr");
    character.replace(character.find("portraitfile(aldric.png)"), 24, "portraitfile(loop.png)");
    writeFile("characters/loop.kvr", character);
    load("loop.kvr");
    EXPECT_EQ(characterName(), u"Sir Aldric Venn");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].text.find(u"cannot be shown: Invalid picture"), Text::npos)
        << toUtf8(dialogs.messages[0].text);
    EXPECT_TRUE(shell->portraitWindow().image().image().isNull());
}

TEST(PortraitLayoutTest, ButtonsKeepTheirMarginAndThePictureFollows)
{
    PortraitWindowMeasures m{6120, 5000, 6000, 4600, 180, 480, false};
    const auto layout = layoutPortraitWindow(m);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->buttonsLeft, 4725);
    EXPECT_EQ(layout->imageWidth, 4425);
    EXPECT_FLOAT_EQ(layout->imageHeight, 4060);

    m.innerWidth = 6000.5f; // 4725.5 rounds to the even 4726
    EXPECT_EQ(layoutPortraitWindow(m)->buttonsLeft, 4726);
    m.innerWidth = 5999.5f; // 4724.5 rounds to 4724
    EXPECT_EQ(layoutPortraitWindow(m)->buttonsLeft, 4724);

    PortraitWindowMeasures small = m;
    small.outerHeight = 2879;
    EXPECT_FALSE(layoutPortraitWindow(small));
    small.outerHeight = 2880;
    EXPECT_TRUE(layoutPortraitWindow(small));
    small.outerWidth = 2879;
    EXPECT_FALSE(layoutPortraitWindow(small));
    PortraitWindowMeasures minimized = m;
    minimized.minimized = true;
    EXPECT_FALSE(layoutPortraitWindow(minimized));
}

TEST_F(PortraitTest, ResizingTheWindowAppliesTheRuleAboveTheMinimum)
{
    FrmPortrait& window = shell->portraitWindow();
    window.show();
    window.resize(400, 300); // inner width 6000 twips
    QWidget* clear = button(window, "btnClear");
    QWidget* image = window.view();
    EXPECT_EQ(clear->x(), 315);          // 4725 twips
    EXPECT_EQ(image->width(), 295);      // 4425 twips
    EXPECT_EQ(image->height(), 300 - 32 - 4);
    EXPECT_EQ(image->pos(), QPoint(12, 32));
    EXPECT_EQ(label(window, "lblPortrait")->width(), 295);

    // The minimum applies to the outer height, frame included.
    const int frame = window.frameGeometry().height() - window.height();
    window.resize(400, 191 - frame); // 2865 twips high: below the minimum
    EXPECT_EQ(image->height(), 264);
    EXPECT_EQ(clear->x(), 315);
    window.resize(400, 192 - frame); // 2880: the rule applies
    EXPECT_EQ(image->height(), 192 - frame - 32 - 4);

    // Minimised nothing moves; restored, the rule applies to the new size.
    window.showMinimized();
    window.resize(340, 300);
    EXPECT_EQ(clear->x(), 315);
    window.showNormal();
    EXPECT_EQ(clear->x(), 255); // 6000 - 900 twips: 3825
    EXPECT_EQ(image->width(), 235);
    window.close();
}

} // namespace quillet::testing
