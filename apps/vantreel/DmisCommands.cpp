#include "DmisCommands.h"

#include "dmis/DmisFile.h"
#include "dmis/basic/BasicWriter.h"
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

int RunTokens(const std::string& path, std::ostream& out, std::ostream& err) {
    CProgram program;
    Scanner scanner;
    const bool ok = scanner.ScanFile(path, program);
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

// Parses the file in the station's language; the first error goes to err.
bool ParseForCommand(const std::string& path, CProgram& program, std::ostream& err) {
    UseStationLanguage();
    const DmisFileResult result = ParseDmisFile(path, program);
    if (!result.ok) {
        err << result.message << '\n';
    }
    return result.ok;
}

}  // namespace

int RunList(const std::string& path, std::ostream& out, std::ostream& err) {
    CProgram program;
    if (!ParseForCommand(path, program, err)) {
        return 1;
    }
    program.PrettyPrint(out);
    return 0;
}

int RunBas(const std::string& path, const std::string& directory, std::ostream& err) {
    CProgram program;
    if (!ParseForCommand(path, program, err)) {
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

int RunSave(const std::string& path, const std::string& model, std::ostream& err) {
    CProgram program;
    if (!ParseForCommand(path, program, err)) {
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

int RunCheck(const std::vector<std::string>& paths, std::ostream& out) {
    UseStationLanguage();
    int failures = 0;
    for (const std::string& path : paths) {
        CProgram program;
        const DmisFileResult result = ParseDmisFile(path, program);
        out << path << '\t' << (result.ok ? "OK" : result.message) << '\n';
        failures += result.ok ? 0 : 1;
    }
    return failures == 0 ? 0 : 1;
}

int RunDemo(const std::string& path, std::ostream& out, std::ostream& err) {
    UseStationLanguage();
    CProgram scanned;
    Scanner scanner;
    if (!scanner.ScanFile(path, scanned)) {
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
    return RunList(path, out, err);
}

}  // namespace vantreel::cli
