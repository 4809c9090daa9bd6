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

const MessageBoxButton* ResultButton(MessageBoxResult result) {
    static const MessageBoxButton buttons[] = {
#define MSGBOX_RESULT(name, code, caption, word) {name, caption, word},
#include "shared/MessageBoxStyles.def"
    };
    for (const MessageBoxButton& button : buttons) {
        if (button.result == result) {
            return &button;
        }
    }
    return nullptr;
}

}  // namespace

std::vector<MessageBoxButton> MessageBoxButtons(int32_t style) {
    struct Set {
        int32_t style;
        MessageBoxResult buttons[3];
    };
    static const Set sets[] = {
#define MSGBOX_BUTTONS(name, style, first, second, third) {style, {first, second, third}},
#include "shared/MessageBoxStyles.def"
    };
    std::vector<MessageBoxButton> result;
    for (const Set& set : sets) {
        if (set.style == (style & kMessageBoxButtonsMask)) {
            for (const MessageBoxResult button : set.buttons) {
                if (const MessageBoxButton* found = ResultButton(button)) {
                    result.push_back(*found);
                }
            }
        }
    }
    return result;
}

std::string_view MessageBoxIconKey(int32_t style) {
    struct Icon {
        int32_t style;
        const char* key;
    };
    static const Icon icons[] = {
#define MSGBOX_ICON(name, style, key) {style, key},
#include "shared/MessageBoxStyles.def"
    };
    for (const Icon& icon : icons) {
        if (icon.style == (style & kMessageBoxIconMask)) {
            return icon.key;
        }
    }
    return {};
}

int MessageBoxDefaultButton(int32_t style, int buttonCount) {
    struct Default {
        int32_t style;
        int button;
    };
    static const Default defaults[] = {
#define MSGBOX_DEFAULT(name, style, button) {style, button},
#include "shared/MessageBoxStyles.def"
    };
    for (const Default& entry : defaults) {
        if (entry.style == (style & kMessageBoxDefaultMask) && entry.button <= buttonCount) {
            return entry.button;
        }
    }
    return 1;
}

int32_t ConsoleMessageBox(const std::string& text, int32_t style, const std::string& title) {
    std::vector<MessageBoxButton> buttons = MessageBoxButtons(style);
    if (buttons.empty()) {  // a set the table does not have still gets OK
        buttons.push_back(*ResultButton(vbOK));
    }
    std::cerr << (title.empty() ? "" : title + ": ") << text;
    if (buttons.size() == 1) {
        std::cerr << '\n';
        return buttons.front().result;
    }
    std::cerr << " (";
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        std::cerr << (i > 0 ? "/" : "") << buttons[i].word;
    }
    std::cerr << ") ";
    // Without an answer the button that changes nothing is taken.
    int32_t safe = buttons.back().result;
    for (const MessageBoxButton& button : buttons) {
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
    for (const MessageBoxButton& button : buttons) {
        if (!given.empty() && UpperAscii(given.front()) == button.word[0]) {
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
