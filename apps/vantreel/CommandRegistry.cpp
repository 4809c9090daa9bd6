#include "CommandRegistry.h"

#include "shared/AtomicFile.h"
#include "vantreel/Error.h"

#include <QApplication>
#include <QBuffer>
#include <QByteArray>
#include <QPixmap>
#include <QWidget>

#include <filesystem>
#include <ostream>
#include <sstream>

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

}  // namespace

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
