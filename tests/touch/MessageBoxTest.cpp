#include "shared/MessageBox.h"
#include "touch/ModalDialogs.h"
#include "touch/frmMessageBox.h"
#include "vantreel/Error.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include "common/ModalTest.h"

namespace vantreel::test {
namespace {

class MessageBoxTest : public ModalTest {
  protected:
    // Queues an answer that clicks the button with this objectName.
    static void Click(const char* name) {
        QueueModalAnswer([name](QDialog& dialog) {
            QPushButton* button = dialog.findChild<QPushButton*>(name);
            ASSERT_NE(button, nullptr) << name;
            button->click();
        });
    }
};

struct ButtonSetCase {
    int32_t flags;
    std::vector<std::pair<const char*, int>> buttons;  // caption, result
    int defaultButton;
    const char* icon;
};

TEST_F(MessageBoxTest, ButtonSetsDefaultsAndIcons) {
    const ButtonSetCase cases[] = {
        {vbOKOnly, {{"OK", 1}}, 1, ""},
        {vbOKCancel + 0x200, {{"OK", 1}, {"Cancel", 2}}, 1, ""},
        {vbAbortRetryIgnore + vbCritical + 0x200,
         {{"Abort", 3}, {"Retry", 4}, {"Ignore", 5}},
         3,
         "Critical"},
        {vbYesNoCancel + vbQuestion + 0x100, {{"Yes", 6}, {"No", 7}, {"Cancel", 2}}, 2, "Question"},
        {vbYesNo + vbExclamation, {{"Yes", 6}, {"No", 7}}, 1, "Exclamation"},
        {vbRetryCancel + vbInformation + 0x100, {{"Retry", 4}, {"Cancel", 2}}, 2, "Information"},
        {6, {}, 1, ""},
    };
    for (const ButtonSetCase& c : cases) {
        SCOPED_TRACE(c.flags);
        frmMessageBox box;
        box.Build("Prompt", c.flags, "Title");
        ASSERT_EQ(box.ButtonCount(), static_cast<int>(c.buttons.size()));
        for (std::size_t i = 0; i < c.buttons.size(); ++i) {
            QPushButton* button = box.Button(static_cast<int>(i) + 1);
            EXPECT_EQ(button->text().toStdString(), c.buttons[i].first);
            EXPECT_EQ(button->property("Tag").toInt(), c.buttons[i].second);
            EXPECT_EQ(button->isDefault(), static_cast<int>(i) + 1 == c.defaultButton);
        }
        EXPECT_EQ(box.DefaultButton(), c.defaultButton);
        EXPECT_EQ(box.IconKey().toStdString(), c.icon);
        EXPECT_EQ(box.findChild<QLabel*>("picIcon")->isVisibleTo(&box), *c.icon != '\0');
        EXPECT_EQ(box.findChild<QLabel*>("lblMsg")->text(), "Prompt");
        EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    }
}

TEST_F(MessageBoxTest, EveryButtonReturnsItsCode) {
    for (const auto& [flags, name, code] :
         {std::tuple{vbYesNoCancel, "cmdButton1", vbYes},
          std::tuple{vbYesNoCancel, "cmdButton2", vbNo},
          std::tuple{vbYesNoCancel, "cmdButton3", vbCancel},
          std::tuple{vbAbortRetryIgnore, "cmdButton3", vbIgnore}}) {
        Click(name);
        frmMessageBox box;
        EXPECT_EQ(box.Initialize("Continue?", flags, "T"), code) << name;
    }
}

TEST_F(MessageBoxTest, EscapeAnswersCancelOnlyWhereThereIsOne) {
    QueueModalAnswer([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    frmMessageBox withCancel;
    EXPECT_EQ(withCancel.Initialize("Go?", vbYesNoCancel, "T"), vbCancel);

    QueueModalAnswer([](QDialog& dialog) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());  // no Cancel button: Escape does nothing
        dialog.findChild<QPushButton*>("cmdButton2")->click();
    });
    frmMessageBox withoutCancel;
    EXPECT_EQ(withoutCancel.Initialize("Go?", vbYesNo, "T"), vbNo);
}

TEST_F(MessageBoxTest, ADialogOpenedByAnAnswerTakesTheNextAnswer) {
    // The outer box asks a question of its own before it is answered.
    bool innerAnswer = false;
    QueueModalAnswer([&innerAnswer](QDialog& dialog) {
        innerAnswer = frmMessageBox().YesNo("Really?", "Inner");
        dialog.findChild<QPushButton*>("cmdButton2")->click();
    });
    Click("cmdButton1");  // the inner box: Yes
    frmMessageBox outer;
    EXPECT_EQ(outer.Initialize("Save?", vbYesNoCancel, "Outer"), vbNo);
    EXPECT_TRUE(innerAnswer);
}

TEST_F(MessageBoxTest, YesNoAndClosingWithoutAButton) {
    Click("cmdButton1");
    EXPECT_TRUE(frmMessageBox().YesNo("Save?", "T"));
    Click("cmdButton2");
    EXPECT_FALSE(frmMessageBox().YesNo("Save?", "T"));
    QueueModalAnswer([](QDialog& dialog) { dialog.close(); });
    frmMessageBox box;
    EXPECT_FALSE(box.YesNo("Save?", "T"));
    EXPECT_EQ(box.ReturnCode(), 0);
    Click("cmdButton1");
    frmMessageBox shown;
    shown.Display("Done", "T");
    EXPECT_EQ(shown.ReturnCode(), vbOK);
}

TEST_F(MessageBoxTest, MsgBoxExShowsTheLibrarysBoxInAQtHost) {
    QueueModalAnswer([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Vantreel Tests");  // the host's title
        EXPECT_EQ(dialog.findChild<QLabel*>("lblMsg")->text(), "Overwrite?");
        dialog.findChild<QPushButton*>("cmdButton2")->click();
    });
    EXPECT_EQ(MsgBoxEx("Overwrite?", vbYesNo + vbQuestion, ""), vbNo);

    QueueModalAnswer([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Error");
        EXPECT_EQ(dialog.findChild<QLabel*>("lblMsg")->text(), "The disk is full");
        dialog.findChild<QPushButton*>("cmdButton1")->click();
    });
    ShowErrorDescription(Error(61, "test", "The disk is full"));
}

TEST_F(MessageBoxTest, LayoutKeepsItsMinimumsAndIsCentred) {
    frmMessageBox box;
    box.Build("Short", vbOKOnly, "T");
    const int dpi = box.logicalDpiX();
    EXPECT_GE(box.width(), 3700 * dpi / 1440);
    EXPECT_GE(box.height(), (1080 + 300 + 375) * dpi / 1440);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_NEAR(box.x(), (screen.width() - box.width()) / 2, 1);
    EXPECT_NEAR(box.y(), (screen.height() - box.height()) / 2, 1);
    // The button row is centred.
    QPushButton* button = box.Button(1);
    EXPECT_NEAR(button->x() + button->width() / 2, box.width() / 2, 2);
    // Three buttons make the box wider than the minimum when needed, never narrower.
    frmMessageBox three;
    three.Build(std::string(400, 'x'), vbYesNoCancel, "T");
    EXPECT_GE(three.width(), (3 * (1200 + 150) + 150) * dpi / 1440);
}

TEST_F(MessageBoxTest, ForgottenAnswerClosesTheBoxAfterTheTimeLimit) {
    ResetModalAnswers(200);
    QueueModalAnswer([](QDialog&) {});  // answers nothing
    frmMessageBox box;
    EXPECT_EQ(box.Initialize("Nobody answers", vbYesNo, "T"), 0);
    EXPECT_EQ(UnansweredModalDialogs(), 1);
    ResetModalAnswers();
}

}  // namespace
}  // namespace vantreel::test
