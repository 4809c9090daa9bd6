// Screenshots of the export and import dialogs, in English and German, drawn
// over sample parts made for the purpose in a temporary directory.

#include "CommandRegistry.h"

#include "components/ComponentFactory.h"
#include "components/FileSystemPart.h"
#include "exchange/FormExport.h"
#include "exchange/FormExportOptions.h"
#include "exchange/FormImport.h"
#include "shared/Resources.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>

namespace vantreel::cli {
namespace {

namespace fs = std::filesystem;

// Sample parts, an export file of them and a legacy list, removed afterwards.
class SampleExchange {
  public:
    SampleExchange() {
        char pattern[] = "/tmp/vantreel-exchange-shots-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            return;
        }
        directory_ = pattern;
        for (const char* name : {"BRACKET_12", "GEARBOX_HOUSING", "SHAFT_D40"}) {
            const fs::path folder = directory_ / "parts" / name;
            fs::create_directories(folder);
            std::ofstream(folder / (std::string(name) + ".vbp")) << "Type=Exe\r\n";
            std::ofstream(folder / "ModMain.bas") << "Sub Main()\r\n";
        }
        std::ofstream(directory_ / "drawing_12.pdf") << "%PDF";
        std::ofstream(directory_ / "clamping.txt") << "clamp at A and C";
        fs::create_directories(directory_ / "legacy" / "FLANGE_80");
        std::ofstream(directory_ / "legacy" / "FLANGE_80" / "FLANGE_80.lst")
            << "FLANGE_80\r\nVisualBasic\r\nD:FLANGE_80.vbp\r\n";
        fs::create_directories(directory_ / "usb" / "Transfer");
    }
    ~SampleExchange() {
        std::error_code ignored;
        if (!directory_.empty()) {
            fs::remove_all(directory_, ignored);
        }
    }
    SampleExchange(const SampleExchange&) = delete;
    SampleExchange& operator=(const SampleExchange&) = delete;

    bool Ready() const { return !directory_.empty(); }
    std::string Part(const char* name) const { return (directory_ / "parts" / name).string(); }
    std::string Path(const char* relative) const { return (directory_ / relative).string(); }

  private:
    fs::path directory_;
};

bool ExchangeScreenshots(const std::string& directory, std::ostream& out, std::ostream& err) {
    SampleExchange sample;
    if (!sample.Ready()) {
        err << "ERROR: no temporary directory for the exchange screenshots\n";
        return false;
    }
    const std::string zip = sample.Path("line3.zip");
    {
        std::vector<std::unique_ptr<Part>> parts;
        std::vector<const Part*> list;
        for (const char* name : {"BRACKET_12", "GEARBOX_HOUSING", "SHAFT_D40"}) {
            parts.push_back(CreatePart());
            std::string path = sample.Part(name);
            parts.back()->OpenProject(path);
            list.push_back(parts.back().get());
        }
        parts[0]->AdditionalFileAdd(sample.Path("drawing_12.pdf"));
        parts[0]->AdditionalFileAdd(sample.Path("clamping.txt"));
        CreatePartExport()->ExportProjects(zip, "Line 3 fixtures", "anna",
                                           "Checked after the tool change", list, true, true, true);
    }
    struct Language {
        int32_t id;
        const char* suffix;
    };
    for (const Language& language : {Language{1033, "en"}, Language{1031, "de"}}) {
        InitResources();
        int32_t id = language.id;
        SetLanguage(id);
        const std::string suffix = std::string("-") + language.suffix + ".png";
        {
            FormExportOptions form;
            form.Load(id, sample.Part("BRACKET_12"));
            form.AddPart(sample.Part("GEARBOX_HOUSING"));
            form.findChild<QListWidget*>("lstParts")->setCurrentRow(0);
            if (!SaveScreenshot(form, directory, "export-options" + suffix, out, err)) {
                return false;
            }
            FormAdditionalFiles files(*form.Logic().State().parts[0]);
            files.Load(id);
            files.findChild<QListWidget*>("lstFiles")->setCurrentRow(0);
            if (!SaveScreenshot(files, directory, "export-files" + suffix, out, err)) {
                return false;
            }
        }
        {
            FormExport form;
            form.Load(id);
            form.findChild<QLineEdit*>("txtExportPath")->setText("/media/usb/line3.zip");
            form.findChild<QLineEdit*>("txtTitle")->setText("Line 3 fixtures");
            form.findChild<QLineEdit*>("txtUser")->setText("anna");
            form.findChild<QPlainTextEdit*>("txtComments")
                ->setPlainText("Checked after the tool change");
            if (!SaveScreenshot(form, directory, "export-file" + suffix, out, err)) {
                return false;
            }
        }
        {
            FormExportPart form;
            form.Load(id, sample.Part("BRACKET_12"));
            form.SetDirectory(QString::fromStdString(sample.Path("usb")));
            if (!SaveScreenshot(form, directory, "export-legacy" + suffix, out, err)) {
                return false;
            }
        }
        {
            FormImport form;
            form.Load(id);
            form.findChild<QLineEdit*>("txtSource")->setText(QString::fromStdString(zip));
            if (!SaveScreenshot(form, directory, "import-export-file" + suffix, out, err)) {
                return false;
            }
            form.findChild<QLineEdit*>("txtSource")
                ->setText(QString::fromStdString(sample.Path("legacy/FLANGE_80/FLANGE_80.lst")));
            if (!SaveScreenshot(form, directory, "import-legacy" + suffix, out, err)) {
                return false;
            }
        }
    }
    return true;
}

const ScreenshotRegistration exchangeShots(ExchangeScreenshots);

}  // namespace
}  // namespace vantreel::cli
