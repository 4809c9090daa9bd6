#include "partinfo/PartInfoSession.h"

#include "components/ComponentFactory.h"
#include "shared/MessageBox.h"
#include "shared/Resources.h"
#include "vantreel/Error.h"

namespace vantreel {

PartInfoSession::PartInfoSession() = default;
PartInfoSession::~PartInfoSession() = default;

void PartInfoSession::Open(const std::string& partDir) {
    std::unique_ptr<Part> part = CreatePart("Ulmaret.Part");
    std::string directory = partDir;
    part->OpenProject(directory);
    informationFile_ = part->informationfile();
    fullPath_ = part->FullPath();
    part_ = std::move(part);
}

void PartInfoSession::Load(const PrinterList& printers, const std::string& userKey,
                           const std::string& machineKey) {
    printers_ = printers;
    settings_ = PartInfoSettings{};
    problem_ = PartInfoFile(informationFile_, fullPath_).Problem();
    // A file that cannot be used is not read at all (a pipe would block the
    // reading): its settings are the defaults.
    const PartInfoFile file(problem_.empty() ? informationFile_ : std::string(), fullPath_);
    file.ReadSettings(settings_, printers_);
    file.ReadDatabaseLabels(settings_, userKey, machineKey);
    file.ReadSkip(settings_);
    try {
        addons_ = ReadAddons();
    } catch (const Error&) {
        addons_.clear();  // a registry that cannot be written shows no add-ons
    }
}

std::optional<PartInfoMessage> PartInfoSession::FileProblemMessage() const {
    if (problem_.empty()) {
        return std::nullopt;
    }
    return PartInfoMessage{125144,
                           FormatResString(125144, "\"" + informationFile_ + "\"", problem_),
                           vbExclamation, GetResString(125081)};
}

bool PartInfoSession::SetWriteProtect(bool writeProtect) {
    if (!PartInfoFile(informationFile_, fullPath_).WriteWriteProtect(writeProtect)) {
        return false;  // the file keeps its protection, and so does the session
    }
    settings_.WriteProtect = writeProtect;
    return true;
}

PartInfoMessage PartInfoSession::WriteProtectFailure() const {
    return PartInfoMessage{
        125140,
        FormatResString(
            125140, "\"" + informationFile_ + "\"",
            problem_.empty() ? "\"Part\", \"WriteProtect\" could not be written" : problem_),
        vbExclamation, GetResString(125081)};
}

std::optional<PartInfoMessage> PartInfoSession::Save(const PartInfoControls& controls) {
    if (std::optional<PartInfoMessage> invalid = ValidateControls(controls)) {
        return invalid;
    }
    if (std::optional<PartInfoMessage> problem = FileProblemMessage()) {
        return problem;
    }
    PartInfoSettings saved = settings_;
    SettingsFromControls(controls, printers_, saved);
    try {
        PartInfoFile(informationFile_, fullPath_).Write(saved, printers_);
    } catch (const Error& error) {
        return PartInfoMessage{125140, error.Description(), vbExclamation, GetResString(125081)};
    }
    settings_ = std::move(saved);
    return std::nullopt;
}

}  // namespace vantreel
