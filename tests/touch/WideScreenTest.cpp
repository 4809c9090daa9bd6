// Runs on an offscreen screen 1024 pixels wide (data/station-1024.json), the
// width at which the keyboard takes the largest sizes and asks the context
// server for a Sobrel context.
#include "components/ContextServer.h"
#include "shared/MessageBox.h"
#include "touch/FormKeyboard.h"
#include "vantreel/Error.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include "common/MessageLog.h"
#include "common/ModalTest.h"

namespace vantreel::test {
namespace {

// A context server that has one context, or cannot be made at all.
class StationContextServer : public ContextServer {
  public:
    explicit StationContextServer(std::string context) : context_(std::move(context)) {}
    bool GetContext(const std::string& path) override { return path == context_; }

  private:
    std::string context_;
};

class WideScreen : public ModalTest {
  protected:
    void SetUp() override {
        ModalTest::SetUp();
        // ctest runs these on their screen and fails them if they skip.
        if (QGuiApplication::primaryScreen()->geometry().width() != 1024) {
            GTEST_SKIP() << "needs QT_QPA_PLATFORM=offscreen:configfile=data/station-1024.json";
        }
    }
    void TearDown() override {
        RegisterContextServer("Daskoren.Application", nullptr);
        ModalTest::TearDown();
    }
};

TEST_F(WideScreen, KeyboardSizesWithAndWithoutASobrelContext) {
    struct Case {
        const char* context;  // the one the server has; null: no server
        int labelFont;
    };
    for (const Case& c : {Case{nullptr, 12}, Case{"Sobrel\\Online", 10},
                          Case{"Sobrel\\Offline", 10}, Case{"Other", 12}}) {
        SCOPED_TRACE(c.context != nullptr ? c.context : "no server");
        if (c.context != nullptr) {
            const std::string context = c.context;
            RegisterContextServer("Daskoren.Application", [context] {
                return std::make_unique<StationContextServer>(context);
            });
        } else {
            RegisterContextServer("Daskoren.Application", nullptr);
        }
        FormKeyboard keyboard;
        keyboard.Build("Prompt", "");
        const ScreenRes& metrics = keyboard.Metrics();
        EXPECT_EQ(metrics.ScreenWidthPix(), 1024);
        EXPECT_EQ(metrics.CmdButtonHeight(), 864);
        EXPECT_EQ(metrics.CmdButtonFontSize(), 14);
        EXPECT_EQ(metrics.LabelFontSize(), c.labelFont);
        EXPECT_EQ(keyboard.findChild<QLabel*>("lblPrompt")->font().pointSize(), c.labelFont);
        EXPECT_EQ(keyboard.Key("Q")->height(), TwipsToPixels(&keyboard, 864));
    }
}

TEST_F(WideScreen, AContextServerThatCannotBeMadeLosesNoText) {
    RegisterContextServer("Daskoren.Application", []() -> std::unique_ptr<ContextServer> {
        throw Error(429, "CreateObject", "ActiveX component can't create object");
    });
    MessageLog log;
    FormKeyboard keyboard;
    std::string typed;
    EXPECT_NO_THROW(typed = keyboard.InputString("Serial number", "SN-0815"));
    EXPECT_EQ(typed, "SN-0815");  // the text as it was; no keyboard was shown
    ASSERT_EQ(log.shown.size(), 1u);
    EXPECT_EQ(log.shown.front().text, "ActiveX component can't create object");
}

}  // namespace
}  // namespace vantreel::test
