#include "shared/MessageBox.h"

#include "shared/Text.h"

#include <iostream>
#include <mutex>
#include <utility>
#include <vector>

namespace vantreel {
namespace {

std::mutex handlerMutex;

MessageBoxHandler& Handler() {
    static MessageBoxHandler handler;
    return handler;
}

struct Button {
    const char* name;
    int32_t result;
};

std::vector<Button> ButtonsOf(int32_t style) {
    switch (style & 7) {
        case vbOKCancel:
            return {{"OK", vbOK}, {"Cancel", vbCancel}};
        case vbAbortRetryIgnore:
            return {{"Abort", vbAbort}, {"Retry", vbRetry}, {"Ignore", vbIgnore}};
        case vbYesNoCancel:
            return {{"Yes", vbYes}, {"No", vbNo}, {"Cancel", vbCancel}};
        case vbYesNo:
            return {{"Yes", vbYes}, {"No", vbNo}};
        case vbRetryCancel:
            return {{"Retry", vbRetry}, {"Cancel", vbCancel}};
        default:
            return {{"OK", vbOK}};
    }
}

}  // namespace

int32_t ConsoleMessageBox(const std::string& text, int32_t style, const std::string& title) {
    const std::vector<Button> buttons = ButtonsOf(style);
    std::cerr << (title.empty() ? "" : title + ": ") << text;
    if (buttons.size() == 1) {
        std::cerr << '\n';
        return buttons.front().result;
    }
    std::cerr << " (";
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        std::cerr << (i > 0 ? "/" : "") << buttons[i].name;
    }
    std::cerr << ") ";
    // Without an answer the button that changes nothing is taken.
    int32_t safe = buttons.back().result;
    for (const Button& button : buttons) {
        if (button.result == vbNo) {
            safe = vbNo;
        }
    }
    std::string answer;
    if (!std::getline(std::cin, answer)) {
        std::cerr << '\n';
        return safe;
    }
    const std::string_view given = Trim(answer, kWhitespace);
    for (const Button& button : buttons) {
        if (!given.empty() && UpperAscii(given.front()) == button.name[0]) {
            return button.result;
        }
    }
    return safe;
}

int32_t MsgBoxEx(const std::string& text, int32_t style, const std::string& title) {
    MessageBoxHandler handler;
    {
        std::lock_guard lock(handlerMutex);
        handler = Handler();
    }
    return handler ? handler(text, style, title) : ConsoleMessageBox(text, style, title);
}

bool HasMessageBoxHandler() {
    std::lock_guard lock(handlerMutex);
    return static_cast<bool>(Handler());
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard lock(handlerMutex);
    return std::exchange(Handler(), std::move(handler));
}

}  // namespace vantreel
