#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vantreel {

// Button sets, icons and results of the library's message box, with the
// numbers Visual Basic gives them.
enum MessageBoxStyle : int32_t {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};

enum MessageBoxResult : int32_t {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7,
};

// Shows a message and returns the button pressed.
using MessageBoxHandler =
    std::function<int32_t(const std::string& text, int32_t style, const std::string& title)>;

// Every message of the library goes through MsgBoxEx, which hands it to the
// installed handler: the dialog window in a GUI host, the console in the
// command-line tool (the default), a scripted answer in tests.
int32_t MsgBoxEx(const std::string& text, int32_t style, const std::string& title);

// Installs a handler; an empty one restores the console. Returns the previous one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Whether a handler other than the console is installed.
bool HasMessageBoxHandler();

// The console handler: the message on standard error, the answer read from
// standard input (the first letter of a button's name). Without an answer it
// takes the safe button: No, Cancel or OK.
int32_t ConsoleMessageBox(const std::string& text, int32_t style, const std::string& title);

}  // namespace vantreel
