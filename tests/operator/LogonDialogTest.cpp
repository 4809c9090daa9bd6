#include "vantreel/Logon.h"

#include "shared/Resources.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "OperatorDialogTest.h"

namespace vantreel::test {
namespace {

class LogonDialogTest : public OperatorDialogTest {};

TEST_F(LogonDialogTest, OpensWithTheLastUserAndTheFocusByTheRule) {
    struct Case {
        const char* lastUser;
        const char* focused;
    };
    for (const Case& c : {Case{"", "txtUsername"}, Case{"anna", "txtPassword"}}) {
        SCOPED_TRACE(c.lastUser);
        QueueModalAnswer([c](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Log On");
            EXPECT_EQ(Find<QLabel>(dialog, "lblUsername")->text(), "User name");
            EXPECT_EQ(Find<QLabel>(dialog, "lblPassword")->text(), "Password");
            EXPECT_EQ(Find<QPushButton>(dialog, "cmdOK")->text(), "OK");
            EXPECT_EQ(Find<QPushButton>(dialog, "cmdCancel")->text(), "Cancel");
            EXPECT_EQ(Find<QPushButton>(dialog, "cmdHelp")->text(), "Help");
            auto* user = Find<QLineEdit>(dialog, "txtUsername");
            EXPECT_EQ(user->text(), c.lastUser);
            EXPECT_EQ(dialog.focusWidget()->objectName(), c.focused);
            // The password box masks what is typed.
            auto* password = Find<QLineEdit>(dialog, "txtPassword");
            EXPECT_EQ(password->echoMode(), QLineEdit::Password);
            QTest::keyClicks(password, "abc");
            EXPECT_EQ(password->displayText(), "***");  // one "*" per character
            Click(dialog, "cmdCancel");
        });
        Logon logon;
        logon.SetLastUserName(c.lastUser);
        EXPECT_FALSE(logon.Login());
    }
}

TEST_F(LogonDialogTest, TypingReplacesTheSelectedText) {
    QueueModalAnswer([](QDialog& dialog) {
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        auto* user = Find<QLineEdit>(dialog, "txtUsername");
        // Back to the user box: its whole text is selected, so typing replaces it.
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Backtab);
        ASSERT_EQ(dialog.focusWidget(), user);
        EXPECT_EQ(user->selectedText(), "anna");
        QTest::keyClicks(user, "bob");
        EXPECT_EQ(user->text(), "bob");
        Click(dialog, "cmdOK");
    });
    Logon logon;
    logon.SetLastUserName("anna");
    EXPECT_TRUE(logon.Login());
    EXPECT_EQ(logon.CurrentUser(), "bob");
}

TEST_F(LogonDialogTest, OkCancelAndCloseOverCalls) {
    Logon logon;
    EXPECT_EQ(logon.CurrentUser(), "");
    EXPECT_EQ(logon.Password(), "");
    struct Step {
        const char* user;      // typed into the user box (replacing it)
        const char* password;  // typed into the password box
        const char* action;    // "cmdOK", "cmdCancel", "Escape" or "close"
        bool result;
        const char* currentUser;
        const char* currentPassword;
    };
    const Step steps[] = {
        {"anna", "s3cret", "close", false, "", ""},  // closed before any logon: False
        {" anna ", " s3 cret ", "cmdOK", true, " anna ", " s3 cret "},
        {"bob", "x", "cmdCancel", false, " anna ", " s3 cret "},
        {"bob", "x", "Escape", false, " anna ", " s3 cret "},
        {"carl", "", "cmdOK", true, "carl", ""},  // an empty password is a password
        // Closing by the title bar sets no result: the last one stands.
        {"dora", "y", "close", true, "carl", ""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string(step.user) + " " + step.action);
        QueueModalAnswer([step](QDialog& dialog) {
            auto* user = Find<QLineEdit>(dialog, "txtUsername");
            auto* password = Find<QLineEdit>(dialog, "txtPassword");
            EXPECT_EQ(password->text(), "");  // never kept from an earlier call
            user->setText(step.user);
            QTest::keyClicks(password, step.password);
            const std::string action = step.action;
            if (action == "Escape") {
                QTest::keyClick(password, Qt::Key_Escape);
            } else if (action == "close") {
                dialog.close();
            } else {
                Click(dialog, step.action);
            }
            EXPECT_EQ(password->text(), "");  // the closed dialog holds no password
        });
        EXPECT_EQ(logon.Login(), step.result);
        EXPECT_EQ(logon.CurrentUser(), step.currentUser);
        EXPECT_EQ(logon.Password(), step.currentPassword);
    }
}

TEST_F(LogonDialogTest, LanguageFromTheCallOrTheStation) {
    struct Case {
        int32_t langId;  // 0: not set
        const char* defaultLanguage;
        const char* caption;
    };
    const Case cases[] = {
        {0, "", "Log On"},
        {0, "1031", "Anmelden"},
        {1031, "", "Anmelden"},
        {1033, "1031", "Log On"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        Set("Common", "DefaultLanguage", c.defaultLanguage);
        QueueModalAnswer([c](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle(), c.caption);
            for (const char* name : {"cmdOK", "cmdCancel", "cmdHelp"}) {
                auto* button = Find<QPushButton>(dialog, name);
                const int caption = button->fontMetrics().horizontalAdvance(button->text());
                EXPECT_GT(button->width(), caption) << name;  // "Abbrechen" fits
            }
            Click(dialog, "cmdCancel");
        });
        Logon logon;
        if (c.langId != 0) {
            logon.SetLangID(c.langId);
        }
        EXPECT_FALSE(logon.Login());
    }
    int32_t english = 1033;
    SetLanguage(english);
}

TEST_F(LogonDialogTest, ThePasswordNeverLeavesTheField) {
    testing::internal::CaptureStderr();
    QueueModalAnswer([](QDialog& dialog) {
        auto* password = Find<QLineEdit>(dialog, "txtPassword");
        QTest::keyClicks(password, "Geheim42");
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->setText("before");
        password->selectAll();
        QTest::keyClick(password, Qt::Key_C, Qt::ControlModifier);
        QTest::keyClick(password, Qt::Key_Insert, Qt::ControlModifier);
        password->copy();
        EXPECT_EQ(clipboard->text(), "before");
        QTest::keyClick(password, Qt::Key_X, Qt::ControlModifier);
        EXPECT_EQ(clipboard->text(), "before");
        EXPECT_EQ(password->text(), "Geheim42");  // cutting did not take it either
        EXPECT_FALSE(password->dragEnabled());
        Click(dialog, "cmdOK");
    });
    Logon logon;
    logon.SetLastUserName("anna");
    EXPECT_TRUE(logon.Login());
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(logon.Password(), "Geheim42");
    EXPECT_EQ(errors.find("Geheim42"), std::string::npos) << errors;
}

}  // namespace
}  // namespace vantreel::test
