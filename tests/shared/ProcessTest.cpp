#include "common/Files.h"
#include "common/TestRegistry.h"

#include "shared/Process.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

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
    EXPECT_EQ(ReadFile(output), "a b|c|");
}

TEST(RunAndWait, TimesOutAndLeavesTheProgramRunning) {
    // The program waits for a line on a FIFO that only the test writes after
    // RunAndWait has returned: the time-out must come first, and the program
    // must still be there to finish its work afterwards.
    TempDirectory directory;
    const std::string fifo = directory.File("go");
    const std::string marker = directory.File("finished");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const WaitResult result =
        RunAndWait({"/bin/sh", "-c", "read line <\"$0\"; echo \"$line\" >\"$1\"", fifo, marker}, 50,
                   std::string());
    EXPECT_EQ(result.outcome, WaitResult::Outcome::TimedOut);
    EXPECT_FALSE(std::filesystem::exists(marker));
    // A writer opens only while a reader holds the FIFO, so this opens once
    // the program (left running) reads. The generous bounds keep a broken
    // build from hanging the tests; they measure nothing.
    int writer = -1;
    for (int attempt = 0; writer < 0 && attempt < 6000; ++attempt) {
        writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
        if (writer < 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    ASSERT_GE(writer, 0) << "the program did not stay running after the time-out";
    ASSERT_EQ(write(writer, "released\n", 9), 9);
    close(writer);
    for (int attempt = 0; attempt < 6000 && (!std::filesystem::exists(marker) ||
                                             std::filesystem::file_size(marker) == 0);
         ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::ifstream in(marker);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "released");
}

TEST(RunAndWait, ArgumentsArePassedWhole) {
    TempDirectory directory;
    const std::string output = directory.File("args.txt");
    const Arguments given = {"a b", "\"q\"", "x;rm -rf y", "$HOME", "back\\slash\\", "", "*"};
    Arguments command = {"/bin/sh", "-c", "for a; do printf '%s|' \"$a\"; done >\"$0\"", output};
    command.insert(command.end(), given.begin(), given.end());
    const WaitResult result = RunAndWait(command, -1, std::string());
    ASSERT_EQ(result.outcome, WaitResult::Outcome::Ended) << result.error;
    EXPECT_EQ(result.exitCode, 0);
    std::string expected;
    for (const std::string& argument : given) {
        expected += argument + "|";
    }
    EXPECT_EQ(ReadFile(output), expected);
}

TEST(QuoteArgument, SplitCommandLineGivesEveryArgumentBack) {
    const Arguments arguments = {
        "plain",    "two words", "",   "say \"hi\"", "C:\\Program Files\\",
        "a\\\\\"b", "tab\there", "\\",
    };
    std::string line = "prog";
    for (const std::string& argument : arguments) {
        line += " " + QuoteArgument(argument);
    }
    Arguments expected = {"prog"};
    expected.insert(expected.end(), arguments.begin(), arguments.end());
    EXPECT_EQ(SplitCommandLine(line), expected) << line;
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
