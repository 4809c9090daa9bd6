#include "shared/FileUtil.h"

#include "shared/RunTimeError.h"
#include "vantreel/Error.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <ctime>

namespace vantreel {
namespace {

constexpr double kSecondsPerDay = 86400.0;
// The dates Basic knows: 1 January 100 to 31 December 9999.
constexpr double kFirstDate = -657434.0;
constexpr double kLastDate = 2958465.0;

[[noreturn]] void ThrowSystemError(int error) {
    throw MakeError(RunTimeError::FileUtilFailure, "FileUtil",
                    "Win32 (" + std::to_string(error) + ")");
}

[[noreturn]] void ThrowNotOpen() {
    throw MakeError(RunTimeError::FileUtilFailure, "FileUtil", "File not open");
}

// Days from 30 December 1899 to a civil date.
long long DaysFromBasicEpoch(int year, unsigned month, unsigned day) {
    using namespace std::chrono;
    const sys_days date =
        year_month_day{std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)};
    const sys_days epoch = year_month_day{std::chrono::year(1899), December, 30d};
    return (date - epoch).count();
}

}  // namespace

FileUtil::~FileUtil() {
    CloseFile();
}

void FileUtil::OpenFileForRead(const std::string& sPath) {
    Open(sPath, O_RDONLY);
}

void FileUtil::OpenFileForWrite(const std::string& sPath) {
    Open(sPath, O_WRONLY);
}

void FileUtil::Open(const std::string& sPath, int mode) {
    CloseFile();
    // The handle serves only the file's times: opening never waits, so a FIFO
    // without a writer cannot block (one without a reader fails to open for
    // writing).
    const int handle = open(sPath.c_str(), mode | O_CLOEXEC | O_NONBLOCK);
    if (handle < 0) {
        ThrowSystemError(errno);
    }
    handle_ = handle;
    path_ = sPath;
}

void FileUtil::CloseFile() noexcept {
    if (handle_ >= 0) {
        close(handle_);
    }
    handle_ = -1;
    path_.clear();
}

double FileUtil::GetDateTime() const {
    if (handle_ < 0) {
        ThrowNotOpen();
    }
    struct stat info {};
    if (fstat(handle_, &info) != 0) {
        ThrowSystemError(errno);
    }
    return DateFromTime(static_cast<long long>(info.st_mtim.tv_sec));
}

void FileUtil::SetDateTime(double vDate) {
    if (handle_ < 0) {
        ThrowNotOpen();
    }
    long long seconds = 0;
    try {
        seconds = TimeFromDate(vDate);
    } catch (const Error&) {
        ThrowSystemError(EINVAL);  // no date and time of the calendar
    }
    timespec times[2];
    times[0].tv_sec = 0;
    times[0].tv_nsec = UTIME_OMIT;  // the last-access time stays
    times[1].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_nsec = 0;
    if (futimens(handle_, times) != 0) {
        ThrowSystemError(errno);
    }
}

double FileUtil::DateFromTime(long long secondsSinceEpoch) {
    const time_t seconds = static_cast<time_t>(secondsSinceEpoch);
    std::tm local{};
    localtime_r(&seconds, &local);
    const long long days =
        DaysFromBasicEpoch(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                           static_cast<unsigned>(local.tm_mday));
    const double fraction =
        (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec) / kSecondsPerDay;
    // Before the epoch Basic keeps the fraction positive: -1.25 is 29 Dec, 6:00.
    return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

long long FileUtil::TimeFromDate(double vDate) {
    if (!std::isfinite(vDate) || vDate < kFirstDate || vDate >= kLastDate + 1) {
        throw MakeError(RunTimeError::InvalidProcedureCall, "FileUtil",
                        "Invalid procedure call or argument");
    }
    const double wholeDays = std::trunc(vDate);
    const long long secondsOfDay = std::llround(std::fabs(vDate - wholeDays) * kSecondsPerDay);
    using namespace std::chrono;
    const sys_days epoch = year_month_day{std::chrono::year(1899), December, 30d};
    const year_month_day date{epoch + days(static_cast<long long>(wholeDays))};
    std::tm local{};
    local.tm_year = static_cast<int>(date.year()) - 1900;
    local.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
    local.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
    local.tm_hour = static_cast<int>(secondsOfDay / 3600);
    local.tm_min = static_cast<int>(secondsOfDay / 60 % 60);
    local.tm_sec = static_cast<int>(secondsOfDay % 60);
    local.tm_isdst = -1;  // let the zone rules decide
    return static_cast<long long>(std::mktime(&local));
}

}  // namespace vantreel
