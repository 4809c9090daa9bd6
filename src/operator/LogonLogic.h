#pragma once

#include "operator/LogonState.h"

#include <string>
#include <string_view>

namespace vantreel {

// The texts of the logon dialog in its language.
struct LogonTexts {
    std::string caption;
    std::string userLabel;
    std::string passwordLabel;
    std::string ok;
    std::string cancel;
    std::string help;
};

// When the dialog loads: selects the state's language (a stored 0 becomes the
// configured default and is kept), sets that language's help file, and
// returns the texts. Registry errors of the language set-up reach the caller.
LogonTexts LoadLogon(LogonState& state);

enum class LogonField { UserName, Password };

// Where the focus goes when the dialog is activated: the user box while it
// is empty, else the password box.
LogonField LogonFocus(std::string_view userText);

// OK: both texts exactly as typed, and a True result.
void ConfirmLogon(LogonState& state, std::string_view user, std::string_view password);

// Cancel: a False result; the user and password of an earlier OK stay.
void CancelLogon(LogonState& state);

}  // namespace vantreel
