#include "Screenshots.h"

#include "CommandRegistry.h"

#include "shared/MessageBox.h"
#include "shared/Resources.h"
#include "touch/FormKeyboard.h"
#include "touch/frmMessageBox.h"

#include <QApplication>
#include <QPixmap>

#include <cstdlib>
#include <filesystem>
#include <ostream>

namespace vantreel::cli {
int RunScreenshots(const std::string& directory, std::ostream& out, std::ostream& err) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    int argc = 1;
    char name[] = "vantreel";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        err << "ERROR: " << directory << ": " << error.message() << '\n';
        return 1;
    }
    struct Shot {
        const char* file;
        int32_t language;
        int32_t flags;
        const char* prompt;
        const char* title;
    };
    const Shot shots[] = {
        {"msgbox-ok-information-en.png", 1033, vbOKOnly + vbInformation, "The part was converted.",
         "Vantreel"},
        {"msgbox-yesnocancel-question-en.png", 1033, vbYesNoCancel + vbQuestion + 0x100,
         "The part information has changed. Save the changes?", "Part information"},
        {"msgbox-yesno-question-de.png", 1031, vbYesNo + vbQuestion,
         "Die vorhandene Datei ist neuer als die gespeicherte Kopie. Ersetzen?", "Vantreel"},
        {"msgbox-abortretryignore-critical-en.png", 1033, vbAbortRetryIgnore + vbCritical,
         "The registry database '/var/lib/vantreel/registry.db' cannot be used: file is not a "
         "database",
         "Error"},
        {"msgbox-retrycancel-exclamation-de.png", 1031, vbRetryCancel + vbExclamation,
         "Der Ordner kann nicht gelesen werden.", "Fehler"},
    };
    for (const Shot& shot : shots) {
        InitResources();
        int32_t language = shot.language;
        SetLanguage(language);
        frmMessageBox box;
        box.Build(shot.prompt, shot.flags, shot.title);
        if (!SaveScreenshot(box, directory, shot.file, out, err)) {
            return 1;
        }
    }

    struct KeyboardShot {
        const char* file;
        int32_t language;
        bool shifted;
        bool touch;
        const char* prompt;
        const char* value;
    };
    const KeyboardShot keyboards[] = {
        {"keyboard-en.png", 1033, false, true, "Operator name", "Smith"},
        {"keyboard-shift-en.png", 1033, true, true, "Operator name", "Smith"},
        {"keyboard-de.png", 1031, false, true, "Bediener", "M\xc3\xbcller"},
        {"keyboard-desktop-en.png", 1033, false, false, "Operator name", "Smith"},
    };
    for (const KeyboardShot& shot : keyboards) {
        InitResources();
        int32_t language = shot.language;
        SetLanguage(language);
        FormKeyboard keyboard;
        keyboard.SetLanguage(shot.language);
        keyboard.SetTouchScreen(shot.touch);
        keyboard.Build(shot.prompt, shot.value);
        if (shot.shifted) {
            keyboard.Touch("SHIFT");
        }
        if (!SaveScreenshot(keyboard, directory, shot.file, out, err)) {
            return 1;
        }
    }

    for (const ScreenshotSet& set : ScreenshotSets()) {
        if (!set(directory, out, err)) {
            return 1;
        }
    }
    return 0;
}

}  // namespace vantreel::cli
