#include "Screenshots.h"

#include "CommandRegistry.h"

#include "shared/MessageBox.h"
#include "shared/Resources.h"
#include "touch/FormKeyboard.h"
#include "touch/GuiHost.h"
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
    EnsureGuiHost();
    const QFont applicationFont = QApplication::font();
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
        int points = 0;  // the desktop's font size; 0 keeps it
    };
    const Shot shots[] = {
        {"msgbox-ok-information-en.png", 1033, vbOKOnly + vbInformation, "The part was converted.",
         "Vantreel"},
        {"msgbox-yesnocancel-question-en.png", 1033, vbYesNoCancel + vbQuestion + vbDefaultButton2,
         "The part information has changed. Save the changes?", "Part information"},
        {"msgbox-yesno-question-de.png", 1031, vbYesNo + vbQuestion,
         "Die vorhandene Datei ist neuer als die gespeicherte Kopie. Ersetzen?", "Vantreel"},
        {"msgbox-abortretryignore-critical-en.png", 1033, vbAbortRetryIgnore + vbCritical,
         "The registry database '/var/lib/vantreel/registry.db' cannot be used: file is not a "
         "database",
         "Error"},
        {"msgbox-retrycancel-exclamation-de.png", 1031, vbRetryCancel + vbExclamation,
         "Der Ordner kann nicht gelesen werden.", "Fehler"},
        {"msgbox-abortretryignore-critical-de-12pt.png", 1031, vbAbortRetryIgnore + vbCritical,
         "Die Registrierungsdatenbank kann nicht ge\xc3\xb6"
         "ffnet werden.",
         "Fehler", 12},
        {"msgbox-yesnocancel-question-de-12pt.png", 1031,
         vbYesNoCancel + vbQuestion + vbDefaultButton2,
         "Die Teileinformation wurde ge\xc3\xa4"
         "ndert. \xc3\x84nderungen speichern?",
         "Teileinformation", 12},
        {"msgbox-long-text-en.png", 1033, vbOKCancel + vbExclamation, nullptr, "Vantreel"},
    };
    // Sixty lines: more than an 800-pixel screen holds, so the text scrolls.
    std::string longText = "The following parts could not be exported:";
    for (int line = 1; line <= 60; ++line) {
        longText += "\n/var/lib/vantreel/parts/Line " + std::to_string(line) + "/Part.vtp";
    }
    for (const Shot& shot : shots) {
        InitResources();
        int32_t language = shot.language;
        SetLanguage(language);
        QFont font = applicationFont;
        if (shot.points > 0) {
            font.setPointSize(shot.points);
        }
        QApplication::setFont(font);
        frmMessageBox box;
        box.Build(shot.prompt != nullptr ? shot.prompt : longText, shot.flags, shot.title);
        const bool saved = SaveScreenshot(box, directory, shot.file, out, err);
        QApplication::setFont(applicationFont);
        if (!saved) {
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
