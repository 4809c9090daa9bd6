#include "common/TestRegistry.h"

#include "shared/Process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>

namespace vantreel::test {
namespace {

using Arguments = std::vector<std::string>;

TEST(SplitCommandLine, WindowsRules) {
    const std::pair<const char*, Arguments> cases[] = {
        {"prog a b", {"prog", "a", "b"}},
        {"  prog   a\tb  ", {"prog", "a", "b"}},
        {"\"C:\\Program Files\\VB\\Vb6.exe\" /m \"C:\\Parts\\P 1.vbp\"",
         {"C:\\Program Files\\VB\\Vb6.exe", "/m", "C:\\Parts\\P 1.vbp"}},
        {"prog \"a b\"c d", {"prog", "a bc", "d"}},
        {"prog a\\\\\\\"b", {"prog", "a\\\"b"}},
        {"prog a\\\\\"b c\"", {"prog", "a\\b c"}},
        {"prog a\\b\\\\c", {"prog", "a\\b\\\\c"}},
        {"prog \"say \"\"hi\"\"\"", {"prog", "say \"hi\""}},
        {"prog \"\"", {"prog", ""}},
        {"c:\\dir\\prog\\ x", {"c:\\dir\\prog\\", "x"}},
        {"", {}},
    };
    for (const auto& [line, arguments] : cases) {
        EXPECT_EQ(SplitCommandLine(line), arguments) << line;
    }
}

TEST(RunAndWait, EndedWithExitCodeAndArguments) {
    TempDirectory directory;
    const std::string output = directory.File("args.txt");
    const WaitResult result = RunAndWait(
        "/bin/sh -c \"printf '%s|' \\\"$@\\\" > " + output + "; exit 3\" sh \"a b\" c", 10000);
    ASSERT_EQ(result.outcome, WaitResult::Outcome::Ended) << result.error;
    EXPECT_EQ(result.exitCode, 3);
    std::ifstream in(output);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "a b|c|");
}

TEST(RunAndWait, TimesOutAndLeavesTheProgramRunning) {
    const auto start = std::chrono::steady_clock::now();
    const WaitResult result = RunAndWait("sleep 5", 200);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(result.outcome, WaitResult::Outcome::TimedOut);
    EXPECT_LT(waited, std::chrono::seconds(4));
}

TEST(RunAndWait, MissingProgramIsNotStarted) {
    const WaitResult result = RunAndWait("/nonexistent/program --flag", 1000);
    EXPECT_EQ(result.outcome, WaitResult::Outcome::NotStarted);
    EXPECT_NE(result.error.find("/nonexistent/program"), std::string::npos);
    EXPECT_EQ(RunAndWait("   ", 1000).outcome, WaitResult::Outcome::NotStarted);
}

TEST(RunAndWait, SignalIsReportedAsExitCode) {
    const WaitResult result = RunAndWait("/bin/sh -c \"kill -TERM $$\"", 10000);
    ASSERT_EQ(result.outcome, WaitResult::Outcome::Ended);
    EXPECT_EQ(result.exitCode, 128 + 15);
}

}  // namespace
}  // namespace vantreel::test
