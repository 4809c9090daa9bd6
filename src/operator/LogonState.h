#pragma once

#include "operator/SecretText.h"

#include <cstdint>
#include <string>

namespace vantreel {

// What the logon dialog is given and gives back; kept by Logon across calls.
struct LogonState {
    bool result = false;       // True after OK; False initially and after Cancel
    SecretText password;       // txtPassword at the last OK
    std::string lastUserName;  // proposed in txtUsername when the dialog opens
    std::string currentUser;   // txtUsername at the last OK
    int32_t language = 0;      // LCID of texts and help; 0: the configured default
};

}  // namespace vantreel
