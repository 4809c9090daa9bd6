#pragma once

#include <string>

namespace vantreel {

// One open file whose last-modified time can be read and set as a local
// date: a Basic date, days since 30 December 1899 with the time of day as the
// fraction. Errors are number 500, source "FileUtil": "File not open", or
// "Win32 (" + the system's error number + ")" (2 for a missing file).
class FileUtil {
  public:
    FileUtil() = default;
    ~FileUtil();
    FileUtil(const FileUtil&) = delete;
    FileUtil& operator=(const FileUtil&) = delete;

    void OpenFileForRead(const std::string& sPath);
    // Opens an existing file for writing; others may read and write it too.
    void OpenFileForWrite(const std::string& sPath);
    void CloseFile() noexcept;

    double GetDateTime() const;
    // Sets the last-modified time; the last-access time stays. A date outside
    // the years 100 to 9999 (or no number) raises "Win32 (22)".
    void SetDateTime(double vDate);

    // Conversions between Basic dates (local time) and the system clock; a
    // date outside the years 100 to 9999 raises error 5.
    static double DateFromTime(long long secondsSinceEpoch);
    static long long TimeFromDate(double vDate);

  private:
    // Closes any open file, then opens sPath with the open(2) mode.
    void Open(const std::string& sPath, int mode);

    int handle_ = -1;
    std::string path_;
};

}  // namespace vantreel
