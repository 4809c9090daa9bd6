#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

// Button sets, icons, default-button flags and results of the library's
// message box, with the numbers Visual Basic gives them (MessageBoxStyles.def).
enum MessageBoxStyle : int32_t {
#define MSGBOX_BUTTONS(name, style, first, second, third) name = style,
#define MSGBOX_ICON(name, style, key) name = style,
#define MSGBOX_DEFAULT(name, style, button) name = style,
#include "shared/MessageBoxStyles.def"
};

// The parts of a style: the button set, the icon and the default button.
constexpr int32_t kMessageBoxButtonsMask = 0x7;
constexpr int32_t kMessageBoxIconMask = 0x70;
constexpr int32_t kMessageBoxDefaultMask = 0x300;

// What a message box returns: the button pressed, vbNoButton when it was
// closed without one.
enum MessageBoxResult : int32_t {
    vbNoButton = 0,
#define MSGBOX_RESULT(name, code, caption, word) name = code,
#include "shared/MessageBoxStyles.def"
};

struct MessageBoxButton {
    MessageBoxResult result;
    int32_t captionId;  // string ID of its caption
    const char* word;   // its English name, as the console shows it
};

// The buttons of the style's set, left to right; none for a set the table
// does not have.
std::vector<MessageBoxButton> MessageBoxButtons(int32_t style);

// The image key of the style's icon ("Critical", "Question", ...); "" for none.
std::string_view MessageBoxIconKey(int32_t style);

// The 1-based default button: the one the style's default-button flag names
// when the set has that many buttons, else the first.
int MessageBoxDefaultButton(int32_t style, int buttonCount);

// Shows a message and returns the button pressed.
using MessageBoxHandler =
    std::function<int32_t(const std::string& text, int32_t style, const std::string& title)>;

// Every message of the library goes through MsgBoxEx, which hands it to the
// installed handler: the dialog window in a GUI host, the console in the
// command-line tool (the default), a scripted answer in tests. Without a
// style the box has OK alone; without a title (or an empty one) the window
// shows the host application's title.
int32_t MsgBoxEx(const std::string& text, int32_t style = vbOKOnly, const std::string& title = {});

// Installs a handler; an empty one restores the console. Returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Whether a handler other than the console is installed.
bool HasMessageBoxHandler();

// The console handler: the message on standard error, the answer read from
// standard input (the first letter of a button's name). Without an answer it
// takes the safe button: No, Cancel or OK.
int32_t ConsoleMessageBox(const std::string& text, int32_t style, const std::string& title);

}  // namespace vantreel
