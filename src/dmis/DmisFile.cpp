#include "dmis/DmisFile.h"

#include "dmis/dialect/ExtendedRules.h"
#include "dmis/dialect/ExtendedScan.h"
#include "dmis/model/CProgram.h"
#include "dmis/model/DmisTables.h"
#include "dmis/model/ModelArena.h"
#include "dmis/parse/Analyzer.h"
#include "dmis/parse/Lookup.h"
#include "dmis/parse/ParseContext.h"
#include "dmis/scan/Scanner.h"

namespace vantreel {

namespace {

DmisFileResult Parse(Scanner& scanner, CProgram& program, const ProgressCallback& progress,
                     ExtendedRules* extended = nullptr) {
    ParseContext context;
    context.progress = progress;
    context.extended = extended;
    // What the parse builds goes into the program's arena.
    const ArenaScope arenaScope(program.Arena());
    StatementParser parser(scanner, context);
    if (!parser.ParseProgram(program)) {
        return {false, scanner.Message(), {}};
    }
    if (extended != nullptr) {
        CompleteExtendedProgram(program, *extended);
    }
    return {true, {}, {}};
}

// The extended dialect: warnings from the lines and from the parser.
DmisFileResult ParseExtended(Scanner& scanner, bool scanned, CProgram& program,
                             DialectWarnings& warnings, const ProgressCallback& progress) {
    DmisFileResult result;
    if (!scanned) {
        result = {false, scanner.LastError(), {}};
    } else {
        DialectWarnings prepared = warnings;
        ExtendedRules rules(warnings);
        result = Parse(scanner, program, progress, &rules);
        // A scan failure anywhere in the file is the answer, with the warnings
        // of the lines alone, wherever the parse stopped.
        if (!scanner.FinishScan(false)) {
            result = {false, scanner.LastError(), {}};
            warnings = std::move(prepared);
        }
    }
    result.warnings = warnings.Sorted();
    return result;
}

}  // namespace

DmisFileResult ParseDmisFile(const std::string& path, CProgram& program,
                             const ProgressCallback& progress) {
    InitLabelTypes();
    InitDmisTables();
    Scanner scanner;
    // The tokens are made as the parser reads them, never all at once.
    if (!scanner.OpenFile(path, program)) {
        return {false, scanner.LastError(), {}};
    }
    const DmisFileResult result = Parse(scanner, program, progress);
    // The rest of the file still gives its comment lines, and a scan failure
    // anywhere in it is the answer, wherever the parse stopped.
    if (!scanner.FinishScan(false)) {
        return {false, scanner.LastError(), {}};
    }
    return result;
}

DmisFileResult ParseDmisText(std::string_view text, const std::string& name, CProgram& program,
                             const ProgressCallback& progress) {
    InitLabelTypes();
    InitDmisTables();
    Scanner scanner;
    if (!scanner.ScanText(text, program, name)) {
        return {false, scanner.LastError(), {}};
    }
    return Parse(scanner, program, progress);
}

DmisFileResult ParseDmisFile(const std::string& path, CProgram& program, DmisDialect dialect,
                             const ProgressCallback& progress) {
    if (dialect == DmisDialect::Strict) {
        return ParseDmisFile(path, program, progress);
    }
    InitLabelTypes();
    InitDmisTables();
    Scanner scanner;
    DialectWarnings warnings;
    const bool scanned = OpenExtendedFile(scanner, path, program, warnings);
    return ParseExtended(scanner, scanned, program, warnings, progress);
}

DmisFileResult ParseDmisText(std::string_view text, const std::string& name, CProgram& program,
                             DmisDialect dialect, const ProgressCallback& progress) {
    if (dialect == DmisDialect::Strict) {
        return ParseDmisText(text, name, program, progress);
    }
    InitLabelTypes();
    InitDmisTables();
    Scanner scanner;
    DialectWarnings warnings;
    const bool scanned = ScanExtendedText(scanner, text, name, program, warnings);
    return ParseExtended(scanner, scanned, program, warnings, progress);
}

}  // namespace vantreel
