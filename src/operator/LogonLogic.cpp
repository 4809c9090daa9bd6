#include "operator/LogonLogic.h"

#include "operator/OperatorHelp.h"
#include "shared/Resources.h"

namespace vantreel {

LogonTexts LoadLogon(LogonState& state) {
    InitResources();
    SetLanguage(state.language);
    SetHelpFile(state.language, kHelpBaseName);
    return {GetResString(125001), GetResString(125002), GetResString(125003),
            GetResString(110004), GetResString(110005), GetResString(110008)};
}

LogonField LogonFocus(std::string_view userText) {
    return userText.empty() ? LogonField::UserName : LogonField::Password;
}

void ConfirmLogon(LogonState& state, std::string_view user, std::string_view password) {
    state.password.Assign(password);  // first: it is the one step that can fail
    state.currentUser = std::string(user);
    state.result = true;
}

void CancelLogon(LogonState& state) {
    state.result = false;
}

}  // namespace vantreel
