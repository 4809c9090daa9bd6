#include "vantreel/Export.h"

#include "components/ComponentFactory.h"
#include "exchange/FormExport.h"
#include "exchange/FormExportOptions.h"
#include "exchange/FormImport.h"
#include "exchange/LegacyImport.h"
#include "exchange/PartChooser.h"
#include "shared/Resources.h"
#include "touch/GuiHost.h"
#include "touch/frmMessageBox.h"
#include "vantreel/Error.h"

namespace vantreel {

// Nothing lives from one call to the next: each call makes fresh dialogs.
struct Export::Impl {};

Export::Export() : impl_(std::make_unique<Impl>()) {
    InitResources();
}

Export::~Export() = default;

bool Export::ExportParts(int32_t language, const std::optional<std::string>& firstPart) {
    try {
        EnsureGuiHost();
        SetLanguage(language);
        const std::string first = firstPart.value_or("");
        FormExportOptions options;
        if (!options.GetOptions(language, first)) {
            return false;
        }
        const ExportOptionsState& choice = options.State();
        if (!choice.legacy) {
            FormExport form;
            if (!form.Display(language)) {
                return false;
            }
            const ExportFileState& file = form.State();
            CreatePartExport()->ExportProjects(file.exportPath, file.title, file.user,
                                               file.comments, choice.PartList(), choice.fix,
                                               choice.source, choice.executable);
            return true;
        }
        FormExportPart target;
        if (!target.Display(language, first)) {
            return false;
        }
        CreatePartExport()->ExportLegacy(target.State().targetDir, choice.PartList());
        return true;
    } catch (const Error& error) {
        ShowErrorDescription(error);
    } catch (...) {
    }
    return false;
}

bool Export::Import(int32_t language, const std::optional<std::string>& path) {
    try {
        EnsureGuiHost();
        SetLanguage(language);
        FormImport form;
        if (!form.Display(language)) {
            return false;
        }
        const ImportState& state = form.State();
        const std::string target =
            path ? *path : ChooseTargetDirectory(nullptr, language, GetResString(125074));
        if (target.empty()) {
            return false;
        }
        if (state.legacy) {
            // ImportLegacy reports its own refusals and errors; the import
            // was carried out either way.
            ImportLegacy(state.exportFile, target, state.templateFlag);
            return true;
        }
        CreatePartExport()->ImportProjects(state.exportFile, state.partNames, target,
                                           state.templateFlag);
        return true;
    } catch (const Error& error) {
        ShowErrorDescription(error);
    } catch (...) {
    }
    return false;
}

void Export::ImportLegacy(const std::string& exportFile, const std::string& targetDir,
                          bool upgradeProject) {
    try {
        EnsureGuiHost();
        ImportLegacyWithMessages(exportFile, targetDir, upgradeProject);
    } catch (const Error& error) {
        ShowErrorDescription(error);
    } catch (...) {
    }
}

}  // namespace vantreel
