#include "dmis/DmisFile.h"

#include "dmis/model/CProgram.h"
#include "dmis/model/DmisTables.h"
#include "dmis/parse/Analyzer.h"
#include "dmis/parse/Lookup.h"
#include "dmis/parse/ParseContext.h"
#include "dmis/scan/Scanner.h"

namespace vantreel {

namespace {

DmisFileResult Parse(Scanner& scanner, CProgram& program, const ProgressCallback& progress) {
    ParseContext context;
    context.progress = progress;
    StatementParser parser(scanner, context);
    if (!parser.ParseProgram(program)) {
        return {false, scanner.Message()};
    }
    return {true, {}};
}

}  // namespace

DmisFileResult ParseDmisFile(const std::string& path, CProgram& program,
                             const ProgressCallback& progress) {
    InitLabelTypes();
    InitDmisTables();
    Scanner scanner;
    if (!scanner.ScanFile(path, program)) {
        return {false, scanner.LastError()};
    }
    return Parse(scanner, program, progress);
}

DmisFileResult ParseDmisText(std::string_view text, const std::string& name, CProgram& program,
                             const ProgressCallback& progress) {
    InitLabelTypes();
    InitDmisTables();
    Scanner scanner;
    if (!scanner.ScanText(text, program, name)) {
        return {false, scanner.LastError()};
    }
    return Parse(scanner, program, progress);
}

}  // namespace vantreel
