// A host of the Vantreel dialogs: it calls the public classes and answers each
// dialog as an operator would, by the objectNames of its controls. Run it
// offscreen on a station (VANTREEL_REGISTRY); it prints one line per check and
// exits 1 when any fails.
//   host_example [OK_TEXT]                   OK_TEXT: what the OK buttons must read
//   host_example --no-application [OK_TEXT]  a host without a QApplication of its own
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
// button named `button`. A dialog that stays open, or a message box the button
// opens, fails the check and is cancelled, so a wrong answer never hangs the
// host. (Unused in a build that has none of the dialog classes yet.)
[[maybe_unused]] void AnswerNextDialog(std::function<void(QWidget&)> fill, QString button) {
    auto* timer = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QPointer<QWidget> dialog = QApplication::activeModalWidget();
        if (dialog == nullptr) {
            if (++*tries == 200) {
                Expect(false, "a dialog opened");
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (fill) {
            fill(*dialog);
        }
        auto* pressed = dialog->findChild<QPushButton*>(button);
        Expect(pressed != nullptr,
               dialog->objectName().toStdString() + " has " + button.toStdString());
        if (pressed == nullptr) {
            CloseEveryDialog();
            return;
        }
        if (!okText.isEmpty() && button == "cmdOK") {
            Expect(QString(pressed->text()).remove('&') == okText,
                   "the OK button reads " + okText.toStdString());
        }
        QTimer guard;  // runs inside any box the click opens
        QObject::connect(&guard, &QTimer::timeout, [&guard, dialog] {
            QWidget* top = QApplication::activeModalWidget();
            if (top != nullptr && top != dialog) {
                guard.stop();
                Expect(false, "no message box: " + top->windowTitle().toStdString());
                CloseEveryDialog();
            }
        });
        guard.start(50);
        pressed->click();
        guard.stop();
        if (dialog && dialog->isVisible()) {
            Expect(false, "the dialog closed");
            CloseEveryDialog();
        }
    });
    timer->start(10);
}

}  // namespace

void AnswerLogon() {
    AnswerNextDialog(
        [](QWidget& dialog) {
            if (auto* password = dialog.findChild<QLineEdit*>("txtPassword")) {
                password->setText("secret");
            }
        },
        "cmdOK");
}

// No QApplication here: the library makes one for its first dialog. The answer
// is queued from Qt's start-up hook, the first moment an event loop can take it.
int WithoutApplication() {
#if __has_include(<vantreel/Logon.h>)
    qAddPreRoutine([] {
        QMetaObject::invokeMethod(QCoreApplication::instance(), AnswerLogon, Qt::QueuedConnection);
    });
    vantreel::Logon logon;
    logon.SetLastUserName("anna");
    Expect(logon.Login() && logon.Password() == "secret", "Login in a host without a QApplication");
    Expect(qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr,
           "the library made the QApplication");
#else
    std::printf("no dialog class in this build to call without a QApplication\n");
#endif
    std::printf("host example without an application: %d failed\n", failures);
    return failures == 0 ? 0 : 1;
}

int main(int argc, char** argv) {
    const bool withoutApplication = argc > 1 && std::string(argv[1]) == "--no-application";
    const int textArgument = withoutApplication ? 2 : 1;
    okText = argc > textArgument ? QString::fromUtf8(argv[textArgument]) : QString();
    if (withoutApplication) {
        return WithoutApplication();
    }
    QApplication application(argc, argv);

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
    AnswerLogon();
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
