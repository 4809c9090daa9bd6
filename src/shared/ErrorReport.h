#pragma once

#include <cstdint>
#include <string>

namespace vantreel {

// The string ID of the title of the library's error report.
inline constexpr int32_t kErrorReportTitle = 110089;

// Shows a description as the library's error report: the message box with the
// information icon, titled sTitle, or string 110089 when sTitle is empty.
void ShowErrorReport(const std::string& description, const std::string& sTitle = {});

}  // namespace vantreel
