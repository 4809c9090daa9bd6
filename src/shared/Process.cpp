#include "shared/Process.h"

#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

extern char** environ;

namespace vantreel {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Programs left running after a time-out; reaped once they have ended.
std::mutex abandonedMutex;
std::vector<pid_t> abandoned;

void ReapAbandoned() {
    std::lock_guard lock(abandonedMutex);
    std::erase_if(abandoned, [](pid_t pid) {
        int status = 0;
        return waitpid(pid, &status, WNOHANG) != 0;
    });
}

int ExitCodeOf(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    if (WIFSIGNALED(status)) {
        return 128 + WTERMSIG(status);
    }
    return -1;
}

// Waits for pid until it ends or the deadline passes; true when it ended.
bool WaitFor(pid_t pid, int32_t timeoutMs, int& status) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
#ifdef SYS_pidfd_open
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
#else
    const int pidfd = -1;
#endif
    for (;;) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) {
            if (pidfd >= 0) {
                close(pidfd);
            }
            return true;
        }
        int remaining = -1;
        if (timeoutMs >= 0) {
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                if (pidfd >= 0) {
                    close(pidfd);
                }
                return false;
            }
            remaining = static_cast<int>(left.count());
        }
        if (pidfd >= 0) {
            pollfd descriptor{pidfd, POLLIN, 0};
            poll(&descriptor, 1, remaining);
        } else {
            std::this_thread::sleep_for(
                std::chrono::milliseconds(remaining < 0 ? 10 : std::min(remaining, 10)));
        }
    }
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> arguments;
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i])) {
        ++i;
    }
    if (i == line.size()) {
        return arguments;
    }
    // The program name: no escapes, quotes only group.
    std::string program;
    bool quoted = false;
    for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
        if (line[i] == '"') {
            quoted = !quoted;
        } else {
            program += line[i];
        }
    }
    arguments.push_back(std::move(program));

    for (;;) {
        while (i < line.size() && IsBlank(line[i])) {
            ++i;
        }
        if (i == line.size()) {
            return arguments;
        }
        std::string argument;
        quoted = false;
        while (i < line.size() && (quoted || !IsBlank(line[i]))) {
            if (line[i] == '\\') {
                std::size_t backslashes = 0;
                while (i < line.size() && line[i] == '\\') {
                    ++backslashes;
                    ++i;
                }
                if (i < line.size() && line[i] == '"') {
                    argument.append(backslashes / 2, '\\');
                    if (backslashes % 2 == 1) {
                        argument += '"';
                        ++i;
                    }
                } else {
                    argument.append(backslashes, '\\');
                }
                continue;
            }
            if (line[i] == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
                    argument += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            argument += line[i++];
        }
        arguments.push_back(std::move(argument));
    }
}

WaitResult RunAndWait(std::string_view sCommandLine, int32_t lTimeoutMs) {
    return RunAndWait(sCommandLine, lTimeoutMs, std::string());
}

WaitResult RunAndWait(std::string_view sCommandLine, int32_t lTimeoutMs,
                      const std::string& workingDirectory) {
    return RunAndWait(SplitCommandLine(sCommandLine), lTimeoutMs, workingDirectory);
}

std::string QuoteArgument(std::string_view argument) {
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string_view::npos) {
        return std::string(argument);
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes before a quote are doubled and the quote escaped.
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');  // before the closing quote
    quoted += '"';
    return quoted;
}

WaitResult RunAndWait(const std::vector<std::string>& givenArguments, int32_t lTimeoutMs,
                      const std::string& workingDirectory) {
    ReapAbandoned();
    WaitResult result;
    std::vector<std::string> arguments = givenArguments;
    if (arguments.empty() || arguments[0].empty()) {
        result.error = "the command line names no program";
        return result;
    }
    for (const std::string& argument : arguments) {
        if (argument.find('\0') != std::string::npos) {
            result.error = "an argument holds a NUL character";
            return result;
        }
    }
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!workingDirectory.empty()) {
        posix_spawn_file_actions_addchdir_np(&actions, workingDirectory.c_str());
    }
    pid_t pid = 0;
    const int error = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
        result.error = arguments[0] + ": " + std::strerror(error);
        return result;
    }
    int status = 0;
    if (!WaitFor(pid, lTimeoutMs, status)) {
        std::lock_guard lock(abandonedMutex);
        abandoned.push_back(pid);
        result.outcome = WaitResult::Outcome::TimedOut;
        return result;
    }
    result.outcome = WaitResult::Outcome::Ended;
    result.exitCode = ExitCodeOf(status);
    return result;
}

}  // namespace vantreel
