// Screenshots of the part information dialog: every tab in desktop and touch
// sizes, English and German, and the on-screen keyboard over a text box.

#include "CommandRegistry.h"
#include "ScratchStation.h"

#include "components/FileSystemPart.h"
#include "partinfo/FormPartInfo.h"
#include "partinfo/PartInfoSession.h"
#include "partinfo/SystemPrinters.h"
#include "shared/IniFile.h"
#include "shared/RegEntry.h"
#include "shared/Resources.h"
#include "touch/FormKeyboard.h"
#include "vantreel/Error.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>

namespace vantreel::cli {
namespace {

namespace fs = std::filesystem;

// A sample part and station registry in a temporary folder, for the time of
// the screenshots; the caller's registry is restored afterwards.
class SampleStation {
  public:
    SampleStation() : station_("partinfo") {
        const auto set = [this](const std::string& key, const std::string& name,
                                const std::string& value) { station_.Set(key, name, value); };
        set("Common", "StartupApp", "Tellurim");
        set("Users", "LastUser", "anna");
        set("Users\\anna", "Administrator", "true");
        set("Machines\\Bridge1\\DatabaseLabels", "DBLabel0", "Operator");
        set("Machines\\Bridge1\\DatabaseLabels", "DBLabel1", "Shift");
        set("Machines\\Bridge1\\DatabaseLabels", "DBLabel4", "Gauge");
        set("Users\\anna\\DatabaseRelations", "Operator", "anna");
        set("Users\\anna\\DatabaseRelations", "Shift", "early");
        set("Common\\Addons\\RunCounter", "Name", "Run counter");
        set("Common\\Addons\\RunCounter", "PIFProgID", "Example.RunCounter");
        set("Common\\Addons\\Torque", "Name", "Torque check");
        set("Common\\Addons\\Torque", "PIFProgID", "Example.Torque");

        FileSystemPart part;
        std::string name = "PLATE_4711";
        part.CreateProject(0, station_.Directory().string(), name, true);
        partDir_ = part.FullPath();
        const std::string file = part.informationfile();
        WriteIniString(file, "Part", "LibraryName", "PLATES");
        WriteIniString(file, "Part", "SerialNumber", "SN-0815");
        WriteIniString(file, "Report", "PrintMode", "2");
        WriteIniString(file, "Report", "ReportStatus", "3");
        WriteIniString(file, "Report", "ReportFile", "plate_report");
        WriteIniString(file, "Report", "LogStatus", "1");
        WriteIniString(file, "Report", "LogMode", "true");
        WriteIniString(file, "Report", "LogFile", "plate_log");
        WriteIniString(file, "Report", "CSVStatus", "1");
        WriteIniString(file, "Report", "CSVFile", "/srv/measurements/plate_4711.csv");
        WriteIniString(file, "Report", "Shift", "late");
        WriteIniString(file, "Skip", "PartialRun", "true");
        WriteIniString(file, "Skip", "SkipFile", partDir_ + "/bores_only.skp");
        std::ofstream(fs::path(partDir_) / "bores_only.skp") << "BORE1\n";
        std::ofstream(fs::path(partDir_) / "datum.skp") << "PLN1\n";
    }
    SampleStation(const SampleStation&) = delete;
    SampleStation& operator=(const SampleStation&) = delete;

    const std::string& PartDir() const { return partDir_; }

  private:
    ScratchStation station_;
    std::string partDir_;
};

bool DrawPartInfo(const std::string& directory, std::ostream& out, std::ostream& err) {
    try {
        SampleStation station;
        const char* const tabs[] = {"general", "report", "log", "csv", "database", "addons"};
        for (const auto& [language, code] : {std::pair{1033, "en"}, std::pair{1031, "de"}}) {
            for (const bool touch : {false, true}) {
                InitResources();
                int32_t lcid = language;
                SetLanguage(lcid);
                PartInfoSession session;
                session.Open(station.PartDir());
                session.Load(SystemPrinters(), "Users\\anna", "Machines\\Bridge1");
                FormPartInfo form;
                form.Load(session, language, touch);
                const std::string size = touch ? "touch" : "desktop";
                for (int tab = 1; tab <= 6; ++tab) {
                    form.SelectTab(tab);
                    const std::string file =
                        std::string("partinfo-") + tabs[tab - 1] + "-" + size + "-" + code + ".png";
                    if (!SaveScreenshot(form, directory, file, out, err)) {
                        return false;
                    }
                }
                if (!touch) {
                    continue;
                }
                // The keyboard opened over the serial number box.
                form.SelectTab(1);
                form.show();
                QApplication::processEvents();
                QPixmap picture = form.grab();
                FormKeyboard keyboard;
                keyboard.SetLanguage(language);
                keyboard.Build(GetResString(125109), "SN-0815");
                keyboard.show();
                QApplication::processEvents();
                const QPixmap keys = keyboard.grab();
                keyboard.hide();
                const QLineEdit* box = form.findChild<QLineEdit*>("txtSerialNum");
                const int top =
                    box != nullptr ? box->mapTo(&form, QPoint(0, box->height())).y() : 0;
                QPixmap composed(std::max(picture.width(), keys.width()),
                                 std::max(picture.height(), top + keys.height()));
                composed.fill(form.palette().color(QPalette::Window));
                QPainter painter(&composed);
                painter.drawPixmap((composed.width() - picture.width()) / 2, 0, picture);
                const int left = (composed.width() - keys.width()) / 2;
                painter.drawPixmap(left, top, keys);
                painter.setPen(form.palette().color(QPalette::Dark));
                painter.drawRect(left, top, keys.width() - 1, keys.height() - 1);
                painter.end();
                QLabel canvas;
                canvas.setPixmap(composed);
                canvas.setFixedSize(composed.size());
                if (!SaveScreenshot(canvas, directory,
                                    std::string("partinfo-keyboard-touch-") + code + ".png", out,
                                    err)) {
                    return false;
                }
                form.hide();
            }
        }
    } catch (const Error& error) {
        err << "ERROR: " << error.Description() << '\n';
        return false;
    }
    return true;
}

const ScreenshotRegistration partInfoShots(DrawPartInfo);

}  // namespace
}  // namespace vantreel::cli
