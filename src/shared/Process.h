#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vantreel {

// How waiting for a started program ended.
struct WaitResult {
    enum class Outcome {
        Ended,       // the program ended; exitCode holds its status
        TimedOut,    // still running when the time-out passed; it is left running
        NotStarted,  // it could not be started; error says why
    };
    Outcome outcome = Outcome::NotStarted;
    int exitCode = 0;  // 128 + signal number for a program ended by a signal
    std::string error;
};

// Splits a Windows-style command line into arguments as Windows programs do:
// blanks separate arguments outside double quotes, 2n backslashes before a
// quote give n backslashes and toggle quoting, 2n+1 give n and a literal
// quote, and "" inside quotes is a literal quote. The program name (the first
// argument) ends at the first blank or at its closing quote.
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// Starts the program of a Windows-style command line (found on PATH when it
// has no "/"), without a shell, and waits for it up to timeoutMs
// milliseconds (a negative time-out waits without end).
WaitResult RunAndWait(std::string_view sCommandLine, int32_t lTimeoutMs);

// The same, with the program started in workingDirectory.
WaitResult RunAndWait(std::string_view sCommandLine, int32_t lTimeoutMs,
                      const std::string& workingDirectory);

// Starts arguments[0] with exactly these arguments: no character of any of
// them (blank, quote, backslash, semicolon...) can split or join them. A
// program name without "/" is found on PATH.
WaitResult RunAndWait(const std::vector<std::string>& arguments, int32_t lTimeoutMs,
                      const std::string& workingDirectory);

// One argument quoted so that SplitCommandLine gives it back unchanged; for
// showing a command line to a person.
std::string QuoteArgument(std::string_view argument);

}  // namespace vantreel
