#pragma once

#include "vantreel/Api.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vantreel {

// Asks the operator for a user name and a password. The library checks
// neither: whether the pair is valid is the host's decision.
//
//     vantreel::Logon logon;
//     logon.SetLastUserName("anna");
//     if (logon.Login()) { check(logon.CurrentUser(), logon.Password()); }
//
// One object keeps its dialog and values across Login calls. Call from the
// GUI thread; a host without a QApplication gets one made by the library.
class VANTREEL_API Logon {
  public:
    Logon();
    ~Logon();
    Logon(const Logon&) = delete;
    Logon& operator=(const Logon&) = delete;

    // The user name proposed when the dialog opens.
    void SetLastUserName(const std::string& sLastUserName);
    // The language of the dialog (a Windows LCID); 0, the default, is the
    // station's configured language.
    void SetLangID(int32_t lLangID);

    // The password typed at the last confirmed logon ("" before one). The
    // returned copy is the caller's to protect.
    std::string Password() const;
    // The user name typed at the last confirmed logon ("" before one).
    std::string CurrentUser() const;

    // Shows the logon dialog; true when the operator confirmed with OK,
    // false after Cancel or on any error.
    bool Login();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantreel
