#include "shared/MessageBox.h"
#include "shared/Resources.h"
#include "touch/GuiHost.h"
#include "touch/ModalDialogs.h"
#include "touch/frmMessageBox.h"
#include "vantreel/Error.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
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

// The box shows what the style's rules choose (their table is tested without
// a window): captions, results, the default button and the icon.
TEST_F(MessageBoxTest, ButtonSetsDefaultsAndIcons) {
    for (const int32_t flags : std::initializer_list<int32_t>{
             vbOKOnly, vbOKCancel + vbDefaultButton3,
             vbAbortRetryIgnore + vbCritical + vbDefaultButton3,
             vbYesNoCancel + vbQuestion + vbDefaultButton2, vbYesNo + vbExclamation,
             vbRetryCancel + vbInformation + vbDefaultButton2, 6}) {
        SCOPED_TRACE(flags);
        frmMessageBox box;
        box.Build("Prompt", flags, "Title");
        const std::vector<MessageBoxButton> buttons = MessageBoxButtons(flags);
        const int defaultButton = MessageBoxDefaultButton(flags, static_cast<int>(buttons.size()));
        ASSERT_EQ(box.ButtonCount(), static_cast<int>(buttons.size()));
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            QPushButton* button = box.Button(static_cast<int>(i) + 1);
            EXPECT_EQ(button->text().toStdString(), GetResString(buttons[i].captionId));
            // Elements of the control array cmdButton, numbered from 0.
            EXPECT_EQ(button->objectName(), QString("cmdButton%1").arg(i));
            EXPECT_EQ(button->property("Tag").toInt(), buttons[i].result);
            EXPECT_EQ(button->isDefault(), static_cast<int>(i) + 1 == defaultButton);
        }
        EXPECT_EQ(box.DefaultButton(), defaultButton);
        const std::string icon(MessageBoxIconKey(flags));
        EXPECT_EQ(box.IconKey().toStdString(), icon);
        EXPECT_EQ(box.findChild<QLabel*>("picIcon")->isVisibleTo(&box), !icon.empty());
        EXPECT_EQ(box.findChild<QLabel*>("lblMsg")->text(), "Prompt");
        EXPECT_TRUE(box.windowFlags() & Qt::WindowStaysOnTopHint);
    }
}

TEST_F(MessageBoxTest, EscapeAnswersCancelOnlyWhereThereIsOne) {
    QueueModalAnswer([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    frmMessageBox withCancel;
    EXPECT_EQ(withCancel.Initialize("Go?", vbYesNoCancel, "T"), vbCancel);

    QueueModalAnswer([](QDialog& dialog) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_TRUE(dialog.isVisible());  // no Cancel button: Escape does nothing
        dialog.findChild<QPushButton*>("cmdButton1")->click();
    });
    frmMessageBox withoutCancel;
    EXPECT_EQ(withoutCancel.Initialize("Go?", vbYesNo, "T"), vbNo);
}

TEST_F(MessageBoxTest, ADialogOpenedByAnAnswerTakesTheNextAnswer) {
    // The outer box asks a question of its own before it is answered.
    bool innerAnswer = false;
    QueueModalAnswer([&innerAnswer](QDialog& dialog) {
        innerAnswer = frmMessageBox().YesNo("Really?", "Inner");
        dialog.findChild<QPushButton*>("cmdButton1")->click();
    });
    Click("cmdButton0");  // the inner box: Yes
    frmMessageBox outer;
    EXPECT_EQ(outer.Initialize("Save?", vbYesNoCancel, "Outer"), vbNo);
    EXPECT_TRUE(innerAnswer);
}

TEST_F(MessageBoxTest, YesNoAndClosingWithoutAButton) {
    Click("cmdButton0");
    EXPECT_TRUE(frmMessageBox().YesNo("Save?", "T"));
    Click("cmdButton1");
    EXPECT_FALSE(frmMessageBox().YesNo("Save?", "T"));
    QueueModalAnswer([](QDialog& dialog) { dialog.close(); });
    frmMessageBox box;
    EXPECT_FALSE(box.YesNo("Save?", "T"));
    EXPECT_EQ(box.ReturnCode(), 0);
    Click("cmdButton0");
    frmMessageBox shown;
    shown.Display("Done", "T");
    EXPECT_EQ(shown.ReturnCode(), vbOK);
}

TEST_F(MessageBoxTest, MsgBoxExShowsTheLibrarysBoxInAQtHost) {
    QueueModalAnswer([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Vantreel Tests");  // the host's title
        EXPECT_EQ(dialog.findChild<QLabel*>("lblMsg")->text(), "Overwrite?");
        dialog.findChild<QPushButton*>("cmdButton1")->click();
    });
    EXPECT_EQ(MsgBoxEx("Overwrite?", vbYesNo + vbQuestion, ""), vbNo);

    // Without buttons and title: OK alone, and the host's title.
    QueueModalAnswer([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Vantreel Tests");
        auto& box = static_cast<frmMessageBox&>(dialog);
        ASSERT_EQ(box.ButtonCount(), 1);
        EXPECT_EQ(box.Button(1)->property("Tag").toString(), "1");
        EXPECT_TRUE(box.IconKey().isEmpty());
        box.Button(1)->click();
    });
    EXPECT_EQ(MsgBoxEx("Saved."), vbOK);

    QueueModalAnswer([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Error");
        EXPECT_EQ(dialog.findChild<QLabel*>("lblMsg")->text(), "The disk is full");
        dialog.findChild<QPushButton*>("cmdButton0")->click();
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

TEST_F(MessageBoxTest, EnterPressesTheFocusedButton) {
    struct EnterCase {
        int32_t flags;
        int tabs;  // Tab presses before Enter; negative: Shift+Tab
        int32_t expected;
    };
    const EnterCase cases[] = {
        {vbYesNo, 0, vbYes},
        {vbYesNo, 1, vbNo},
        {vbYesNoCancel + vbDefaultButton2, 0, vbNo},
        {vbYesNoCancel + vbDefaultButton2, 1, vbCancel},
        {vbYesNoCancel + vbDefaultButton2, -1, vbYes},
        {vbAbortRetryIgnore + vbDefaultButton3, 0, vbIgnore},
        {vbOKCancel, 1, vbCancel},
    };
    for (const EnterCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.flags) + " tabs " + std::to_string(c.tabs));
        QueueModalAnswer([c](QDialog& dialog) {
            for (int i = 0; i < std::abs(c.tabs); ++i) {
                QTest::keyClick(dialog.focusWidget(), Qt::Key_Tab,
                                c.tabs < 0 ? Qt::ShiftModifier : Qt::NoModifier);
            }
            // The button with the focus is the default one.
            auto* focused = qobject_cast<QPushButton*>(dialog.focusWidget());
            ASSERT_NE(focused, nullptr);
            EXPECT_TRUE(focused->isDefault());
            EXPECT_EQ(focused->property("Tag").toInt(), c.expected);
            QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
        });
        frmMessageBox box;
        EXPECT_EQ(box.Initialize("Go on?", c.flags, "T"), c.expected);
    }
}

TEST_F(MessageBoxTest, ButtonsFitTheirCaptionsAtAnyFontSize) {
    const QFont desktop = QApplication::font();
    struct SizeCase {
        int32_t language;
        int points;
    };
    for (const SizeCase& c :
         {SizeCase{1033, 9}, SizeCase{1031, 9}, SizeCase{1031, 12}, SizeCase{1031, 16}}) {
        SCOPED_TRACE(std::to_string(c.language) + " at " + std::to_string(c.points));
        int32_t language = c.language;
        SetLanguage(language);
        QFont font = desktop;
        font.setPointSize(c.points);
        QApplication::setFont(font);
        for (const int32_t flags : {vbAbortRetryIgnore, vbYesNoCancel, vbRetryCancel}) {
            frmMessageBox box;
            box.Build("Short", flags, "T");
            const int minimum = 1200 * box.logicalDpiX() / 1440;
            for (int i = 1; i <= box.ButtonCount(); ++i) {
                QPushButton* button = box.Button(i);
                const int caption = button->fontMetrics().horizontalAdvance(button->text());
                EXPECT_GT(button->width(), caption) << button->text().toStdString();
                EXPECT_GE(button->width(), minimum);
                EXPECT_GE(button->height(), button->fontMetrics().height());
                EXPECT_LE(button->geometry().right(), box.width());
                if (i > 1) {  // side by side, not overlapping
                    EXPECT_GT(button->x(), box.Button(i - 1)->geometry().right());
                }
            }
            // The system font, at the desktop's size, is the box's font.
            EXPECT_EQ(box.findChild<QLabel*>("lblMsg")->font().pointSize(), c.points);
            EXPECT_EQ(box.Button(1)->font().pointSize(), c.points);
        }
    }
    QApplication::setFont(desktop);
    int32_t english = 1033;
    SetLanguage(english);
}

TEST_F(MessageBoxTest, TextWrapsAndScrollsWithinTheScreen) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    std::string manyLines = "Not exported:";
    for (int i = 1; i <= 60; ++i) {
        manyLines += "\n/var/lib/vantreel/parts/P" + std::to_string(i);
    }
    std::string longLine;
    for (int i = 0; i < 200; ++i) {
        longLine += "word ";
    }
    struct TextCase {
        const char* name;
        std::string text;
        bool scrolls;
    };
    const TextCase cases[] = {
        {"short", "Saved.", false},
        {"one long line", longLine, false},
        {"sixty lines", manyLines, true},
        {"one unbreakable word", std::string(500, 'x'), false},
    };
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        frmMessageBox box;
        box.Build(c.text, vbOKCancel + vbExclamation, "T");
        box.show();
        QApplication::processEvents();
        EXPECT_LE(box.width(), area.width());
        EXPECT_LE(box.height(), area.height());
        EXPECT_GE(box.x(), area.x());
        EXPECT_GE(box.y(), area.y());
        auto* scroll = box.findChild<QScrollArea*>("scrMsg");
        ASSERT_NE(scroll, nullptr);
        EXPECT_EQ(scroll->verticalScrollBar()->maximum() > 0, c.scrolls);
        // The buttons stay inside the window, below the text.
        for (int i = 1; i <= box.ButtonCount(); ++i) {
            EXPECT_LE(box.Button(i)->geometry().bottom(), box.height());
            EXPECT_GT(box.Button(i)->y(), scroll->geometry().bottom());
        }
        box.hide();
    }
    // A long line wraps: the box is wider than a short one, yet not wider than the text may be.
    frmMessageBox wrapped;
    wrapped.Build(longLine, vbOKOnly, "T");
    auto* label = wrapped.findChild<QLabel*>("lblMsg");
    EXPECT_LT(wrapped.width(),
              label->fontMetrics().horizontalAdvance(QString::fromStdString(longLine)));
}

TEST_F(MessageBoxTest, TextIsSelectableAndCtrlCCopiesIt) {
    QueueModalAnswer([](QDialog& dialog) {
        auto* label = dialog.findChild<QLabel*>("lblMsg");
        EXPECT_TRUE(label->textInteractionFlags() & Qt::TextSelectableByMouse);
        QGuiApplication::clipboard()->clear();
        QTest::keyClick(dialog.focusWidget(), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "Replace the file Part.vtp?");
        label->setSelection(17, 8);
        QTest::keyClick(dialog.focusWidget(), Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(QGuiApplication::clipboard()->text(), "Part.vtp");
        EXPECT_TRUE(dialog.isVisible());  // copying answers nothing
        dialog.findChild<QPushButton*>("cmdButton0")->click();
    });
    frmMessageBox box;
    EXPECT_EQ(box.Initialize("Replace the file Part.vtp?", vbYesNo, "T"), vbYes);
}

TEST_F(MessageBoxTest, ForgottenAnswersFailAtOnce) {
    // No answer queued: the box is not shown and the miss is counted.
    frmMessageBox unanswered;
    EXPECT_EQ(unanswered.Initialize("Nobody answers", vbYesNo, "T"), 0);
    EXPECT_FALSE(unanswered.isVisible());
    EXPECT_EQ(UnansweredModalDialogs(), 1);

    // An answer that leaves the box open: it is closed once the answer is done.
    std::vector<std::string> order;
    QueueModalAnswer([&order](QDialog&) { order.push_back("answered"); });
    frmMessageBox leftOpen;
    EXPECT_EQ(leftOpen.Initialize("Still open", vbYesNo, "T"), 0);
    order.push_back("returned");
    EXPECT_EQ(order, (std::vector<std::string>{"answered", "returned"}));
    EXPECT_EQ(UnansweredModalDialogs(), 2);

    // A box shown twice: the first showing's check leaves the second alone.
    frmMessageBox again;
    Click("cmdButton0");
    EXPECT_EQ(again.Initialize("First", vbYesNo, "T"), vbYes);
    Click("cmdButton1");
    EXPECT_EQ(again.Initialize("Second", vbYesNo, "T"), vbNo);
    EXPECT_EQ(UnansweredModalDialogs(), 2);
    ResetModalAnswers();
}

TEST_F(MessageBoxTest, EnsureGuiHostInstallsTheBoxButKeepsAHandler) {
    MessageBoxHandler previous = SetMessageBoxHandler({});
    ASSERT_FALSE(HasMessageBoxHandler());
    EnsureGuiHost();
    ASSERT_TRUE(HasMessageBoxHandler());
    QueueModalAnswer([](QDialog& dialog) {
        EXPECT_EQ(dialog.objectName(), "frmMessageBox");
        dialog.findChild<QPushButton*>("cmdButton1")->click();
    });
    EXPECT_EQ(MsgBoxEx("Delete?", vbOKCancel, "T"), vbCancel);

    SetMessageBoxHandler([](const std::string&, int32_t, const std::string&) { return vbRetry; });
    EnsureGuiHost();
    EXPECT_EQ(MsgBoxEx("Again?", vbRetryCancel, "T"), vbRetry);  // the installed one stays
    SetMessageBoxHandler(previous);
}

}  // namespace
}  // namespace vantreel::test
