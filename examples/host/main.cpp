// A host of the Vantreel dialogs: it calls the public classes and answers each
// dialog as an operator would, by the objectNames of its controls. Run it
// offscreen on a station (VANTREEL_REGISTRY); it prints one line per check and
// exits 1 when any fails. argv[1], if given, is the text expected on the OK
// buttons (it proves the dialogs read the installed string tables).
#include <vantreel/vantreel.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace {

int failures = 0;
QString okText;

void Expect(bool passed, const std::string& what) {
    std::printf("%s: %s\n", passed ? "ok" : "FAILED", what.c_str());
    failures += passed ? 0 : 1;
}

// Rejects whatever modal dialogs are open, topmost first.
void CloseEveryDialog() {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->reject();
        QTimer::singleShot(0, CloseEveryDialog);
    }
}

// Waits for the next modal dialog, lets fill() set its controls, presses the
// button named `button`. A dialog that does not close is cancelled, so a
// wrong answer fails the check instead of hanging the host. (Unused in a build
// that has none of the dialog classes yet.)
[[maybe_unused]] void AnswerNextDialog(std::function<void(QWidget&)> fill, QString button) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr) {
            if (++*tries == 200) {
                Expect(false, "a dialog opened");
                timer->deleteLater();
            }
            return;
        }
        timer->deleteLater();
        if (fill) {
            fill(*dialog);
        }
        auto* pressed = dialog->findChild<QPushButton*>(button);
        Expect(pressed != nullptr,
               dialog->objectName().toStdString() + " has " + button.toStdString());
        if (pressed != nullptr && !okText.isEmpty() && button == "cmdOK") {
            Expect(QString(pressed->text()).remove('&') == okText,
                   "the OK button reads " + okText.toStdString());
        }
        if (pressed != nullptr) {
            pressed->click();
        }
        QTimer::singleShot(500, [dialog = QPointer<QWidget>(dialog)] {
            if (dialog && dialog->isVisible()) {
                Expect(false, "the dialog closed");
                CloseEveryDialog();
            }
        });
    });
    timer->start(10);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    okText = argc > 1 ? QString::fromUtf8(argv[1]) : QString();

    try {  // The library's error crosses into the host with its number and source.
        throw vantreel::Error(5001, "Host.Example", "Key not found");
    } catch (const std::runtime_error& error) {
        const auto* own = dynamic_cast<const vantreel::Error*>(&error);
        Expect(own != nullptr && own->Number() == 5001 && own->Source() == "Host.Example" &&
                   std::string(error.what()) == "Key not found",
               "vantreel::Error caught as std::runtime_error");
    }

#if __has_include(<vantreel/Logon.h>)
    vantreel::Logon logon;
    logon.SetLastUserName("anna");
    AnswerNextDialog(
        [](QWidget& dialog) {
            if (auto* password = dialog.findChild<QLineEdit*>("txtPassword")) {
                password->setText("secret");
            }
        },
        "cmdOK");
    Expect(logon.Login(), "Login after OK returns true");
    Expect(logon.CurrentUser() == "anna" && logon.Password() == "secret",
           "the logon hands back anna and her password");
    AnswerNextDialog(nullptr, "cmdCancel");
    Expect(!logon.Login() && logon.CurrentUser() == "anna", "Cancel keeps the earlier user");
#endif

#if __has_include(<vantreel/PartSelection.h>)
    vantreel::PartSelection selection;
    AnswerNextDialog(nullptr, "cmdCancel");
    Expect(selection.PartOpen("Open a part") == "" && selection.Directory() == "",
           "PartOpen cancelled returns nothing");
    AnswerNextDialog(nullptr, "cmdOK");
    const std::string folder = selection.PartDirectory("Choose a folder");
    Expect(!folder.empty(), "PartDirectory returns the folder shown: " + folder);
#endif

#if __has_include(<vantreel/MachineSelection.h>)
    vantreel::MachineSelection machines;
    AnswerNextDialog(
        [](QWidget& dialog) {
            if (auto* list = dialog.findChild<QListWidget*>("lstMachines")) {
                list->setCurrentRow(1);
            }
        },
        "cmdOK");
    const std::string machine = machines.SelectMachine(1033);
    Expect(machine == "Machines\\Gantry1", "SelectMachine returns the second machine: " + machine);
#endif

    std::printf("host example: %d failed\n", failures);
    return failures == 0 ? 0 : 1;
}
