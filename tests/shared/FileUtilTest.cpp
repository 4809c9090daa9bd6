#include "shared/FileUtil.h"

#include "common/ErrorNumber.h"
#include "common/TestRegistry.h"

#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <limits>

#include <gtest/gtest.h>

namespace vantreel::test {
namespace {

TEST(FileUtilDates, DatesWithoutATimeOfTheCalendarAreRefusedAndTheFileKeepsItsTime) {
    TempDirectory directory;
    const std::string path = directory.File("f.txt");
    std::ofstream(path) << "x";
    FileUtil file;
    file.OpenFileForWrite(path);
    file.SetDateTime(45000.5);
    const double cases[] = {
        std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity(),
        1e300,
        -1e300,
        -657435.0,  // the day before 1 January 100
        2958466.0,  // the day after 31 December 9999
    };
    for (const double date : cases) {
        std::string description;
        EXPECT_EQ(ErrorNumber([&] { file.SetDateTime(date); }, &description), 500) << date;
        EXPECT_EQ(description, "Win32 (22)") << date;
        EXPECT_NEAR(file.GetDateTime(), 45000.5, 1.0 / 86400) << date;
    }
    // The first and last days of the calendar are dates.
    EXPECT_NE(FileUtil::TimeFromDate(-657434.0), FileUtil::TimeFromDate(2958465.5));
}

TEST(FileUtilOpen, AFifoOpensWithoutWaitingForTheOtherEnd) {
    TempDirectory directory;
    const std::string fifo = directory.File("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    FileUtil file;
    file.OpenFileForRead(fifo);  // must not block
    EXPECT_GT(file.GetDateTime(), 0.0);
    std::string description;
    // No reader at the other end: no file to write, and nothing open after it.
    EXPECT_EQ(ErrorNumber([&] { file.OpenFileForWrite(fifo); }, &description), 500);
    EXPECT_EQ(description, "Win32 (6)");
    EXPECT_EQ(ErrorNumber([&] { (void)file.GetDateTime(); }, &description), 500);
    EXPECT_EQ(description, "File not open");
}

}  // namespace
}  // namespace vantreel::test
