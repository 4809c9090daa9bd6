#include "common/Files.h"
#include "common/ModalTest.h"
#include "common/TestRegistry.h"
#include "components/ComponentFactory.h"
#include "components/FileSystemPart.h"
#include "partinfo/FormPartInfo.h"
#include "partinfo/PartInfoSession.h"
#include "shared/IniFile.h"
#include "shared/MessageBox.h"
#include "shared/Resources.h"
#include "touch/FormKeyboard.h"
#include "touch/ModalDialogs.h"
#include "vantreel/PartInformation.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <sstream>

namespace vantreel::test {
namespace {

namespace fs = std::filesystem;

void SetText(QDialog& dialog, const char* name, const QString& text) {
    if (auto* box = Find<QLineEdit>(dialog, name)) {
        box->setText(text);
    }
}

// The keyboard a touched text box opens types key, then Enter.
void TypeOnTheKeyboard(const char* key) {
    QueueModalAnswer([key](QDialog& dialog) {
        auto& keyboard = static_cast<FormKeyboard&>(dialog);
        keyboard.Touch(key);
        keyboard.Touch("ENTER");
    });
}

// A finger lifted from the text box.
void TouchBox(QDialog& form, const char* name) {
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(Find(form, name), &release);
}

// A part on a private station; the dialog answered by script, messages recorded.
class FormPartInfoTest : public WithModalAnswers<RegistryTest> {
  protected:
    void SetUp() override {
        WithModalAnswers::SetUp();
        ResetModalAnswers(3000);
        SetMessageBoxHandler([this](const std::string& text, int32_t, const std::string& title) {
            messages_.push_back(title + ": " + text);
            return int32_t{vbOK};
        });
        Set("Common", "StartupApp", "Tellurim");
        Set("Users", "LastUser", "anna");
        FileSystemPart part;
        std::string name = "P1";
        part.CreateProject(0, directory_.Path().string(), name, true);
        partDir_ = part.FullPath();
        file_ = part.informationfile();
    }
    void TearDown() override {
        SetMessageBoxHandler(nullptr);
        WithModalAnswers::TearDown();
    }

    // Shows the dialog for the part; script drives it and must close it.
    bool Show(std::function<void(FormPartInfo&)> script, bool touch = false,
              const std::string& partDir = {}) {
        QueueModalAnswer([script](QDialog& dialog) { script(static_cast<FormPartInfo&>(dialog)); });
        PartInformation information;
        return information.ShowInformation(partDir.empty() ? partDir_ : partDir, "Users\\anna",
                                           "Machines\\M1", 1033, touch);
    }

    std::string partDir_;
    std::string file_;
    std::vector<std::string> messages_;
};

TEST_F(FormPartInfoTest, ContinuousPrintingShowsAndSavesTheNormalReport) {
    for (const bool touch : {false, true}) {
        SCOPED_TRACE(touch ? "touch" : "desktop");
        WriteIniString(file_, "Report", "PrintMode", "1");
        WriteIniString(file_, "Report", "ReportStatus", "2");
        int buttonHeight = 0;
        int fontSize = 0;
        const bool result = Show(
            [&](FormPartInfo& form) {
                EXPECT_TRUE(Find<QRadioButton>(form, "OptRptNormal")->isChecked());
                EXPECT_FALSE(Find(form, "OptRptPart")->isEnabled());
                EXPECT_TRUE(Find<QRadioButton>(form, "optPrtContinuous")->isChecked());
                Click(form, "optPrtProgram");
                EXPECT_TRUE(Find(form, "OptRptPart")->isEnabled());
                Click(form, "optPrtContinuous");
                EXPECT_FALSE(Find(form, "OptRptPart")->isEnabled());
                buttonHeight = Find(form, "cmdOK")->height();
                fontSize = Find(form, "txtSerialNum")->font().pointSize();
                Click(form, "cmdOK");
            },
            touch);
        EXPECT_TRUE(result);
        EXPECT_EQ(ReadIniString(file_, "Report", "ReportStatus"), "1");
        if (touch) {
            EXPECT_GE(buttonHeight, 40);  // finger-sized
            EXPECT_GE(fontSize, 10);
        } else {
            EXPECT_LT(buttonHeight, 40);
        }
    }
    EXPECT_TRUE(messages_.empty());
}

TEST_F(FormPartInfoTest, TheTouchFlagOfEachCallSizesTheKeptDialog) {
    // One instance keeps its dialog: a desktop call after a touch call is desktop-sized again.
    PartInformation information;
    std::vector<std::pair<int, int>> sizes;  // cmdOK height, txtSerialNum font size
    for (const bool touch : {false, true, false}) {
        QueueModalAnswer([&](QDialog& dialog) {
            sizes.emplace_back(
                Find(dialog, "cmdOK")->sizeHint().height() + Find(dialog, "cmdOK")->minimumHeight(),
                Find(dialog, "txtSerialNum")->font().pointSize());
            Click(dialog, "cmdCancel");
        });
        EXPECT_FALSE(information.ShowInformation(partDir_, "", "", 1033, touch));
    }
    ASSERT_EQ(sizes.size(), 3u);
    EXPECT_NE(sizes[1], sizes[0]);
    EXPECT_EQ(sizes[2], sizes[0]);
}

TEST_F(FormPartInfoTest, EveryCaptionFitsInBothLanguagesAndSizes) {
    WriteIniString(file_, "Part", "Name", "PLATE_4711");
    struct Case {
        int32_t language;
        bool touch;
        QString title;
    };
    const Case cases[] = {{1033, false, "Part Information: PLATE_4711"},
                          {1033, true, "Part Information: PLATE_4711"},
                          {1031, false, "Teileinformationen: PLATE_4711"},
                          {1031, true, "Teileinformationen: PLATE_4711"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title.toStdString() + (c.touch ? " touch" : " desktop"));
        int32_t language = c.language;
        SetLanguage(language);
        PartInfoSession session;
        session.Open(partDir_);
        session.Load({{"Office_Laser"}, "Office_Laser"}, "", "");
        FormPartInfo form;
        form.Load(session, c.language, c.touch);
        form.show();
        EXPECT_EQ(form.windowTitle(), c.title);
        EXPECT_EQ(Find<QLabel>(form, "lblPartName")->text(), "PLATE_4711");
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE(form.frameGeometry().width(), screen.width());
        EXPECT_LE(form.frameGeometry().height(), screen.height());
        auto* tabs = Find<QTabBar>(form, "tabPartProgram");
        for (int tab = 1; tab <= 6; ++tab) {
            form.SelectTab(tab);
            QApplication::processEvents();
            EXPECT_GE(tabs->tabRect(tab - 1).width(),
                      tabs->fontMetrics().horizontalAdvance(tabs->tabText(tab - 1)));
            QWidget* panel = Find(form, ("picGeneral" + std::to_string(tab - 1)).c_str());
            EXPECT_TRUE(panel->isVisible());
            for (QWidget* control : form.findChildren<QWidget*>()) {
                auto* label = qobject_cast<QLabel*>(control);
                const bool fixedText = (label != nullptr && !label->wordWrap()) ||
                                       qobject_cast<QAbstractButton*>(control) != nullptr;
                if (fixedText && control->isVisible()) {
                    EXPECT_GE(control->width(), control->sizeHint().width())
                        << control->objectName().toStdString() << " "
                        << (label ? label->text() : qobject_cast<QAbstractButton*>(control)->text())
                               .toStdString();
                }
            }
        }
    }
    int32_t english = 1033;
    SetLanguage(english);
}

TEST_F(FormPartInfoTest, CsvRulesDisableOkAndRefuseABareFileName) {
    const std::string before = ReadFile(file_);
    EXPECT_FALSE(Show([&](FormPartInfo& form) {
        form.SelectTab(4);
        Click(form, "optCSVNormal");
        EXPECT_FALSE(Find(form, "cmdOK")->isEnabled());
        EXPECT_TRUE(Find(form, "txtCSVFile")->isEnabled());
        form.SelectTab(1);  // leaving the CSV tab without a file is refused
        EXPECT_EQ(form.CurrentTab(), 4);
        SetText(form, "txtCSVFile", "out.csv");
        EXPECT_TRUE(Find(form, "cmdOK")->isEnabled());
        form.SelectTab(2);
        Click(form, "cmdOK");  // refused: no folder
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(form.CurrentTab(), 4);
        EXPECT_EQ(Find<QLineEdit>(form, "txtCSVFile")->selectedText(), "out.csv");
        Click(form, "optCSVNone");
        EXPECT_FALSE(Find(form, "txtCSVFile")->isEnabled());
        Click(form, "cmdCancel");
    }));
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[0], "Part Information: Enter the full path of the CSV file.");
    EXPECT_EQ(messages_[1],
              "CSV Output: The folder \"\" does not exist.\r\n\nEnter the full path of the CSV "
              "file.");
    EXPECT_EQ(ReadFile(file_), before);
}

TEST_F(FormPartInfoTest, AWriteProtectedPartKeepsOnlyTheSerialNumberEditable) {
    WriteIniString(file_, "Part", "WriteProtect", "1");
    std::ofstream(fs::path(partDir_) / "a.skp") << "x\n";
    EXPECT_TRUE(Show([&](FormPartInfo& form) {
        EXPECT_EQ(ReadIniString(file_, "Part", "WriteProtect"), "true");  // rewritten on opening
        EXPECT_TRUE(Find<QCheckBox>(form, "chkWriteProtected")->isChecked());
        EXPECT_FALSE(Find(form, "chkWriteProtected")->isEnabled());  // anna is no administrator
        for (const char* name : {"OptRptNormal", "OptRptFeature", "txtRptFileName", "optLogNone",
                                 "txtLogFileName", "optPrtNone", "chkGraphics", "cboCurrentPrinter",
                                 "optCSVNormal", "txtCSVFile", "txtCSVRecord", "txtLibName",
                                 "chkPartialRun", "cboSkipFiles", "lstAddons", "cmdProperties"}) {
            EXPECT_FALSE(Find(form, name)->isEnabled()) << name;
        }
        EXPECT_TRUE(Find(form, "txtSerialNum")->isEnabled());
        SetText(form, "txtSerialNum", "SN-7");
        Click(form, "cmdOK");
    }));
    EXPECT_EQ(ReadIniString(file_, "Part", "SerialNumber"), "SN-7");
}

TEST_F(FormPartInfoTest, OpeningRewritesOnlyAWriteProtectionThatReadsTrue) {
    const std::pair<const char*, const char*> cases[] = {
        {"1", "true"}, {"yes", "true"}, {"No", "No"}, {"0", "0"}, {"", ""}};
    for (const auto& [stored, afterOpening] : cases) {
        SCOPED_TRACE(stored);
        fs::remove(file_);
        WriteIniString(file_, "Part", "Name", "P1");
        if (*stored != '\0') {
            WriteIniString(file_, "Part", "WriteProtect", stored);
        }
        const std::string before = ReadFile(file_);
        EXPECT_FALSE(Show([&](FormPartInfo& form) { Click(form, "cmdCancel"); }));
        EXPECT_EQ(ReadIniString(file_, "Part", "WriteProtect"), afterOpening);
        if (std::string(stored) == afterOpening) {
            EXPECT_EQ(ReadFile(file_), before);  // not written at all
        }
    }
}

TEST_F(FormPartInfoTest, AnAdministratorTogglesTheWriteProtectionAtOnce) {
    Set("Users\\anna", "Administrator", "true");
    EXPECT_FALSE(Show([&](FormPartInfo& form) {
        EXPECT_TRUE(Find(form, "chkWriteProtected")->isEnabled());
        EXPECT_TRUE(Find(form, "txtLibName")->isEnabled());
        Click(form, "chkWriteProtected");
        EXPECT_EQ(ReadIniString(file_, "Part", "WriteProtect"), "true");
        EXPECT_FALSE(Find(form, "txtLibName")->isEnabled());
        Click(form, "cmdCancel");
    }));
    EXPECT_EQ(ReadIniString(file_, "Part", "WriteProtect"), "true");  // stays after Cancel
}

TEST_F(FormPartInfoTest, AWriteProtectionThatCannotBeWrittenIsReportedAndUndone) {
    Set("Users\\anna", "Administrator", "true");
    const std::string binary("[Part]\0\x01\x02", 9);
    WriteFile(file_, binary);
    EXPECT_FALSE(Show([&](FormPartInfo& form) {
        auto* box = Find<QCheckBox>(form, "chkWriteProtected");
        EXPECT_TRUE(box->isEnabled());
        Click(form, "chkWriteProtected");
        EXPECT_FALSE(box->isChecked());
        EXPECT_TRUE(Find(form, "txtLibName")->isEnabled());
        Click(form, "cmdCancel");
    }));
    ASSERT_EQ(messages_.size(), 2u);  // the unusable file on opening, then the failed write
    EXPECT_NE(messages_[1].find("could not be saved to \"" + file_ + "\": it is not a text file"),
              std::string::npos)
        << messages_[1];
    EXPECT_EQ(ReadFile(file_), binary);
}

TEST_F(FormPartInfoTest, HelpUsesTheHelpFileOfTheOtherDialogs) {
    TempDirectory install;
    fs::create_directory(install.Path() / "Bin");
    Set("Tellurim\\Settings", "InstallDirectory", install.Path().string());
    const std::string help = install.File("Bin") + "/ENUVT.chm";
    std::ofstream(help) << "help";
    EXPECT_FALSE(Show([&](FormPartInfo& form) { Click(form, "cmdCancel"); }));
    EXPECT_EQ(HelpFile(), help);
}

TEST_F(FormPartInfoTest, UnchangedValuesInAWindowsCodePageSurviveASave) {
    // "Prüfteil" and "Müller" as a Windows station writes them (Windows-1252).
    std::ofstream(file_, std::ios::binary | std::ios::trunc)
        << "[Part]\r\nLibraryName=Pr\xFC"
           "fteil\r\n[Report]\r\nLogFile=M\xFCller\r\n";
    EXPECT_TRUE(Show([&](FormPartInfo& form) {
        EXPECT_EQ(Find<QLineEdit>(form, "txtLibName")->text(), QString::fromUtf8("Pr\u00FCfteil"));
        SetText(form, "txtSerialNum", "SN-1");
        Click(form, "cmdOK");
    }));
    EXPECT_EQ(ReadIniString(file_, "Part", "LibraryName"),
              "Pr\xFC"
              "fteil");
    EXPECT_EQ(ReadIniString(file_, "Report", "LogFile"), "M\xFCller");
    EXPECT_EQ(ReadIniString(file_, "Part", "SerialNumber"), "SN-1");
}

TEST_F(FormPartInfoTest, TheReportAndLogFileBoxesTakeNoExtension) {
    // A stored name with a "." reads as empty, so the boxes never take one.
    EXPECT_TRUE(Show(
        [&](FormPartInfo& form) {
            QTest::keyClicks(Find(form, "txtRptFileName"), "run.txt");
            Click(form, "optLogNormal");  // the log file box is enabled with a log
            QTest::keyClicks(Find(form, "txtLogFileName"), "a.b");
            TypeOnTheKeyboard(".>");
            TouchBox(form, "txtRptFileName");
            Click(form, "cmdOK");
        },
        true));
    EXPECT_EQ(ReadIniString(file_, "Report", "ReportFile"), "runtxt");
    EXPECT_EQ(ReadIniString(file_, "Report", "LogFile"), "ab");
}

TEST_F(FormPartInfoTest, CancelAfterSaveKeepsWhatWasSaved) {
    EXPECT_FALSE(Show([&](FormPartInfo& form) {
        SetText(form, "txtLibName", "LIB1");
        Click(form, "cmdSave");
        EXPECT_TRUE(form.isVisible());
        SetText(form, "txtLibName", "LIB2");
        Click(form, "cmdCancel");
    }));
    EXPECT_EQ(ReadIniString(file_, "Part", "LibraryName"), "LIB1");
}

TEST_F(FormPartInfoTest, LabelsFillTheirSlotsAndAnEmptyValueGetsItsDefaultBack) {
    Set("Machines\\M1\\DatabaseLabels", "DBLabel0", "Operator");
    Set("Machines\\M1\\DatabaseLabels", "DBLabel3", "Shift");
    Set("Users\\anna\\DatabaseRelations", "Shift", "early");
    EXPECT_TRUE(Show([&](FormPartInfo& form) {
        form.show();
        EXPECT_EQ(Find<QLabel>(form, "lblDBLabel1")->text(), "Shift");
        EXPECT_FALSE(Find(form, "txtDBValue2")->isVisibleTo(&form));
        auto* shift = Find<QLineEdit>(form, "txtDBValue1");
        EXPECT_EQ(shift->text(), "early");
        shift->setText("");
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(shift, &out);
        EXPECT_EQ(shift->text(), "early");
        SetText(form, "txtDBValue0", "bob");
        Click(form, "cmdOK");
    }));
    EXPECT_EQ(ReadIniString(file_, "Report", "Operator"), "bob");
    EXPECT_EQ(ReadIniString(file_, "Report", "Shift"), "");
}

TEST_F(FormPartInfoTest, AddOnEditorsAreCalledForTheSelectedEntry) {
    const std::pair<const char*, const char*> addons[] = {
        {"Test.Recorder1", "{7E1A0000-0000-4000-8000-000000000001}"},
        {"Example.RunCounter", "{5A3C1E00-7A11-4E0D-9C4B-2F1D00000001}"},
        {"Test.Broken", "{7E1A0000-0000-4000-8000-000000000002}"},
    };
    for (const auto& [progId, classId] : addons) {
        Set(std::string("Common\\Addons\\") + progId, "Name", std::string("Add-on ") + progId);
        Set(std::string("Common\\Addons\\") + progId, "PIFProgID", progId);
    }
    RegisterInprocServer("Test.Recorder1", addons[0].second, VANTREEL_TEST_PLUGIN);
    RegisterInprocServer("Example.RunCounter", addons[1].second, VANTREEL_EXAMPLE_ADDON);
    RegisterInprocServer("Test.Broken", addons[2].second, directory_.File("gone.so"));
    EXPECT_FALSE(Show([&](FormPartInfo& form) {
        auto* list = Find<QListWidget>(form, "lstAddons");
        ASSERT_EQ(list->count(), 3);
        EXPECT_FALSE(Find(form, "cmdProperties")->isEnabled());
        // Subkeys enumerate in Windows order: Example.RunCounter, Test.Broken, Test.Recorder1.
        list->setCurrentRow(0);
        EXPECT_TRUE(Find(form, "cmdProperties")->isEnabled());
        list->clearSelection();  // the entry stays current, but nothing is selected
        EXPECT_FALSE(Find(form, "cmdProperties")->isEnabled());
        list->setCurrentRow(0);
        EXPECT_TRUE(Find(form, "cmdProperties")->isEnabled());
        Click(form, "cmdProperties");
        Click(form, "cmdProperties");
        list->setCurrentRow(1);
        Click(form, "cmdProperties");
        list->setCurrentRow(2);
        Click(form, "cmdProperties");
        EXPECT_TRUE(form.isVisible());
        Click(form, "cmdCancel");
    }));
    EXPECT_EQ(ReadIniString(file_, "ExampleAddon", "Edits"), "2");
    EXPECT_EQ(ReadIniString(file_, "ExampleAddon", "Language"), "1033");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("The settings of the add-on \"Add-on Test.Broken\" cannot be "
                                "edited: ActiveX component can't create object: Test.Broken"),
              std::string::npos)
        << messages_[0];
    EXPECT_EQ(ReadFile(file_ + ".calls"), "Recorder1|" + partDir_ + "|" + file_ + "|1033\n");
}

TEST_F(FormPartInfoTest, OnATouchScreenTheTextBoxesOpenTheKeyboard) {
    EXPECT_TRUE(Show(
        [&](FormPartInfo& form) {
            SetText(form, "txtSerialNum", "SN-");
            TypeOnTheKeyboard("7");
            TouchBox(form, "txtSerialNum");
            EXPECT_EQ(Find<QLineEdit>(form, "txtSerialNum")->text(), "SN-7");
            TouchBox(form, "txtLibName");  // not one of the four: no keyboard
            Click(form, "cmdOK");
        },
        true));
    EXPECT_EQ(ReadIniString(file_, "Part", "SerialNumber"), "SN-7");
}

TEST_F(FormPartInfoTest, BadPartsGiveAClearMessageAndChangeNothing) {
    PartInformation information;
    EXPECT_FALSE(information.ShowInformation(directory_.File("nowhere"), "", "", 1033, false));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("holds no part"), std::string::npos) << messages_[0];

    messages_.clear();
    const std::string binary("[Part]\0\x01\x02", 9);
    WriteFile(file_, binary);
    EXPECT_FALSE(Show([&](FormPartInfo& form) {
        SetText(form, "txtLibName", "LIB");
        Click(form, "cmdOK");  // refused: the file is not text
        EXPECT_TRUE(form.isVisible());
        Click(form, "cmdCancel");
    }));
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_NE(messages_[0].find("cannot be used: it is not a text file"), std::string::npos);
    EXPECT_EQ(messages_[1], messages_[0]);
    EXPECT_EQ(ReadFile(file_), binary);

    // Files that cannot be used show the defaults, as the message says; a pipe is not opened.
    const std::string text = std::string("[Part]\r\nLibraryName=LIB\r\n\0", 26);
    for (const bool pipe : {false, true}) {
        SCOPED_TRACE(pipe ? "a pipe" : "text with a NUL");
        messages_.clear();
        fs::remove(file_);
        if (pipe) {
            ASSERT_EQ(mkfifo(file_.c_str(), 0644), 0);
        } else {
            std::ofstream(file_, std::ios::binary) << text;
        }
        EXPECT_FALSE(Show([&](FormPartInfo& form) {
            EXPECT_EQ(Find<QLineEdit>(form, "txtLibName")->text(), "");
            Click(form, "cmdCancel");
        }));
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_NE(messages_[0].find(pipe ? "it is not a file" : "it is not a text file"),
                  std::string::npos)
            << messages_[0];
    }
    fs::remove(file_);
}

}  // namespace
}  // namespace vantreel::test
