// vantreel parts info: a part's settings as the part information dialog shows
// them, and changes to them through the dialog's rules; the dialog's
// screenshots.

#include "CommandRegistry.h"

#include "partinfo/FormPartInfo.h"
#include "partinfo/PartInfoSession.h"
#include "partinfo/PartInfoText.h"
#include "partinfo/SystemPrinters.h"
#include "shared/Configuration.h"
#include "shared/Resources.h"
#include "vantreel/Error.h"

#include <QCoreApplication>

#include <filesystem>
#include <memory>
#include <ostream>

namespace vantreel::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: vantreel parts info PART [--user KEY --machine KEY] [--set Section.Key=VALUE ...]";

// Qt's print support needs an application object to find its CUPS plug-in.
PrinterList Printers() {
    std::unique_ptr<QCoreApplication> application;
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "vantreel";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    return SystemPrinters();
}

std::string PartDirectory(const std::string& part) {
    if (fs::path(part).is_absolute()) {
        return part;
    }
    return (fs::path(GetRepositoryRoot("")) / part).string();
}

int Refuse(const PartInfoMessage& message, std::ostream& err) {
    err << "ERROR: " << ReplaceAll(message.Text, "\r\n", "\n") << '\n';
    return 1;
}

int RunPartsInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::string part;
    std::string user;
    std::string machine;
    std::vector<std::string> assignments;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--user" && hasValue) {
            user = args[++i];
        } else if (arg == "--machine" && hasValue) {
            machine = args[++i];
        } else if (arg == "--set" && hasValue) {
            assignments.push_back(args[++i]);
        } else if (part.empty() && !arg.empty() && arg.rfind("--", 0) != 0) {
            part = arg;
        } else {
            err << kUsage << '\n';
            return 2;
        }
    }
    if (part.empty() || user.empty() != machine.empty()) {
        err << kUsage << '\n';
        return 2;
    }
    InitResources();
    int32_t language = 0;
    SetLanguage(language);
    PartInfoSession session;
    try {
        session.Open(PartDirectory(part));
    } catch (const Error& error) {
        err << "ERROR: " << error.Description() << '\n';
        return 1;
    }
    const PrinterList printers = Printers();
    session.Load(printers, user, machine);
    if (const std::optional<PartInfoMessage> problem = session.FileProblemMessage()) {
        return Refuse(*problem, err);
    }

    if (!assignments.empty()) {
        const PartInfoSettings& settings = session.Settings();
        PartInfoControls controls = ControlsFromSettings(settings, printers);
        bool protectedPart = settings.WriteProtect;
        std::optional<bool> writeProtect;
        bool otherChanges = false;
        for (const std::string& text : assignments) {
            SettingAssignment assignment;
            if (const auto refusal = ParseAssignment(text, settings, assignment)) {
                return Refuse(*refusal, err);
            }
            if (assignment.Key == PartInfoKey::WriteProtect) {
                const std::optional<bool> flag = ParseBooleanArgument(assignment.Value);
                if (!flag) {
                    err << "ERROR: "
                        << FormatResString(125145, "\"" + assignment.Value + "\"", assignment.Name)
                        << '\n';
                    return 1;
                }
                if (!IsAdministrator()) {
                    err << "ERROR: " << GetResString(125116) << '\n';
                    return 1;
                }
                writeProtect = *flag;
                protectedPart = *flag;
                continue;
            }
            if (protectedPart) {
                err << "ERROR: " << GetResString(125143) << '\n';
                return 1;
            }
            if (const auto refusal = ApplyAssignment(assignment, settings, printers, controls)) {
                return Refuse(*refusal, err);
            }
            otherChanges = true;
        }
        // The other changes first (a save ignores the protection), then the
        // protection: a refused save leaves everything as it was.
        if (otherChanges) {
            controls.WriteProtected = false;
            if (const auto failure = session.Save(controls)) {
                return Refuse(*failure, err);
            }
        }
        if (writeProtect && !session.SetWriteProtect(*writeProtect)) {
            err << "ERROR: "
                << FormatResString(125140, "\"" + session.InformationFile() + "\"",
                                   "Part.WriteProtect")
                << '\n';
            return 1;
        }
        session.Load(printers, user, machine);
    }
    for (const auto& [name, value] :
         DescribeSettings(session.Settings(), printers, session.FullPath())) {
        out << name << '\t' << value << '\n';
    }
    return 0;
}

const CommandRegistration partsInfo(
    {"parts info",
     "PART [--user KEY --machine KEY] [--set Section.Key=VALUE "
     "...]  show or change a part's settings",
     RunPartsInfo, "vantreel parts info Plates/PLATE_4711 --set Part.SerialNumber=SN-9"});

}  // namespace
}  // namespace vantreel::cli
