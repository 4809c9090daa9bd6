// Screenshots of the part selection and drive selection dialogs, drawn over a
// small sample repository made for the purpose in a temporary directory.

#include "CommandRegistry.h"
#include "ScratchStation.h"

#include "partselect/FormPartSelect.h"
#include "partselect/FormSelectDrive.h"
#include "partselect/PartSelectLogic.h"
#include "shared/FileUtil.h"
#include "shared/RegEntry.h"
#include "shared/Resources.h"
#include "vantreel/Error.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QTreeWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <ostream>

namespace vantreel::cli {
namespace {

namespace fs = std::filesystem;

// A sample repository and a registry of its own, both removed afterwards; the
// registry the tool was started with comes back.
class SampleStation {
  public:
    SampleStation() : station_("shots") {
        const fs::path root = station_.Directory() / "parts";
        fs::create_directories(root / "Fixtures" / "Clamps");
        fs::create_directories(root / "Prototypes");
        fs::create_directories(root / "Series 2026");
        int day = 0;
        for (const char* part : {"BRACKET_12", "COVER_PLATE", "GEARBOX_HOUSING", "SHAFT_D40"}) {
            const fs::path folder = root / part;
            fs::create_directories(folder);
            const fs::path project = folder / (std::string(part) + ".vbp");
            std::ofstream(project) << "Type=Exe\r\n";
            // Fixed dates, so that every run draws the same pictures.
            FileUtil file;
            file.OpenFileForWrite(project.string());
            file.SetDateTime(46300.0 + day * 17 + 0.375 + day * 0.05);
            ++day;
        }
        std::ofstream(root / "FLANGE_OLD.DMS") << "ENDFIL\r\n";
        std::ofstream(root / "probe_check.dmi") << "ENDFIL\r\n";
        std::ofstream(root / "notes.txt") << "not listed\n";
        RegEntry registry;
        registry.CreateKey("Common");
        registry.SetString("RepositoryRoot", root.string());
        registry.SetString("StartupApp", "Sobrel");
        registry.CreateKey("Sobrel\\User");
        registry.SetBoolean("Administrator", true);
    }
    SampleStation(const SampleStation&) = delete;
    SampleStation& operator=(const SampleStation&) = delete;

  private:
    ScratchStation station_;
};

void SelectLanguage(int32_t language) {
    InitResources();
    SetLanguage(language);
    QLocale::setDefault(QLocale(language == 1031 ? QLocale::German : QLocale::English,
                                language == 1031 ? QLocale::Germany : QLocale::UnitedStates));
}

// Clicks the list entry with this text, as the operator does.
void Click(FormPartSelect& form, const char* text) {
    auto* list = form.findChild<QTreeWidget*>("lvMain");
    const QList<QTreeWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
    if (!found.isEmpty()) {
        list->setCurrentItem(found.front());
    }
}

enum class Scene { List, Details, Directory, Legacy, SaveAs };

bool DrawPartSelect(Scene scene, const std::string& file, const std::string& directory,
                    std::ostream& out, std::ostream& err) {
    PartSelectState state;
    const bool german = file.ends_with("-de.png");
    state.SelectExisting = scene != Scene::SaveAs;
    state.DirectoryMode = scene == Scene::Directory;
    state.Prompt = scene == Scene::Directory ? (german ? "Zielordner wählen" : "Choose a folder")
                   : scene == Scene::SaveAs  ? (german ? "Teil speichern unter" : "Save part as")
                                             : (german ? "Teil öffnen" : "Open part");
    FormPartSelect form(state);
    form.Load();
    ActivateDialog(state);
    switch (scene) {
        case Scene::List:
            Click(form, "GEARBOX_HOUSING");
            break;
        case Scene::Details:
            form.findChild<QAction*>("details")->trigger();
            Click(form, "COVER_PLATE");
            break;
        case Scene::Directory:
            Click(form, "Fixtures");
            form.findChild<QTreeWidget*>("lvMain")->itemDoubleClicked(
                form.findChild<QTreeWidget*>("lvMain")->currentItem(), 0);
            break;
        case Scene::Legacy:
            Click(form, "FLANGE_OLD.DMS");
            break;
        case Scene::SaveAs: {
            auto* name = form.findChild<QLineEdit*>("txtName");
            name->setFocus();
            name->setText("BRACKET_14");
            name->textEdited(name->text());
            break;
        }
    }
    return SaveScreenshot(form, directory, file, out, err);
}

bool DrawSelectDrive(const std::string& file, const std::string& directory, std::ostream& out,
                     std::ostream& err) {
    FormSelectDrive form;
    form.SetDrives(
        {{"/", ""}, {"/media/operator/PARTS_USB", "PARTS_USB"}, {"/mnt/measuring-room", ""}});
    form.Load();
    auto* drive = form.findChild<QWidget*>("optDrive1");
    QMetaObject::invokeMethod(drive, "click");
    return SaveScreenshot(form, directory, file, out, err);
}

bool DrawAll(const std::string& directory, std::ostream& out, std::ostream& err) {
    std::optional<SampleStation> station;
    try {
        station.emplace();
    } catch (const Error& error) {
        err << "ERROR: " << error.Description() << '\n';
        return false;
    }
    const QLocale previous;
    bool written = true;
    for (const auto& [language, suffix] :
         {std::pair{1033, "-en.png"}, std::pair{1031, "-de.png"}}) {
        SelectLanguage(language);
        const std::string s = suffix;
        written =
            written && DrawPartSelect(Scene::List, "partselect-list" + s, directory, out, err) &&
            DrawPartSelect(Scene::Details, "partselect-details" + s, directory, out, err) &&
            DrawPartSelect(Scene::Directory, "partselect-directory" + s, directory, out, err) &&
            DrawPartSelect(Scene::Legacy, "partselect-legacy" + s, directory, out, err) &&
            DrawPartSelect(Scene::SaveAs, "partselect-saveas" + s, directory, out, err) &&
            DrawSelectDrive("selectdrive" + s, directory, out, err);
    }
    QLocale::setDefault(previous);
    int32_t english = 1033;
    SetLanguage(english);
    return written;
}

const ScreenshotRegistration kPartSelectShots(DrawAll);

}  // namespace
}  // namespace vantreel::cli
