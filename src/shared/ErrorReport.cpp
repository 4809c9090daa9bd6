#include "shared/ErrorReport.h"

#include "shared/MessageBox.h"
#include "shared/Resources.h"

namespace vantreel {

void ShowErrorReport(const std::string& description, const std::string& sTitle) {
    MsgBoxEx(description, vbInformation, sTitle.empty() ? GetResString(kErrorReportTitle) : sTitle);
}

}  // namespace vantreel
