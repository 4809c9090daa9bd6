#include "shared/MessageBox.h"

#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace vantreel::test {
namespace {

struct StyleCase {
    int32_t style;
    std::vector<int32_t> results;  // left to right
    std::vector<int32_t> captions;
    int defaultButton;
    const char* icon;
};

TEST(MessageBoxStyles, ButtonSetsIconsAndDefaults) {
    const StyleCase cases[] = {
        {vbOKOnly, {vbOK}, {110004}, 1, ""},
        {vbOKCancel + vbDefaultButton3, {vbOK, vbCancel}, {110004, 110005}, 1, ""},
        {vbAbortRetryIgnore + vbCritical + vbDefaultButton3,
         {vbAbort, vbRetry, vbIgnore},
         {110090, 110091, 110092},
         3,
         "Critical"},
        {vbYesNoCancel + vbQuestion + vbDefaultButton2,
         {vbYes, vbNo, vbCancel},
         {110006, 110007, 110005},
         2,
         "Question"},
        {vbYesNo + vbExclamation, {vbYes, vbNo}, {110006, 110007}, 1, "Exclamation"},
        {vbRetryCancel + vbInformation + vbDefaultButton2,
         {vbRetry, vbCancel},
         {110091, 110005},
         2,
         "Information"},
        {vbOKOnly + vbDefaultButton2, {vbOK}, {110004}, 1, ""},  // one button: stays first
        {vbYesNoCancel + 0x300, {vbYes, vbNo, vbCancel}, {110006, 110007, 110005}, 1, ""},
        {6, {}, {}, 1, ""},
        {7 + 0x50, {}, {}, 1, ""},  // neither a set nor an icon of the table
    };
    for (const StyleCase& c : cases) {
        SCOPED_TRACE(c.style);
        const std::vector<MessageBoxButton> buttons = MessageBoxButtons(c.style);
        std::vector<int32_t> results, captions;
        for (const MessageBoxButton& button : buttons) {
            results.push_back(button.result);
            captions.push_back(button.captionId);
        }
        EXPECT_EQ(results, c.results);
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(MessageBoxDefaultButton(c.style, static_cast<int>(buttons.size())),
                  c.defaultButton);
        EXPECT_EQ(std::string(MessageBoxIconKey(c.style)), c.icon);
    }
}

TEST(MessageBoxStyles, ConsoleBoxAnswersByFirstLetterElseTheSafeButton) {
    struct ConsoleCase {
        int32_t style;
        const char* input;
        int32_t expected;
    };
    const ConsoleCase cases[] = {
        {vbOKOnly, "", vbOK},
        {vbYesNo, "", vbNo},
        {vbYesNoCancel, "", vbNo},
        {vbOKCancel, "", vbCancel},
        {vbRetryCancel, "", vbCancel},
        {vbAbortRetryIgnore, "", vbIgnore},
        {6, "", vbOK},  // a set outside the table still gets OK
        {vbAbortRetryIgnore, " retry\n", vbRetry},
        {vbYesNoCancel, "yes\n", vbYes},
        {vbYesNo, "x\n", vbNo},
    };
    std::streambuf* const standardInput = std::cin.rdbuf();
    for (const ConsoleCase& c : cases) {
        std::istringstream input(c.input);
        std::cin.rdbuf(input.rdbuf());
        std::cin.clear();
        testing::internal::CaptureStderr();
        const int32_t answer = ConsoleMessageBox("Go on?", c.style, "T");
        const std::string shown = testing::internal::GetCapturedStderr();
        EXPECT_EQ(answer, c.expected) << c.style << " " << c.input;
        EXPECT_EQ(shown.rfind("T: Go on?", 0), 0u) << shown;
    }
    std::cin.rdbuf(standardInput);
    std::cin.clear();
}

}  // namespace
}  // namespace vantreel::test
