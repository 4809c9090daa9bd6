#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vantreel::cli {

// vantreel reg VERB ...: the station's registry administered with the verbs,
// switches, messages and exit statuses of reg.exe. args are the words after
// "reg":
//   query KEY [/v [NAME] | /ve] [/s] [/f DATA [/k] [/d] [/c] [/e]] [/t TYPES] [/z]
//         [/se SEPARATOR]
//   add KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f]
//   delete KEY [/v NAME | /ve | /va] [/f]
//   copy KEY1 KEY2 [/s] [/f]
//   import FILE
//   export KEY FILE [/y]
// KEY is HKEY_LOCAL_MACHINE\... or HKLM\..., HKEY_CLASSES_ROOT\... or HKCR\... (the
// same keys as HKLM\SOFTWARE\Classes\...). Every verb takes /reg:32 or /reg:64,
// which name the one view kept here.
// Without /f (/y for export) a change that overwrites or deletes asks on out
// and reads the answer from in; no answer counts as No. Returns 0 on success,
// 1 on failure or when the user says No.
int RunReg(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err);

// The same, answering questions from standard input.
int RunReg(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vantreel::cli
