#include "common/TestRegistry.h"
#include "components/FileSystemPart.h"
#include "partinfo/FormPartInfo.h"
#include "partinfo/PartInfoSession.h"
#include "partinfo/SystemPrinters.h"
#include "shared/IniFile.h"

#include <QComboBox>

#include <gtest/gtest.h>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

extern char** environ;

namespace vantreel::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCupsd = "/usr/sbin/cupsd";

// The printers, asked on a thread of their own: the CUPS client keeps the
// server it first talked to per thread, and each test names its own server.
PrinterList Printers() {
    PrinterList printers;
    std::thread([&printers] { printers = SystemPrinters(); }).join();
    return printers;
}

// Printers come from the CUPS server named by CUPS_SERVER; nothing of the
// station's own configuration may leak in.
class PrintersTest : public RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        unsetenv("PRINTER");
        unsetenv("LPDEST");
        setenv("HOME", directory_.Path().c_str(), 1);  // no ~/.cups/lpoptions
        FileSystemPart part;
        std::string name = "P1";
        part.CreateProject(0, directory_.Path().string(), name, true);
        partDir_ = part.FullPath();
        file_ = part.informationfile();
    }
    void TearDown() override {
        StopCupsd();
        unsetenv("CUPS_SERVER");
        RegistryTest::TearDown();
    }

    // A private cupsd on its own socket and spool folder with two queues, the
    // first the default. False, with the reason, when it cannot run here.
    bool StartCupsd(std::string& reason) {
        if (access(kCupsd, X_OK) != 0) {
            reason = std::string(kCupsd) + " is not installed (Debian package cups-daemon)";
            return false;
        }
        const fs::path root = directory_.Path() / "cups";
        for (const char* folder : {"etc", "spool", "cache", "state", "tmp", "log"}) {
            fs::create_directories(root / folder);
        }
        socket_ = (root / "cups.sock").string();
        std::ofstream(root / "etc" / "cupsd.conf")
            << "Listen " << socket_ << "\nLogLevel warn\nBrowsing No\n"
            << "<Location />\nOrder allow,deny\nAllow all\n</Location>\n";
        std::ofstream(root / "etc" / "cups-files.conf")
            << "ServerRoot " << (root / "etc").string() << "\nRequestRoot "
            << (root / "spool").string() << "\nCacheDir " << (root / "cache").string()
            << "\nStateDir " << (root / "state").string() << "\nTempDir " << (root / "tmp").string()
            << "\nErrorLog " << (root / "log" / "error_log").string() << "\nAccessLog "
            << (root / "log" / "access_log").string() << "\nFileDevice Yes\n";
        std::ofstream(root / "etc" / "printers.conf")
            << "<DefaultPrinter Office_Laser>\nDeviceURI file:///dev/null\nState Idle\n"
               "Accepting Yes\n</DefaultPrinter>\n"
               "<Printer Shop_Floor>\nDeviceURI file:///dev/null\nState Idle\nAccepting Yes\n"
               "</Printer>\n";
        const std::string conf = (root / "etc" / "cupsd.conf").string();
        const std::string files = (root / "etc" / "cups-files.conf").string();
        const char* argv[] = {kCupsd, "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr};
        if (posix_spawn(&cupsd_, kCupsd, nullptr, nullptr, const_cast<char**>(argv), environ) !=
            0) {
            reason = "cupsd could not be started";
            cupsd_ = 0;
            return false;
        }
        setenv("CUPS_SERVER", socket_.c_str(), 1);
        // Wait (at most ten seconds) for the server to answer with its queues.
        for (int attempt = 0; attempt < 100; ++attempt) {
            int status = 0;
            if (waitpid(cupsd_, &status, WNOHANG) == cupsd_) {
                cupsd_ = 0;
                reason = "cupsd exited at once (see " + (root / "log" / "error_log").string() + ")";
                return false;
            }
            if (fs::exists(socket_) && Printers().Names.size() == 2) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        reason = "cupsd did not answer on " + socket_;
        return false;
    }
    void StopCupsd() {
        if (cupsd_ > 0) {
            kill(cupsd_, SIGTERM);
            int status = 0;
            waitpid(cupsd_, &status, 0);
            cupsd_ = 0;
        }
    }

    // The printer list the dialog shows for the part, and the saved printer.
    std::pair<QStringList, std::string> ShowAndSave(int choose) {
        PartInfoSession session;
        session.Open(partDir_);
        session.Load(Printers(), "", "");
        FormPartInfo form;
        form.Load(session, 1033, false);
        auto* printers = form.findChild<QComboBox*>("cboCurrentPrinter");
        QStringList names;
        for (int i = 0; i < printers->count(); ++i) {
            names << printers->itemText(i) +
                         (i == printers->currentIndex() ? QString("*") : QString());
        }
        if (choose >= 0) {
            printers->setCurrentIndex(choose);
        }
        EXPECT_FALSE(session.Save(form.Controls()));
        return {names, ReadIniString(file_, "Report", "DefaultPrinter")};
    }

    std::string partDir_;
    std::string file_;
    std::string socket_;
    pid_t cupsd_ = 0;
};

TEST_F(PrintersTest, AStationWithoutPrintersIsANormalCase) {
    setenv("CUPS_SERVER", directory_.File("no-cupsd.sock").c_str(), 1);
    const PrinterList printers = Printers();
    EXPECT_TRUE(printers.Names.empty());
    EXPECT_EQ(printers.Current, "");
    WriteIniString(file_, "Report", "DefaultPrinter", "Office_Laser");
    const auto [names, saved] = ShowAndSave(-1);
    EXPECT_TRUE(names.isEmpty());
    EXPECT_EQ(saved, "");  // a printer that is not installed becomes the (missing) current one
}

TEST_F(PrintersTest, TheQueuesOfACupsServerAreListedInItsOrder) {
    std::string reason;
    if (!StartCupsd(reason)) {
        GTEST_SKIP() << "no private CUPS server: " << reason;
    }
    const PrinterList printers = Printers();
    EXPECT_EQ(printers.Names, (std::vector<std::string>{"Office_Laser", "Shop_Floor"}));
    EXPECT_EQ(printers.Current, "Office_Laser");

    struct Case {
        const char* stored;
        int choose;
        QStringList shown;
        std::string saved;
    };
    const Case cases[] = {
        {"Shop_Floor", -1, {"Office_Laser", "Shop_Floor*"}, "Shop_Floor"},
        {"", -1, {"Office_Laser*", "Shop_Floor"}, "Office_Laser"},
        {"Gone", -1, {"Office_Laser*", "Shop_Floor"}, "Office_Laser"},
        {"Shop_Floor", 0, {"Office_Laser", "Shop_Floor*"}, "Shop_Floor"},  // first entry: kept
        {"Office_Laser", 1, {"Office_Laser*", "Shop_Floor"}, "Shop_Floor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        WriteIniString(file_, "Report", "DefaultPrinter", c.stored);
        const auto [names, saved] = ShowAndSave(c.choose);
        EXPECT_EQ(names, c.shown);
        EXPECT_EQ(saved, c.saved);
    }
}

}  // namespace
}  // namespace vantreel::test
