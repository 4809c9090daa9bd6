#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

class QWidget;

namespace vantreel::cli {

// A verb of the tool that lives in a file of its own: "parts list", "parts info",
// ... Each such file registers its verbs with a static CommandRegistration, so
// main.cpp needs no change when a verb is added. `vantreel --help` lists every
// verb with its usage and example.
struct Command {
    std::string verb;   // the words that select it, e.g. "parts list"
    std::string usage;  // one line: its arguments and what it does
    std::function<int(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)>
        run;                   // args: what follows the verb's words
    std::string example = {};  // a whole command line, e.g. "vantreel parts list /srv/parts"
};

const std::vector<Command>& Commands();

struct CommandRegistration {
    explicit CommandRegistration(Command command);
};

// The command whose verb starts args, with the number of words it took; nullptr for none.
const Command* FindCommand(const std::vector<std::string>& args, std::size_t* words);

// Thrown by a command's run when its arguments are wrong: the tool prints
// "vantreel VERB: <what>" and the command's usage, and exits 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A command's arguments taken apart: the positional ones, and the options
// ("--name VALUE") it accepts. Anything else is a UsageError.
struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;

    std::string Option(const std::string& name, const std::string& fallback = {}) const;
};
// minimum/maximum: how many positional arguments (maximum SIZE_MAX: no limit);
// names: what they are, for the error ("FILE", "DIR"...); options: those taking a value.
Arguments ParseArguments(const std::vector<std::string>& args, std::size_t minimum,
                         std::size_t maximum, const std::string& names,
                         const std::vector<std::string>& options = {});

// The whole tool: --help, --version, COMMAND --help, the registered verbs, and a
// one-line error with the usage (exit 2) for anything else.
int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// A set of screenshots drawn by `vantreel screenshots DIR` after the message boxes
// and keyboards: each dialog subsystem registers one. It returns false after
// reporting a file it could not write on err.
using ScreenshotSet =
    std::function<bool(const std::string& directory, std::ostream& out, std::ostream& err)>;

const std::vector<ScreenshotSet>& ScreenshotSets();

struct ScreenshotRegistration {
    explicit ScreenshotRegistration(ScreenshotSet set);
};

// Shows the window, renders it to DIRECTORY/FILE and prints the path.
bool SaveScreenshot(QWidget& window, const std::string& directory, const std::string& file,
                    std::ostream& out, std::ostream& err);

}  // namespace vantreel::cli
