// vantreel parts export / export-legacy / browse / import / import-legacy:
// moving parts between stations from a terminal, with the part manager's
// export object and the legacy import the dialogs use.

#include "CommandRegistry.h"

#include "components/ComponentFactory.h"
#include "components/FileSystemExport.h"
#include "exchange/LegacyImport.h"
#include "shared/Configuration.h"
#include "shared/Paths.h"
#include "shared/Resources.h"
#include "vantreel/Error.h"

#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace vantreel::cli {
namespace {

// A command line taken apart: the plain arguments, and the options that take
// a value or stand alone.
struct Options {
    std::vector<std::string> plain;
    std::vector<std::pair<std::string, std::string>> valued;
    std::vector<std::string> flags;

    std::string Value(const std::string& name, const std::string& fallback) const {
        std::string value = fallback;
        for (const auto& [key, text] : valued) {
            if (key == name) {
                value = text;
            }
        }
        return value;
    }
    std::vector<std::string> Values(const std::string& name) const {
        std::vector<std::string> values;
        for (const auto& [key, text] : valued) {
            if (key == name) {
                values.push_back(text);
            }
        }
        return values;
    }
    bool Flag(const std::string& name) const {
        for (const std::string& flag : flags) {
            if (flag == name) {
                return true;
            }
        }
        return false;
    }
};

// Splits args; an unknown option or a missing value is a UsageError.
Options Parse(const std::vector<std::string>& args, const std::vector<std::string>& withValue,
              const std::vector<std::string>& alone) {
    Options parsed;
    const auto known = [](const std::vector<std::string>& list, const std::string& name) {
        for (const std::string& item : list) {
            if (item == name) {
                return true;
            }
        }
        return false;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || !arg.starts_with("--")) {
            parsed.plain.push_back(arg);
        } else if (known(withValue, arg)) {
            if (i + 1 == args.size()) {
                throw UsageError("option '" + arg + "' needs a value");
            }
            parsed.valued.emplace_back(arg, args[++i]);
        } else if (known(alone, arg)) {
            parsed.flags.push_back(arg);
        } else {
            throw UsageError("unknown option '" + arg + "'");
        }
    }
    return parsed;
}

// A part's folder: absolute, or relative to the repository root.
std::string PartFolder(const std::string& part) {
    if (!part.empty() && part.front() == '/') {
        return part;
    }
    return CombinePath(GetRepositoryRoot(""), part);
}

std::vector<std::unique_ptr<Part>> OpenParts(const std::vector<std::string>& paths) {
    std::vector<std::unique_ptr<Part>> parts;
    for (const std::string& path : paths) {
        std::unique_ptr<Part> part = CreatePart();
        std::string directory = PartFolder(path);
        part->OpenProject(directory);
        parts.push_back(std::move(part));
    }
    return parts;
}

std::vector<const Part*> View(const std::vector<std::unique_ptr<Part>>& parts) {
    std::vector<const Part*> view;
    for (const auto& part : parts) {
        view.push_back(part.get());
    }
    return view;
}

// Runs a verb, turning every error into a message and exit status 1; a wrong
// command line is a UsageError for the tool to report (exit status 2).
int Guarded(std::size_t minimum, const char* names, const std::vector<std::string>& args,
            std::ostream& err, const std::function<int()>& body) {
    std::size_t plain = 0;
    for (const std::string& arg : args) {
        plain += arg.starts_with("--") ? 0 : 1;
    }
    if (plain < minimum) {
        throw UsageError(std::string("expects ") + names);
    }
    try {
        return body();
    } catch (const UsageError&) {
        throw;
    } catch (const Error& error) {
        err << "ERROR: " << error.Description() << '\n';
        return 1;
    } catch (const std::exception& error) {
        err << "ERROR: " << error.what() << '\n';
        return 1;
    }
}

const char* kExportUsage =
    "OUT.zip PART... [--title T] [--user U] [--comments C] [--no-source] [--no-executable] "
    "[--fix]  export parts into an export file";

const CommandRegistration exportVerb(
    {"parts export", kExportUsage,
     [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
         return Guarded(2, "OUT.zip PART...", args, err, [&] {
             const Options a = Parse(args, {"--title", "--user", "--comments"},
                                     {"--no-source", "--no-executable", "--fix"});
             if (a.plain.size() < 2) {
                 throw UsageError("expects OUT.zip PART...");
             }
             const char* login = std::getenv("USER");
             const auto parts = OpenParts({a.plain.begin() + 1, a.plain.end()});
             CreatePartExport()->ExportProjects(
                 a.plain[0], a.Value("--title", ""),
                 a.Value("--user", login != nullptr ? login : ""), a.Value("--comments", ""),
                 View(parts), a.Flag("--fix"), !a.Flag("--no-source"), !a.Flag("--no-executable"));
             out << "Exported " << parts.size() << (parts.size() == 1 ? " part" : " parts")
                 << " to " << a.plain[0] << '\n';
             return 0;
         });
     },
     "vantreel parts export /tmp/plates.zip Plates/PLATE_4711 --title Plates"});

const char* kExportLegacyUsage = "DIR PART...  copy parts to DIR in the legacy layout";

const CommandRegistration exportLegacyVerb(
    {"parts export-legacy", kExportLegacyUsage,
     [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
         return Guarded(2, "DIR PART...", args, err, [&] {
             const Options a = Parse(args, {}, {});
             const auto parts = OpenParts({a.plain.begin() + 1, a.plain.end()});
             CreatePartExport()->ExportLegacy(a.plain[0], View(parts));
             for (const auto& part : parts) {
                 out << CombinePath(a.plain[0], part->PartName()) << '\n';
             }
             return 0;
         });
     },
     "vantreel parts export-legacy /tmp/legacy Plates/PLATE_4711"});

const char* kBrowseUsage = "FILE  show the header and the parts of an export file";

const CommandRegistration browseVerb(
    {"parts browse", kBrowseUsage,
     [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
         return Guarded(1, "FILE", args, err, [&] {
             const Options a = Parse(args, {}, {});
             if (a.plain.size() != 1) {
                 throw UsageError("expects FILE");
             }
             std::string title, user, date, comments;
             std::vector<std::string> names;
             if (!CreatePartExport()->BrowseProjects(a.plain[0], title, user, date, comments,
                                                     names)) {
                 const std::string why = ExportFileProblem(a.plain[0]);
                 err << "ERROR: '" << a.plain[0] << "' is not an export file"
                     << (why.empty() ? "" : ": " + why) << '\n';
                 return 1;
             }
             out << "Title: " << title << "\nUser: " << user << "\nDate: " << date
                 << "\nComments: " << comments << "\nParts:\n";
             for (const std::string& name : names) {
                 out << "  " << name << '\n';
             }
             return 0;
         });
     },
     "vantreel parts browse /tmp/plates.zip"});

const char* kImportUsage =
    "FILE DIR [--part NAME]... [--template]  import the parts (all, or those named) into DIR";

const CommandRegistration importVerb(
    {"parts import", kImportUsage,
     [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
         return Guarded(2, "FILE DIR", args, err, [&] {
             const Options a = Parse(args, {"--part"}, {"--template"});
             if (a.plain.size() != 2) {
                 throw UsageError("expects FILE DIR");
             }
             std::unique_ptr<PartExport> exporter = CreatePartExport();
             std::vector<std::string> names = a.Values("--part");
             if (names.empty()) {
                 std::string title, user, date, comments;
                 if (!exporter->BrowseProjects(a.plain[0], title, user, date, comments, names)) {
                     throw Error(321, "vantreel",
                                 "'" + a.plain[0] +
                                     "' is not an export file: " + ExportFileProblem(a.plain[0]));
                 }
             }
             exporter->ImportProjects(a.plain[0], names, a.plain[1], a.Flag("--template"));
             for (const std::string& name : names) {
                 out << CombinePath(a.plain[1], name) << '\n';
             }
             return 0;
         });
     },
     "vantreel parts import /tmp/plates.zip /srv/parts/Imported --part PLATE_4711"});

const char* kImportLegacyUsage = "LISTFILE DIR [--upgrade]  import a legacy export into DIR";

const CommandRegistration importLegacyVerb(
    {"parts import-legacy", kImportLegacyUsage,
     [](const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
         return Guarded(2, "LISTFILE DIR", args, err, [&] {
             const Options a = Parse(args, {}, {"--upgrade"});
             if (a.plain.size() != 2) {
                 throw UsageError("expects LISTFILE DIR");
             }
             InitResources();
             int32_t language = 0;
             SetLanguage(language);
             const LegacyImportResult result =
                 CopyLegacyExport(a.plain[0], a.plain[1], a.Flag("--upgrade"));
             if (result.refusal != LegacyRefusal::None) {
                 err << "ERROR: " << LegacyRefusalText(result) << '\n';
                 return 1;
             }
             out << result.target << '\n';
             return 0;
         });
     },
     "vantreel parts import-legacy /mnt/usb/EXPORT.LST /srv/parts/Imported"});

}  // namespace
}  // namespace vantreel::cli
