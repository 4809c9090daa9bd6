#include "DmisCommands.h"

#include "DemoModel.h"
#include "dmis/CComments.h"
#include "dmis/CProgram.h"
#include "dmis/DmisFile.h"
#include "dmis/Scanner.h"
#include "dmis/TokenDump.h"
#include "dmis/TokenKind.h"
#include "shared/Resources.h"

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

}  // namespace

int RunList(const std::string& path, std::ostream& out, std::ostream& err) {
    UseStationLanguage();
    CProgram program;
    const DmisFileResult result = ParseDmisFile(path, program);
    if (!result.ok) {
        err << result.message << '\n';
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
    CProgram program;
    Scanner scanner;
    const bool ok = scanner.ScanFile(path, program);

    out << "== Tokens of " << path << " (LINE, KIND, DATA) ==\n";
    WriteTokenDump(scanner, nullptr, out);

    out << "\n== Comment lines the scanner put into the program model ==\n";
    for (const CComment& comment : *program.objComments) {
        out << comment.LineNumber() << ": " << comment.Comment() << '\n';
    }

    std::map<std::string_view, int> kinds;
    for (int32_t position = 1; position <= scanner.TokenCount(); ++position) {
        ++kinds[TokenKindName(scanner.TokenKindAt(position))];
    }
    out << "\n== Summary ==\n"
        << scanner.LineNum() << " lines, " << scanner.TokenCount() << " tokens, "
        << program.objComments->Count() << " comment lines\n";
    for (const auto& [kind, count] : kinds) {
        out << "  " << kind << ": " << count << '\n';
    }

    out << "\n== A program model built through the model classes, listed as DMIS ==\n";
    const std::unique_ptr<CProgram> demo = BuildDemoModel();
    demo->PrettyPrint(out);
    out.flush();

    if (!ok) {
        err << scanner.LastError() << '\n';
        return 1;
    }
    return 0;
}

}  // namespace vantreel::cli
