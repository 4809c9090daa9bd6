#include "CommandRegistry.h"

#include "shared/AtomicFile.h"
#include "vantreel/Error.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <sstream>

#ifndef VANTREEL_VERSION
#define VANTREEL_VERSION "unknown"
#endif

namespace vantreel::cli {
namespace {

// Function-local, so registrations from other files' static initialisers find it built.
std::vector<Command>& CommandList() {
    static std::vector<Command> commands;
    return commands;
}

std::vector<ScreenshotSet>& ScreenshotList() {
    static std::vector<ScreenshotSet> sets;
    return sets;
}

std::vector<std::string> Words(const std::string& verb) {
    std::istringstream stream(verb);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

bool IsHelp(const std::string& arg) {
    return arg == "--help" || arg == "-h";
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}

// The commands whose verb begins with these words, in alphabetical order.
std::vector<const Command*> CommandsUnder(const std::vector<std::string>& words) {
    std::vector<const Command*> found;
    for (const Command& command : CommandList()) {
        const std::vector<std::string> verb = Words(command.verb);
        if (verb.size() >= words.size() && std::equal(words.begin(), words.end(), verb.begin())) {
            found.push_back(&command);
        }
    }
    std::sort(found.begin(), found.end(),
              [](const Command* a, const Command* b) { return a->verb < b->verb; });
    return found;
}

void PrintUsage(const std::vector<const Command*>& commands, bool examples, std::ostream& stream) {
    for (const Command* command : commands) {
        stream << "  vantreel " << command->verb << ' ' << command->usage << '\n';
        if (examples && !command->example.empty()) {
            stream << "      example: " << command->example << '\n';
        }
    }
}

void PrintHelp(std::ostream& out) {
    out << "usage: vantreel COMMAND [ARGUMENTS...]\n"
           "       vantreel COMMAND --help     one command (or a group, e.g. dmis) in detail\n"
           "       vantreel --version\n\n"
           "Commands:\n";
    PrintUsage(CommandsUnder({}), true, out);
    out << "\nThe station's registry is $VANTREEL_REGISTRY, else /var/lib/vantreel/registry.db.\n";
}

// The error of a command line no verb matches: the usage of the group its first
// word names, else of every verb.
int UnknownCommand(const std::vector<std::string>& args, std::ostream& err) {
    std::vector<const Command*> group =
        args.empty() ? std::vector<const Command*>() : CommandsUnder({args[0]});
    if (args.empty()) {
        err << "vantreel: no command given\n";
    } else if (group.empty()) {
        err << "vantreel: unknown command '" << args[0] << "'\n";
    } else {
        err << "vantreel: unknown command '" << Joined(args) << "'\n";
    }
    err << "usage:\n";
    PrintUsage(group.empty() ? CommandsUnder({}) : group, false, err);
    err << "Run 'vantreel --help' for examples.\n";
    return 2;
}

}  // namespace

std::string Arguments::Option(const std::string& name, const std::string& fallback) const {
    const auto found = options.find(name);
    return found == options.end() ? fallback : found->second;
}

Arguments ParseArguments(const std::vector<std::string>& args, std::size_t minimum,
                         std::size_t maximum, const std::string& names,
                         const std::vector<std::string>& options) {
    Arguments parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            if (std::find(options.begin(), options.end(), arg) == options.end()) {
                throw UsageError("unknown option '" + arg + "'");
            }
            if (i + 1 == args.size()) {
                throw UsageError("option '" + arg + "' needs a value");
            }
            if (!parsed.options.emplace(arg, args[i + 1]).second) {
                throw UsageError("option '" + arg + "' given twice");
            }
            ++i;
        } else {
            parsed.positional.push_back(arg);
        }
    }
    if (parsed.positional.size() < minimum) {
        throw UsageError(names.empty() ? "missing arguments" : "expects " + names);
    }
    if (parsed.positional.size() > maximum) {
        throw UsageError("unexpected argument '" + parsed.positional[maximum] + "'");
    }
    return parsed;
}

int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && IsHelp(args[0])) {
        PrintHelp(out);
        return 0;
    }
    if (args.size() == 1 && args[0] == "--version") {
        out << "vantreel " << VANTREEL_VERSION << '\n';
        return 0;
    }
    const auto help = std::find_if(args.begin(), args.end(), IsHelp);
    if (help != args.end()) {
        // COMMAND --help: that command, or every command of a group such as "dmis".
        const std::vector<std::string> words(args.begin(), help);
        std::size_t taken = 0;
        const Command* command = FindCommand(words, &taken);
        const std::vector<const Command*> group =
            command != nullptr ? std::vector<const Command*>{command} : CommandsUnder(words);
        if (group.empty()) {
            return UnknownCommand(words, err);
        }
        out << "usage:\n";
        PrintUsage(group, true, out);
        return 0;
    }
    std::size_t taken = 0;
    const Command* command = FindCommand(args, &taken);
    if (command == nullptr) {
        return UnknownCommand(args, err);
    }
    try {
        return command->run({args.begin() + static_cast<std::ptrdiff_t>(taken), args.end()}, out,
                            err);
    } catch (const UsageError& error) {
        err << "vantreel " << command->verb << ": " << error.what() << '\n'
            << "usage: vantreel " << command->verb << ' ' << command->usage << '\n';
        return 2;
    }
}

const std::vector<Command>& Commands() {
    return CommandList();
}

CommandRegistration::CommandRegistration(Command command) {
    CommandList().push_back(std::move(command));
}

const Command* FindCommand(const std::vector<std::string>& args, std::size_t* words) {
    const Command* best = nullptr;
    std::size_t bestWords = 0;
    for (const Command& command : CommandList()) {
        const std::vector<std::string> verb = Words(command.verb);
        if (verb.size() > args.size() || verb.size() <= bestWords) {
            continue;
        }
        bool matches = true;
        for (std::size_t i = 0; i < verb.size() && matches; ++i) {
            matches = args[i] == verb[i];
        }
        if (matches) {
            best = &command;
            bestWords = verb.size();
        }
    }
    if (words != nullptr) {
        *words = bestWords;
    }
    return best;
}

const std::vector<ScreenshotSet>& ScreenshotSets() {
    return ScreenshotList();
}

ScreenshotRegistration::ScreenshotRegistration(ScreenshotSet set) {
    ScreenshotList().push_back(std::move(set));
}

bool SaveScreenshot(QWidget& window, const std::string& directory, const std::string& file,
                    std::ostream& out, std::ostream& err) {
    window.show();
    QApplication::processEvents();
    const std::string path = (std::filesystem::path(directory) / file).string();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!window.grab().save(&buffer, "PNG")) {
        err << "ERROR: " << path << " cannot be drawn\n";
        return false;
    }
    try {
        // Replaces a regular file (or nothing) whole, like every writer.
        AtomicFile::WriteFile(
            path, std::string_view(png.constData(), static_cast<std::size_t>(png.size())));
    } catch (const Error& error) {
        err << "ERROR: " << error.Description() << '\n';
        return false;
    }
    out << path << '\n';
    return true;
}

}  // namespace vantreel::cli
