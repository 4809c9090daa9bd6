#include "CommandRegistry.h"
#include "ConfigCommands.h"
#include "DmisCommands.h"
#include "RegCommands.h"
#include "Screenshots.h"
#include "StationCommands.h"

#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* kUsage =
    "usage:\n"
    "  vantreel dmis tokens FILE   print the tokens and comment lines of a DMIS file\n"
    "  vantreel dmis list FILE     parse a DMIS file and print its listing\n"
    "  vantreel dmis check FILE... parse DMIS files: OK or the first error of each\n"
    "  vantreel dmis bas FILE --out DIR   write DIR/ModMain.bas and DIR/ModSupport.bas\n"
    "  vantreel dmis save FILE MODEL      the parsed program as a model stream\n"
    "  vantreel dmis load MODEL           the listing of a saved model\n"
    "  vantreel convert FILE [--name NAME]   a legacy DMIS file as a new built part\n"
    "  vantreel demo-station DIR   a complete sample station in DIR\n"
    "  vantreel screenshots DIR    the library's windows drawn offscreen as PNG files\n"
    "  vantreel demo FILE          tokens, comments and a model listing, for a first look\n"
    "  vantreel config repository-root [APPLICATION] | install-directory\n"
    "  vantreel strings ID [--lang LCID]   one message in a language\n"
    "  vantreel strings check      English strings missing in another language\n"
    "  vantreel reg query|add|delete|copy|import|export ...   the registry, as reg.exe\n";

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 3 && args[0] == "dmis" && args[1] == "tokens") {
        return vantreel::cli::RunTokens(args[2], std::cout, std::cerr);
    }
    if (args.size() == 3 && args[0] == "dmis" && args[1] == "list") {
        return vantreel::cli::RunList(args[2], std::cout, std::cerr);
    }
    if (args.size() >= 3 && args[0] == "dmis" && args[1] == "check") {
        return vantreel::cli::RunCheck({args.begin() + 2, args.end()}, std::cout);
    }
    if (args.size() == 5 && args[0] == "dmis" && args[1] == "bas" && args[3] == "--out") {
        return vantreel::cli::RunBas(args[2], args[4], std::cerr);
    }
    if (args.size() == 4 && args[0] == "dmis" && args[1] == "save") {
        return vantreel::cli::RunSave(args[2], args[3], std::cerr);
    }
    if (args.size() == 3 && args[0] == "dmis" && args[1] == "load") {
        return vantreel::cli::RunLoad(args[2], std::cout, std::cerr);
    }
    if (!args.empty() && args[0] == "convert") {
        return vantreel::cli::RunConvert({args.begin() + 1, args.end()}, std::cout, std::cerr);
    }
    if (args.size() == 2 && args[0] == "demo-station") {
        return vantreel::cli::RunDemoStation(args[1], std::cout, std::cerr);
    }
    if (args.size() == 2 && args[0] == "screenshots") {
        return vantreel::cli::RunScreenshots(args[1], std::cout, std::cerr);
    }
    if (args.size() == 2 && args[0] == "demo") {
        return vantreel::cli::RunDemo(args[1], std::cout, std::cerr);
    }
    if (!args.empty() && args[0] == "config") {
        return vantreel::cli::RunConfig({args.begin() + 1, args.end()}, std::cout, std::cerr);
    }
    if (!args.empty() && args[0] == "reg") {
        return vantreel::cli::RunReg({args.begin() + 1, args.end()}, std::cout, std::cerr);
    }
    if (!args.empty() && args[0] == "strings") {
        return vantreel::cli::RunStrings({args.begin() + 1, args.end()}, std::cout, std::cerr);
    }
    std::size_t words = 0;
    if (const vantreel::cli::Command* command = vantreel::cli::FindCommand(args, &words)) {
        return command->run({args.begin() + static_cast<std::ptrdiff_t>(words), args.end()},
                            std::cout, std::cerr);
    }
    const auto usage = [](std::ostream& stream) {
        stream << kUsage;
        for (const vantreel::cli::Command& command : vantreel::cli::Commands()) {
            stream << "  vantreel " << command.verb << ' ' << command.usage << '\n';
        }
    };
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        usage(std::cout);
        return 0;
    }
    usage(std::cerr);
    return 2;
}
