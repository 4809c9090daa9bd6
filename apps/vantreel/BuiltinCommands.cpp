#include "CommandRegistry.h"
#include "ConfigCommands.h"
#include "DmisCommands.h"
#include "RegCommands.h"
#include "Screenshots.h"
#include "StationCommands.h"

#include "dmis/dialect/DmisDialect.h"
#include "shared/Resources.h"

#include <cstdint>
#include <ostream>

// The tool's own verbs: the DMIS engine, the station and its registry,
// configuration and messages. Each checks its arguments before it runs.
namespace vantreel::cli {
namespace {

using Args = std::vector<std::string>;

constexpr std::size_t kAny = SIZE_MAX;

// A verb taking exactly the named positional arguments, e.g. "FILE MODEL".
template <typename Run>
std::function<int(const Args&, std::ostream&, std::ostream&)> Fixed(std::size_t count,
                                                                    std::string names, Run run) {
    return [count, names, run](const Args& args, std::ostream& out, std::ostream& err) {
        return run(ParseArguments(args, count, count, names).positional, out, err);
    };
}

// --dialect strict|extended; strict without it.
DmisDialect DialectOption(const Arguments& parsed) {
    if (parsed.options.count("--dialect") == 0) {
        return DmisDialect::Strict;
    }
    const std::optional<DmisDialect> dialect = ParseDmisDialect(parsed.Option("--dialect"));
    if (!dialect) {
        throw UsageError("--dialect expects strict or extended, not '" +
                         parsed.Option("--dialect") + "'");
    }
    return *dialect;
}

// A DMIS verb taking exactly the named positional arguments and --dialect.
template <typename Run>
std::function<int(const Args&, std::ostream&, std::ostream&)> Dmis(std::size_t count,
                                                                   std::string names, Run run) {
    return [count, names, run](const Args& args, std::ostream& out, std::ostream& err) {
        const Arguments parsed = ParseArguments(args, count, count, names, {"--dialect"});
        return run(parsed.positional, DialectOption(parsed), out, err);
    };
}

// `reg VERB ...` keeps reg.exe's own parsing, messages and exit statuses.
std::function<int(const Args&, std::ostream&, std::ostream&)> Reg(std::string verb) {
    return [verb](const Args& args, std::ostream& out, std::ostream& err) {
        Args all{verb};
        all.insert(all.end(), args.begin(), args.end());
        return RunReg(all, out, err);
    };
}

const CommandRegistration kCommands[] = {
    CommandRegistration({"dmis tokens",
                         "FILE [--dialect strict|extended]   the tokens and comment lines of a "
                         "DMIS file",
                         Dmis(1, "FILE",
                              [](const Args& a, DmisDialect d, std::ostream& out,
                                 std::ostream& err) { return RunTokens(a[0], out, err, d); }),
                         "vantreel dmis tokens examples/sample-station/plate.dmi"}),
    CommandRegistration({"dmis list",
                         "FILE [--dialect strict|extended]   parse a DMIS file and print its "
                         "listing",
                         Dmis(1, "FILE",
                              [](const Args& a, DmisDialect d, std::ostream& out,
                                 std::ostream& err) { return RunList(a[0], out, err, d); }),
                         "vantreel dmis list examples/sample-station/plate.dmi"}),
    CommandRegistration({"dmis check",
                         "FILE... [--dialect strict|extended] [--warnings]   parse DMIS files: "
                         "OK or the first error of each",
                         [](const Args& args, std::ostream& out, std::ostream&) {
                             Args rest;
                             bool warnings = false;
                             for (const std::string& arg : args) {
                                 if (arg == "--warnings") {
                                     warnings = true;
                                 } else {
                                     rest.push_back(arg);
                                 }
                             }
                             const Arguments parsed =
                                 ParseArguments(rest, 1, kAny, "FILE...", {"--dialect"});
                             return RunCheck(parsed.positional, out, DialectOption(parsed),
                                             warnings);
                         },
                         "vantreel dmis check tests/data/dmis/*.dmi"}),
    CommandRegistration(
        {"dmis bas",
         "FILE --out DIR [--dialect strict|extended]   write DIR/ModMain.bas and "
         "DIR/ModSupport.bas",
         [](const Args& args, std::ostream&, std::ostream& err) {
             const Arguments parsed = ParseArguments(args, 1, 1, "FILE", {"--out", "--dialect"});
             if (parsed.options.count("--out") == 0) {
                 throw UsageError("expects --out DIR");
             }
             return RunBas(parsed.positional[0], parsed.Option("--out"), err,
                           DialectOption(parsed));
         },
         "vantreel dmis bas examples/sample-station/plate.dmi --out /tmp/plate"}),
    CommandRegistration({"dmis save",
                         "FILE MODEL [--dialect strict|extended]   the parsed program as a model "
                         "stream",
                         Dmis(2, "FILE MODEL",
                              [](const Args& a, DmisDialect d, std::ostream&, std::ostream& err) {
                                  return RunSave(a[0], a[1], err, d);
                              }),
                         "vantreel dmis save examples/sample-station/plate.dmi /tmp/plate.model"}),
    CommandRegistration({"dmis load",
                         "MODEL [--dialect strict|extended]   the listing of a saved model (a "
                         "model is parsed already: the dialect changes nothing)",
                         Dmis(1, "MODEL",
                              [](const Args& a, DmisDialect, std::ostream& out, std::ostream& err) {
                                  return RunLoad(a[0], out, err);
                              }),
                         "vantreel dmis load /tmp/plate.model"}),
    CommandRegistration({"demo",
                         "FILE [--dialect strict|extended]   tokens, comments and a model "
                         "listing, for a first look",
                         Dmis(1, "FILE",
                              [](const Args& a, DmisDialect d, std::ostream& out,
                                 std::ostream& err) { return RunDemo(a[0], out, err, d); }),
                         "vantreel demo examples/sample-station/plate.dmi"}),
    CommandRegistration(
        {"convert",
         "FILE [--name NAME] [--dialect strict|extended]   a legacy DMIS file as a new built part",
         [](const Args& args, std::ostream& out, std::ostream& err) {
             const Arguments parsed = ParseArguments(args, 1, 1, "FILE", {"--name", "--dialect"});
             Args forwarded{parsed.positional[0]};
             if (parsed.options.count("--name") != 0) {
                 forwarded.insert(forwarded.end(), {"--name", parsed.Option("--name")});
             }
             if (parsed.options.count("--dialect") != 0) {
                 forwarded.insert(
                     forwarded.end(),
                     {"--dialect", std::string(DmisDialectName(DialectOption(parsed)))});
             }
             return RunConvert(forwarded, out, err);
         },
         "vantreel convert /srv/station/repository/BRACKET.DMS --name BRACKET_2"}),
    CommandRegistration({"demo-station", "DIR   a complete sample station in DIR",
                         Fixed(1, "DIR",
                               [](const Args& a, std::ostream& out, std::ostream& err) {
                                   return RunDemoStation(a[0], out, err);
                               }),
                         "vantreel demo-station /tmp/station"}),
    CommandRegistration({"screenshots", "DIR   the library's windows drawn offscreen as PNG files",
                         Fixed(1, "DIR",
                               [](const Args& a, std::ostream& out, std::ostream& err) {
                                   return RunScreenshots(a[0], out, err);
                               }),
                         "QT_QPA_PLATFORM=offscreen vantreel screenshots /tmp/shots"}),
    CommandRegistration(
        {"config repository-root", "[APPLICATION]   the part repository's root directory",
         [](const Args& args, std::ostream& out, std::ostream& err) {
             Args forwarded{"repository-root"};
             const Args positional = ParseArguments(args, 0, 1, "[APPLICATION]").positional;
             forwarded.insert(forwarded.end(), positional.begin(), positional.end());
             return RunConfig(forwarded, out, err);
         },
         "vantreel config repository-root Tellurim"}),
    CommandRegistration({"config install-directory", "  the applications' install directory",
                         Fixed(0, "",
                               [](const Args&, std::ostream& out, std::ostream& err) {
                                   return RunConfig({"install-directory"}, out, err);
                               }),
                         "vantreel config install-directory"}),
    CommandRegistration({"config data-directory",
                         "  where the string tables and help files are read from",
                         Fixed(0, "",
                               [](const Args&, std::ostream& out, std::ostream&) {
                                   out << LibraryDirectory() << '\n';
                                   return 0;
                               }),
                         "vantreel config data-directory"}),
    CommandRegistration(
        {"strings", "ID [--lang LCID]   one message in a language",
         [](const Args& args, std::ostream& out, std::ostream& err) {
             const Arguments parsed = ParseArguments(args, 1, 1, "ID", {"--lang"});
             Args forwarded{parsed.positional[0]};
             if (parsed.options.count("--lang") != 0) {
                 forwarded.insert(forwarded.end(), {"--lang", parsed.Option("--lang")});
             }
             return RunStrings(forwarded, out, err);
         },
         "vantreel strings 110001 --lang 1031"}),
    CommandRegistration({"strings check", "  English strings missing in another language",
                         Fixed(0, "",
                               [](const Args&, std::ostream& out, std::ostream& err) {
                                   return RunStrings({"check"}, out, err);
                               }),
                         "vantreel strings check"}),
    // reg.exe's answers to no operation, an unknown one, and "/?".
    CommandRegistration({"reg", "/?   the operations, as reg.exe lists them",
                         [](const Args& args, std::ostream& out, std::ostream& err) {
                             return RunReg(args, out, err);
                         },
                         "vantreel reg /?"}),
    CommandRegistration({"reg query", "KEY [/v NAME | /ve] [/s]   values and subkeys, as reg.exe",
                         Reg("query"), "vantreel reg query 'HKLM\\SOFTWARE\\Korvessa\\Common' /s"}),
    CommandRegistration(
        {"reg add", "KEY [/v NAME | /ve] [/t TYPE] [/s SEP] [/d DATA] [/f]   add a key or value",
         Reg("add"),
         "vantreel reg add 'HKLM\\SOFTWARE\\Korvessa\\Common' /v DefaultLanguage /d 1031 /f"}),
    CommandRegistration({"reg delete", "KEY [/v NAME | /ve | /va] [/f]   delete a key or values",
                         Reg("delete"),
                         "vantreel reg delete 'HKLM\\SOFTWARE\\Korvessa\\Machines\\Old' /f"}),
    CommandRegistration({"reg copy", "KEY1 KEY2 [/s] [/f]   copy a key's values (/s: subkeys)",
                         Reg("copy"),
                         "vantreel reg copy 'HKLM\\SOFTWARE\\Korvessa\\Machines\\A' "
                         "'HKLM\\SOFTWARE\\Korvessa\\Machines\\B' /s /f"}),
    CommandRegistration({"reg import", "FILE   a .reg file (\"Windows Registry Editor\")",
                         Reg("import"), "vantreel reg import station.reg"}),
    CommandRegistration({"reg export", "KEY FILE [/y]   a key and its subkeys as a .reg file",
                         Reg("export"),
                         "vantreel reg export 'HKLM\\SOFTWARE\\Korvessa' station.reg /y"}),
};

}  // namespace
}  // namespace vantreel::cli
