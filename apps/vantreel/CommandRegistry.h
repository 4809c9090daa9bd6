#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

class QWidget;

namespace vantreel::cli {

// A verb of the tool that lives in a file of its own: "parts list", "parts info",
// ... Each such file registers its verbs with a static CommandRegistration, so
// main.cpp needs no change when a verb is added.
struct Command {
    std::string verb;   // the words that select it, e.g. "parts list"
    std::string usage;  // one line: its arguments and what it does
    std::function<int(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)>
        run;  // args: what follows the verb's words
};

const std::vector<Command>& Commands();

struct CommandRegistration {
    explicit CommandRegistration(Command command);
};

// The command whose verb starts args, with the number of words it took; nullptr for none.
const Command* FindCommand(const std::vector<std::string>& args, std::size_t* words);

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
