#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <vector>

namespace vantreel::test {

// Runs each body in a child process of its own, all at the same time, and
// expects every child to end normally; a body fails by throwing.
inline void RunInChildren(const std::vector<std::function<void()>>& bodies) {
    std::vector<pid_t> children;
    for (const auto& body : bodies) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int status = 0;
            try {
                body();
            } catch (...) {
                status = 1;
            }
            _exit(status);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
}

}  // namespace vantreel::test
