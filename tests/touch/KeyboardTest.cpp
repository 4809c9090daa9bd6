#include "components/ContextServer.h"
#include "touch/FormHelpers.h"
#include "touch/FormKeyboard.h"
#include "touch/ModalDialogs.h"
#include "touch/ScreenRes.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

#include "common/ModalTest.h"

#include "common/ErrorNumber.h"

namespace vantreel::test {
namespace {

// A context server that has the contexts it is given.
class FakeContextServer : public ContextServer {
  public:
    explicit FakeContextServer(std::string context) : context_(std::move(context)) {}
    bool GetContext(const std::string& path) override { return path == context_; }

  private:
    std::string context_;
};

// ScreenRes asks the registered context server; the arithmetic itself is
// tested with ScreenMetrics, without a window.
TEST(ScreenRes, AsksTheContextServerForSobrel) {
    const std::pair<const char*, int> cases[] = {
        {"Sobrel\\Online", 22}, {"Sobrel\\Offline", 22}, {"Other\\Context", 28}, {"", 28}};
    for (const auto& [context, title] : cases) {
        if (*context != '\0') {
            const std::string path = context;
            RegisterContextServer("Daskoren.Application",
                                  [path] { return std::make_unique<FakeContextServer>(path); });
        }
        ScreenRes screen;
        screen.Initialize(15360, 15);
        RegisterContextServer("Daskoren.Application", nullptr);
        EXPECT_EQ(screen.TitleFontSize(), title) << context;
    }
}

TEST(ScreenRes, SetsControls) {
    QWidget form;
    auto* button = new QPushButton("OK", &form);
    auto* label = new QLabel("Name", &form);
    auto* check = new QCheckBox("Protected", &form);
    ScreenRes screen;
    screen.Initialize(9600, 15);
    screen.SetAllCommands(&form);
    screen.SetAllLabels(&form);
    EXPECT_EQ(button->font().pointSize(), 8);
    EXPECT_EQ(button->width(), 825 * button->logicalDpiX() / 1440);
    EXPECT_EQ(label->font().pointSize(), 10);
    EXPECT_EQ(check->font().pointSize(), 10);
}

class KeyboardTest : public ModalTest {
  protected:
    // Queues touches of keys by tag, in order.
    static void Type(std::vector<QString> tags) {
        QueueModalAnswer([tags](QDialog& dialog) {
            auto& keyboard = static_cast<FormKeyboard&>(dialog);
            for (const QString& tag : tags) {
                QPushButton* key = keyboard.Key(tag);
                ASSERT_NE(key, nullptr) << tag.toStdString();
                key->click();
            }
        });
    }
};

TEST_F(KeyboardTest, KeysWithAndWithoutShift) {
    Type({"Q", "1!", "[{", "SHIFT", "Q", "1!", "[{", "'\"", "SHIFT", "SPACE", "'\"", "ENTER"});
    FormKeyboard keyboard;
    EXPECT_EQ(keyboard.InputString("Operator", ""), "q1[Q!{\" '");
}

TEST_F(KeyboardTest, DeleteCancelAndEnter) {
    Type({"DELETE", "A", "DELETE", "DELETE", "ENTER"});  // DELETE on empty input does nothing
    EXPECT_EQ(FormKeyboard().InputString("Part", ""), "");
    Type({"X", "Y", "CANCEL"});
    EXPECT_EQ(FormKeyboard().InputString("Part", "P-12"), "P-12");
    Type({"DELETE", "DELETE", "DELETE", "DELETE", "ENTER"});
    EXPECT_EQ(FormKeyboard().InputString("Part", "P-12"), "");
    QueueModalAnswer([](QDialog& dialog) { dialog.close(); });  // closed as CANCEL
    EXPECT_EQ(FormKeyboard().InputString("Part", "P-12"), "P-12");
    QueueModalAnswer([](QDialog& dialog) { dialog.done(QDialog::Rejected); });
    EXPECT_EQ(FormKeyboard().InputString("Part", "P-12"), "P-12");
    // Not shown at all (nobody answers): the text stays too.
    EXPECT_EQ(FormKeyboard().InputString("Part", "P-12"), "P-12");
    EXPECT_EQ(UnansweredModalDialogs(), 1);
    ResetModalAnswers();
}

TEST_F(KeyboardTest, LayoutFollowsTheTable) {
    FormKeyboard keyboard;
    keyboard.Build("Prompt", "abc");
    EXPECT_EQ(keyboard.findChild<QLabel*>("lblPrompt")->text(), "Prompt");
    EXPECT_EQ(keyboard.findChild<QLineEdit*>("txtValue")->text(), "abc");
    EXPECT_EQ(keyboard.Key("1!")->text(), "!\n1");
    EXPECT_EQ(keyboard.Key("7&")->text(), "&&\n7");
    EXPECT_EQ(keyboard.Key("Q")->text(), "Q");
    EXPECT_EQ(keyboard.Key("SHIFT")->text(), "Shift");
    EXPECT_EQ(keyboard.Key("ENTER")->text(), "Enter");
    EXPECT_EQ(keyboard.windowTitle(), "On-Screen Keyboard");
    // Rows lie one key below the other, keys side by side.
    EXPECT_EQ(keyboard.Key("A")->y() - keyboard.Key("Q")->y(), keyboard.Key("Q")->height());
    EXPECT_EQ(keyboard.Key("W")->x() - keyboard.Key("Q")->x(), keyboard.Key("Q")->width());
    EXPECT_GT(keyboard.Key("SPACE")->width(), keyboard.Key("Q")->width());
    // The offscreen screen is 800 pixels wide: command buttons 1031 x 675 twips.
    ASSERT_EQ(keyboard.Metrics().CmdButtonWidth(), 1031);
    // 180, then + 1031/4 (257.75: 258), + 1031/8 (128.875: 129), + 1031/4; row 5 as row 4.
    const std::pair<const char*, int> rowStarts[] = {
        {"1!", 180}, {"Q", 438}, {"A", 567}, {"Z", 825}, {"CANCEL", 825}};
    for (const auto& [tag, twips] : rowStarts) {
        EXPECT_EQ(keyboard.Key(tag)->x(), TwipsToPixels(&keyboard, twips)) << tag;
    }
    // The array: the character keys row by row, then SHIFT, CANCEL, SPACE, DELETE, ENTER.
    const std::pair<int, const char*> order[] = {
        {0, "1!"},     {12, "\\|"},    {13, "Q"},    {24, "]}"},    {25, "A"},
        {35, "'\""},   {36, "Z"},      {45, "/?"},   {46, "SHIFT"}, {47, "CANCEL"},
        {48, "SPACE"}, {49, "DELETE"}, {50, "ENTER"}};
    for (const auto& [index, tag] : order) {
        auto* key = keyboard.findChild<QPushButton*>(QString("cmdKey%1").arg(index));
        ASSERT_NE(key, nullptr) << index;
        EXPECT_EQ(key->property("Tag").toString(), tag) << index;
    }
    EXPECT_EQ(keyboard.findChild<QPushButton*>("cmdKey51"), nullptr);
}

TEST_F(KeyboardTest, FontsAndKeysFollowTheScreenSizes) {
    FormKeyboard touch;
    touch.SetTouchScreen(true);
    touch.Build("Prompt", "abc");
    FormKeyboard desktop;
    desktop.SetTouchScreen(false);
    desktop.Build("Prompt", "abc");
    for (FormKeyboard* keyboard : {&touch, &desktop}) {
        SCOPED_TRACE(keyboard == &touch ? "touch" : "desktop");
        const ScreenRes& metrics = keyboard->Metrics();
        EXPECT_EQ(keyboard->findChild<QLabel*>("lblPrompt")->font().pointSize(),
                  metrics.LabelFontSize());
        EXPECT_EQ(keyboard->findChild<QLineEdit*>("txtValue")->font().pointSize(),
                  metrics.LabelFontSize());
        EXPECT_EQ(keyboard->Key("Q")->font().pointSize(), metrics.CmdButtonFontSize());
        EXPECT_EQ(keyboard->Key("ENTER")->font().pointSize(), metrics.CmdButtonFontSize());
    }
    // Desktop sizes make smaller keys.
    EXPECT_EQ(desktop.Metrics().CmdButtonHeight(), 360);
    EXPECT_GT(touch.Metrics().CmdButtonHeight(), 360);
    EXPECT_LT(desktop.Key("Q")->height(), touch.Key("Q")->height());
    EXPECT_LT(desktop.width(), touch.width());
}

TEST_F(KeyboardTest, OpensWithTheCaretAfterTheValueAndShowsShift) {
    FormKeyboard keyboard;
    keyboard.Build("Prompt", "abc");
    keyboard.show();
    QApplication::processEvents();
    auto* value = keyboard.findChild<QLineEdit*>("txtValue");
    EXPECT_FALSE(value->hasSelectedText());
    EXPECT_EQ(value->cursorPosition(), 3);
    EXPECT_FALSE(keyboard.Key("SHIFT")->isChecked());
    keyboard.Key("SHIFT")->click();
    EXPECT_TRUE(keyboard.Shift());
    EXPECT_TRUE(keyboard.Key("SHIFT")->isChecked());
    keyboard.Key("A")->click();
    keyboard.Key("A")->click();
    EXPECT_TRUE(keyboard.Key("SHIFT")->isChecked());  // stays on until touched again
    keyboard.Key("SHIFT")->click();
    keyboard.Key("A")->click();
    EXPECT_FALSE(keyboard.Key("SHIFT")->isChecked());
    EXPECT_EQ(value->text(), "abcAAa");
    EXPECT_EQ(value->cursorPosition(), 6);
    keyboard.close();
}

TEST(FormHelpers, SystemFontSizesAndControlState) {
    QWidget form;
    auto* small = new QLabel("small", &form);
    QFont font = small->font();
    font.setPointSize(6);
    font.setBold(true);
    small->setFont(font);
    auto* large = new QLabel("large", &form);
    font.setPointSize(14);
    font.setBold(false);
    font.setItalic(true);
    large->setFont(font);
    ApplySystemFont(&form, 1033);
    const QString face = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    for (QWidget* widget : {static_cast<QWidget*>(&form), static_cast<QWidget*>(small),
                            static_cast<QWidget*>(large)}) {
        EXPECT_EQ(widget->font().family(), face);
    }
    EXPECT_EQ(small->font().pointSize(), 8);
    EXPECT_TRUE(small->font().bold());
    EXPECT_EQ(large->font().pointSize(), 14);
    EXPECT_TRUE(large->font().italic());
    font.setPointSize(8);
    small->setFont(font);
    ApplySystemFont(&form, 1041);  // Japanese: at least 9 points
    EXPECT_EQ(small->font().pointSize(), 9);

    auto* edit = new QLineEdit("text", &form);
    SetControlEnabled(edit, false);
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_EQ(edit->palette().color(QPalette::Base),
              QGuiApplication::palette().color(QPalette::Active, QPalette::Button));
    SetControlEnabled(edit, true);
    EXPECT_TRUE(edit->isEnabled());
    SetControlEnabled(nullptr, true);
    SelectAllText(edit, true);
    EXPECT_EQ(edit->selectedText(), "text");
    SelectAllText(edit, false);
    EXPECT_TRUE(edit->selectedText().isEmpty());
    EXPECT_EQ(edit->cursorPosition(), 0);
}

// A parent that records the commands its controls send.
class CommandParent : public QWidget {
  public:
    QWidget* received = nullptr;

  protected:
    bool event(QEvent* event) override {
        if (event->type() == ControlCommandEvent::kType) {
            received = static_cast<ControlCommandEvent*>(event)->Control();
            return true;
        }
        return QWidget::event(event);
    }
};

TEST(FormHelpers, CommandsReachTheParentAndFormsAreCentred) {
    CommandParent parent;
    auto* control = new QPushButton("Go", &parent);
    NotifyParentCommand(control);
    QCoreApplication::processEvents();
    EXPECT_EQ(parent.received, control);
    NotifyParentCommand(&parent);  // no parent: nothing
    parent.resize(200, 100);
    CenterForm(&parent);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(parent.x(), (screen.width() - 200) / 2);
    EXPECT_EQ(parent.y(), (screen.height() - 100) / 2);
}

}  // namespace
}  // namespace vantreel::test
