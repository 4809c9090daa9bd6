#include "DmisCommands.h"

#include "dmis/DmisFile.h"
#include "dmis/basic/BasicWriter.h"
#include "dmis/dialect/ExtendedScan.h"
#include "dmis/model/CComments.h"
#include "dmis/model/CProgram.h"
#include "dmis/scan/Scanner.h"
#include "dmis/scan/TokenDump.h"
#include "dmis/scan/TokenKind.h"
#include "dmis/stream/Datastream.h"
#include "shared/AtomicFile.h"
#include "shared/Resources.h"
#include "vantreel/Error.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <ostream>

namespace vantreel::cli {

namespace {

bool ScanForCommand(Scanner& scanner, const std::string& path, CProgram& program,
                    DmisDialect dialect) {
    if (dialect == DmisDialect::Strict) {
        return scanner.ScanFile(path, program);
    }
    DialectWarnings warnings;  // the parse reports them; a scan alone lists tokens
    return ScanExtendedFile(scanner, path, program, warnings);
}

}  // namespace

int RunTokens(const std::string& path, std::ostream& out, std::ostream& err, DmisDialect dialect) {
    CProgram program;
    Scanner scanner;
    const bool ok = ScanForCommand(scanner, path, program, dialect);
    WriteTokenDump(scanner, program.objComments.get(), out);
    out.flush();
    if (!ok) {
        err << scanner.LastError() << '\n';
        return 1;
    }
    return 0;
}

namespace {

void UseStationLanguage() {
    InitResources();
    int32_t language = 0;
    SetLanguage(language);
}

void WriteWarnings(const std::vector<DialectWarning>& warnings, std::ostream& out) {
    for (const DialectWarning& warning : warnings) {
        out << warning.line << '\t' << warning.id << '\t' << warning.Text() << '\n';
    }
}

// Parses the file in the station's language; the warnings and the first
// error go to err.
bool ParseForCommand(const std::string& path, CProgram& program, std::ostream& err,
                     DmisDialect dialect) {
    UseStationLanguage();
    const DmisFileResult result = ParseDmisFile(path, program, dialect);
    WriteWarnings(result.warnings, err);
    if (!result.ok) {
        err << result.message << '\n';
    }
    return result.ok;
}

}  // namespace

int RunList(const std::string& path, std::ostream& out, std::ostream& err, DmisDialect dialect) {
    CProgram program;
    if (!ParseForCommand(path, program, err, dialect)) {
        return 1;
    }
    program.PrettyPrint(out);
    return 0;
}

int RunBas(const std::string& path, const std::string& directory, std::ostream& err,
           DmisDialect dialect) {
    CProgram program;
    if (!ParseForCommand(path, program, err, dialect)) {
        return 1;
    }
    // The folder is made as mkdir -p would, once the program has parsed.
    std::error_code made;
    std::filesystem::create_directories(directory, made);
    if (made) {
        err << "The folder '" << directory << "' cannot be created: " << made.message() << '\n';
        return 1;
    }
    try {
        WriteBasicModules(program, directory);
    } catch (const Error& error) {
        err << error.Description() << '\n';
        return 1;
    }
    return 0;
}

int RunSave(const std::string& path, const std::string& model, std::ostream& err,
            DmisDialect dialect) {
    CProgram program;
    if (!ParseForCommand(path, program, err, dialect)) {
        return 1;
    }
    try {
        // Replaces a regular file (or nothing) whole, once complete.
        AtomicFile file(model, RunTimeError::PathFileAccessError, "dmis save");
        Datastream stream;
        stream.WriteOpen(file.TemporaryPath());
        program.WriteStream(stream);
        stream.WriteClose();
        file.Commit();
    } catch (const Error& error) {
        err << error.Description() << '\n';
        return 1;
    }
    return 0;
}

int RunLoad(const std::string& model, std::ostream& out, std::ostream& err) {
    CProgram program;
    try {
        Datastream stream;
        stream.ReadOpen(model);
        program.ReadStream(stream);
    } catch (const Error& error) {
        err << error.Description() << '\n';
        return 1;
    }
    program.PrettyPrint(out);
    return 0;
}

int RunCheck(const std::vector<std::string>& paths, std::ostream& out, DmisDialect dialect,
             bool listWarnings) {
    UseStationLanguage();
    int failures = 0;
    for (const std::string& path : paths) {
        CProgram program;
        const DmisFileResult result = ParseDmisFile(path, program, dialect);
        std::string verdict = result.message;
        if (result.ok) {
            verdict = result.warnings.empty()
                          ? "OK"
                          : "OK, " + std::to_string(result.warnings.size()) +
                                (result.warnings.size() == 1 ? " warning" : " warnings");
        }
        out << path << '\t' << verdict << '\n';
        if (listWarnings) {
            WriteWarnings(result.warnings, out);
        }
        failures += result.ok ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}

int RunDemo(const std::string& path, std::ostream& out, std::ostream& err, DmisDialect dialect) {
    UseStationLanguage();
    CProgram scanned;
    Scanner scanner;
    if (!ScanForCommand(scanner, path, scanned, dialect)) {
        err << scanner.LastError() << '\n';
        return 1;
    }
    constexpr int32_t kShown = 30;
    out << "== The first " << kShown << " tokens of " << path << " (LINE, KIND, DATA) ==\n";
    for (int32_t position = 1; position <= std::min(kShown, scanner.TokenCount()); ++position) {
        const std::string data = TokenDataText(scanner, position);
        out << scanner.TokenLineAt(position) << '\t' << TokenKindName(scanner.TokenKindAt(position))
            << (data.empty() ? "" : "\t") << data << '\n';
    }
    std::map<std::string_view, int> kinds;
    for (int32_t position = 1; position <= scanner.TokenCount(); ++position) {
        ++kinds[TokenKindName(scanner.TokenKindAt(position))];
    }
    out << "\n== " << scanner.LineNum() << " lines, " << scanner.TokenCount() << " tokens ==\n";
    for (const auto& [kind, count] : kinds) {
        out << "  " << kind << ": " << count << '\n';
    }
    out << "\n== Comment lines kept in the program model ==\n";
    for (const CComment& comment : *scanned.objComments) {
        out << comment.LineNumber() << ": " << comment.Comment() << '\n';
    }
    out << "\n== The parsed program, listed as DMIS ==\n";
    out.flush();
    return RunList(path, out, err, dialect);
}

}  // namespace vantreel::cli
