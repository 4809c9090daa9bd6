#include "operator/LogonLogic.h"

#include "shared/Resources.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/TestRegistry.h"

namespace vantreel::test {
namespace {

class LogonLogicTest : public RegistryTest {};

TEST_F(LogonLogicTest, LanguageAndTexts) {
    struct Case {
        int32_t language;
        const char* defaultLanguage;  // Common\DefaultLanguage; "" for none
        int32_t storedAfter;
        const char* caption;
        const char* userLabel;
        const char* help;
    };
    const Case cases[] = {
        {0, "", 1033, "Log On", "User name", "Help"},
        {0, "1031", 1031, "Anmelden", "Benutzername", "Hilfe"},
        {1031, "", 1031, "Anmelden", "Benutzername", "Hilfe"},
        {1033, "1031", 1033, "Log On", "User name", "Help"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.language) + " default " + c.defaultLanguage);
        Set("Common", "DefaultLanguage", c.defaultLanguage);
        LogonState state;
        state.language = c.language;
        const LogonTexts texts = LoadLogon(state);
        EXPECT_EQ(state.language, c.storedAfter);  // a stored 0 becomes the default
        EXPECT_EQ(texts.caption, c.caption);
        EXPECT_EQ(texts.userLabel, c.userLabel);
        EXPECT_EQ(texts.help, c.help);
        EXPECT_EQ(texts.ok, "OK");
    }
}

TEST(LogonLogic, FocusGoesToTheUserBoxOnlyWhileItIsEmpty) {
    const std::pair<const char*, LogonField> cases[] = {
        {"", LogonField::UserName},
        {"anna", LogonField::Password},
        {" ", LogonField::Password},  // a blank is a name: nothing is trimmed
    };
    for (const auto& [user, field] : cases) {
        EXPECT_EQ(LogonFocus(user), field) << '"' << user << '"';
    }
}

TEST(LogonLogic, OkAndCancelOverCalls) {
    using Step = std::function<void(LogonState&)>;
    const Step ok = [](LogonState& s) { ConfirmLogon(s, "anna", "pw1"); };
    const Step okEmpty = [](LogonState& s) { ConfirmLogon(s, "bob", ""); };
    const Step okBlanks = [](LogonState& s) { ConfirmLogon(s, " carl ", " p w "); };
    const Step cancel = [](LogonState& s) { CancelLogon(s); };
    struct Case {
        const char* name;
        std::vector<Step> steps;
        bool result;
        const char* user;
        const char* password;
    };
    const Case cases[] = {
        {"nothing yet", {}, false, "", ""},
        {"cancel first", {cancel}, false, "", ""},
        {"ok", {ok}, true, "anna", "pw1"},
        {"ok with an empty password", {okEmpty}, true, "bob", ""},
        {"texts kept as typed", {okBlanks}, true, " carl ", " p w "},
        {"cancel keeps the earlier logon", {ok, cancel}, false, "anna", "pw1"},
        {"a later ok replaces it", {ok, cancel, okEmpty}, true, "bob", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LogonState state;
        for (const Step& step : c.steps) {
            step(state);
        }
        EXPECT_EQ(state.result, c.result);
        EXPECT_EQ(state.currentUser, c.user);
        EXPECT_EQ(state.password.Text(), c.password);
    }
}

}  // namespace
}  // namespace vantreel::test
