#include "DemoHost.h"

#include "CommandRegistry.h"
#include "HostCalls.h"
#include "StationCommands.h"

#include "shared/MessageBox.h"
#include "shared/RegEntry.h"
#include "shared/Resources.h"
#include "touch/GuiHost.h"
#include "vantreel/Error.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>

namespace vantreel::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMessageBox = "MessageBox";

// Whether Qt can open a window here. Qt gives up with an abort when it cannot
// reach a display, so the common cases are told apart first.
std::string NoDisplayReason() {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (platform != nullptr && *platform != '\0') {
        return {};  // the user chose the platform (offscreen, vnc, ...)
    }
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland != nullptr && *wayland != '\0') {
        return {};
    }
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        return "no display: DISPLAY and WAYLAND_DISPLAY are not set";
    }
    // A local X display ":N" or ":N.S" has its socket in /tmp/.X11-unix.
    const std::string name = display;
    if (name[0] == ':') {
        const std::string number = name.substr(1, name.find('.') - 1);
        if (!fs::exists("/tmp/.X11-unix/X" + number)) {
            return "no X server answers on DISPLAY=" + name;
        }
    }
    return {};
}

std::string DefaultStation() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && *data != '\0') {
        return (fs::path(data) / "vantreel" / "demo-station").string();
    }
    const char* home = std::getenv("HOME");
    return (fs::path(home != nullptr && *home != '\0' ? home : "/tmp") / ".local" / "share" /
            "vantreel" / "demo-station")
        .string();
}

// Saves what the screen shows (the real display server's pixels); a platform
// without a screen to read (offscreen) renders the widget instead.
bool SaveScreenshot(QWidget& widget, const std::string& file, std::ostream& out,
                    std::ostream& err) {
    QPixmap pixmap;
    const char* source = "the screen";
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        pixmap = screen->grabWindow(0);
    }
    if (pixmap.isNull() || QGuiApplication::platformName() == "offscreen") {
        pixmap = widget.grab();
        source = "the window, rendered";
    }
    if (pixmap.isNull() || !pixmap.save(QString::fromStdString(file))) {
        err << "ERROR: " << file << " cannot be written\n";
        return false;
    }
    out << "screenshot: " << file << " (" << pixmap.width() << 'x' << pixmap.height() << ", "
        << source << ", platform " << QGuiApplication::platformName().toStdString() << ")\n";
    return true;
}

class DemoHostWindow : public QWidget {
  public:
    explicit DemoHostWindow(const std::string& station) {
        settings_.station = station;
        setObjectName("frmDemoHost");
        setWindowTitle("Vantreel demo host");
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(new QLabel(QString::fromStdString("Station: " + station)));

        auto* options = new QHBoxLayout;
        language_ = new QComboBox;
        language_->setObjectName("cboLanguage");
        language_->addItem("English", 1033);
        language_->addItem("German", 1031);
        options->addWidget(new QLabel("Language:"));
        options->addWidget(language_);
        touch_ = new QCheckBox("Touch screen");
        touch_->setObjectName("chkTouchScreen");
        options->addWidget(touch_);
        options->addStretch();
        layout->addLayout(options);
        connect(language_, &QComboBox::currentIndexChanged, this, [this] { ApplyLanguage(); });

        std::map<std::string, QGridLayout*> groups;
        for (const HostCall& call : HostCalls()) {
            QGridLayout*& grid = groups[call.className];
            if (grid == nullptr) {
                auto* box = new QGroupBox(QString::fromStdString(call.className));
                grid = new QGridLayout(box);
                grid->setColumnStretch(4, 1);  // buttons keep their width, left-aligned
                layout->addWidget(box);
            }
            auto* button = new QPushButton(QString::fromStdString(call.button));
            button->setMinimumWidth(140);
            button->setObjectName(QString::fromStdString("cmd" + call.button));
            button->setEnabled(call.unavailable.empty());
            button->setToolTip(QString::fromStdString(
                call.unavailable.empty() ? call.className + "." + call.method + call.arguments
                                         : call.unavailable));
            grid->addWidget(button, grid->count() / 4, grid->count() % 4);
            connect(button, &QPushButton::clicked, this, [this, &call] { Run(call); });
        }
        auto* library = new QGroupBox("The library's message box");
        auto* libraryRow = new QHBoxLayout(library);
        auto* messageBox = new QPushButton("MsgBoxEx");
        messageBox->setObjectName(QString("cmd") + kMessageBox);
        messageBox->setMinimumWidth(140);
        libraryRow->addWidget(messageBox);
        libraryRow->addStretch();
        layout->addWidget(library);
        connect(messageBox, &QPushButton::clicked, this, [this] { ShowMessageBox(); });

        log_ = new QPlainTextEdit;
        log_->setObjectName("txtLog");
        log_->setReadOnly(true);
        log_->setMinimumSize(640, 160);
        layout->addWidget(log_, 1);
        ApplyLanguage();
    }

    void Log(const std::string& line) { log_->appendPlainText(QString::fromStdString(line)); }

  private:
    // The classes without a language argument take the station's default language.
    void ApplyLanguage() {
        settings_.language = language_->currentData().toInt();
        try {
            RegEntry entry;
            entry.CreateKey("Common");
            entry.SetString("DefaultLanguage", std::to_string(settings_.language));
            int32_t language = settings_.language;
            SetLanguage(language);
            Log("Language " + std::to_string(settings_.language) +
                " (Common\\DefaultLanguage of the station)");
        } catch (const Error& error) {
            Log("ERROR: " + error.Description());
        }
    }

    void Run(const HostCall& call) {
        settings_.touchScreen = touch_->isChecked();
        const std::string name = call.className + "." + call.method + call.arguments;
        Log(name + " ...");
        try {
            Log("  -> " + call.run(settings_));
        } catch (const std::exception& error) {
            Log(std::string("  -> threw: ") + error.what());
        }
    }

    void ShowMessageBox() {
        EnsureGuiHost();
        // An error report as the library shows one: information icon, the error title.
        const int32_t answer = MsgBoxEx(FormatResString(110001, "Machines\\Gantry9"),
                                        vbOKOnly + vbInformation, GetResString(110089));
        Log("MsgBoxEx -> " + std::to_string(answer) + (answer == vbOK ? " (OK)" : ""));
    }

    HostCallSettings settings_;
    QComboBox* language_ = nullptr;
    QCheckBox* touch_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
};

// Closes the open dialogs (and any box they opened) as Cancel would, topmost
// first; once the calls have returned into the window, ends the application.
void CloseDialogsAndQuit() {
    if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        open->reject();
        QTimer::singleShot(50, CloseDialogsAndQuit);
    } else {
        QTimer::singleShot(50, [] { QApplication::quit(); });
    }
}

// Presses the button of `method` and, once its dialog shows, saves the
// screenshot (when asked), closes every dialog and ends the application.
void OpenAndQuit(DemoHostWindow& window, const std::string& method, const std::string& screenshot,
                 std::ostream& out, std::ostream& err, int& status) {
    auto* button = window.findChild<QPushButton*>(QString::fromStdString("cmd" + method));
    auto* poll = new QTimer(&window);
    auto ticks = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, &window, [=, &out, &err, &status] {
        // The dialog counts once the display server has shown it.
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || dialog->windowHandle() == nullptr ||
            !dialog->windowHandle()->isExposed()) {
            if (++*ticks == 1000) {
                err << "ERROR: " << method << " opened no dialog\n";
                status = 1;
                poll->stop();
                QApplication::quit();
            }
            return;
        }
        poll->stop();
        out << "dialog: " << dialog->objectName().toStdString() << " \""
            << dialog->windowTitle().toStdString() << "\"\n";
        // A moment for the first paint to reach the screen.
        QTimer::singleShot(300, [dialog = QPointer<QWidget>(dialog), screenshot, &out, &err,
                                 &status] {
            if (dialog && !screenshot.empty() && !SaveScreenshot(*dialog, screenshot, out, err)) {
                status = 1;
            }
            CloseDialogsAndQuit();
        });
    });
    QTimer::singleShot(300, &window, [button, poll] {
        poll->start(10);
        button->click();
    });
}

}  // namespace

int RunDemoHost(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() == 1 && args[0] == "--list") {
        for (const HostCall& call : HostCalls()) {
            out << call.className << '.' << call.button << '\t'
                << (call.unavailable.empty() ? "available" : "unavailable: " + call.unavailable)
                << '\n';
        }
        return 0;
    }
    const Arguments parsed = ParseArguments(args, 0, 1, "[STATION]", {"--open", "--screenshot"});
    const std::string method = parsed.Option("--open");
    // Made absolute now: the host runs inside the station's directory.
    const std::string screenshot = parsed.options.count("--screenshot") != 0
                                       ? fs::absolute(parsed.Option("--screenshot")).string()
                                       : std::string();
    if (!method.empty() && method != kMessageBox) {
        const HostCall* found = nullptr;
        for (const HostCall& call : HostCalls()) {
            found = call.button == method ? &call : found;
        }
        if (found == nullptr) {
            throw UsageError("no method '" + method + "' (see --list)");
        }
        if (!found->unavailable.empty()) {
            err << "vantreel demo-host: " << method << " is not available: " << found->unavailable
                << '\n';
            return 1;
        }
    }
    if (const std::string reason = NoDisplayReason(); !reason.empty()) {
        err << "vantreel demo-host: " << reason << ".\n"
            << "Run it on a desktop session, or under a virtual X server:\n"
            << "  xvfb-run -a vantreel demo-host [STATION]   (Debian package xvfb)\n"
            << "or without any display: QT_QPA_PLATFORM=offscreen vantreel demo-host "
               "--open METHOD --screenshot FILE\n";
        return 1;
    }

    const fs::path station = fs::absolute(
        parsed.positional.empty() ? fs::path(DefaultStation()) : fs::path(parsed.positional[0]));
    if (fs::exists(station / "registry.db")) {
        out << "Using the sample station in " << station.string() << '\n';
    } else if (const int made = RunDemoStation(station.string(), out, err); made != 0) {
        return made;
    }
    setenv("VANTREEL_REGISTRY", (station / "registry.db").c_str(), 1);
    if (chdir(station.c_str()) != 0) {
        err << "ERROR: " << station.string() << " cannot be entered\n";
        return 1;
    }

    int argc = 1;
    char name[] = "vantreel";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    InitResources();
    DemoHostWindow window(station.string());
    window.show();
    int status = 0;
    if (!method.empty()) {
        OpenAndQuit(window, method, screenshot, out, err, status);
    } else if (!screenshot.empty()) {
        QTimer::singleShot(300, &window, [&] {
            status = SaveScreenshot(window, screenshot, out, err) ? 0 : 1;
            QApplication::quit();
        });
    }
    const int result = application.exec();
    return status != 0 ? status : result;
}

namespace {

const CommandRegistration kDemoHost({
    "demo-host",
    "[STATION] [--open METHOD [--screenshot FILE]] | --list   a host window with a button per "
    "public method, on the sample station",
    RunDemoHost,
    "vantreel demo-host ~/station",
});

}  // namespace

}  // namespace vantreel::cli
