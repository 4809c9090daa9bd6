#include "common/ModalTest.h"
#include "components/ComponentFactory.h"
#include "exchange/FormExport.h"
#include "exchange/FormExportOptions.h"
#include "exchange/FormImport.h"
#include "exchange/LegacyImport.h"
#include "exchange/PartFixture.h"
#include "shared/MessageBox.h"
#include "shared/Resources.h"
#include "vantreel/Export.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

namespace vantreel::test {
namespace {

QStringList Items(QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i) {
        items << list->item(i)->text();
    }
    return items;
}

// The part selection dialog: pick the entry named name and press OK.
void PickInPartSelection(QDialog& dialog, const QString& name) {
    auto* list = Find<QTreeWidget>(dialog, "lvMain");
    const QList<QTreeWidgetItem*> found = list->findItems(name, Qt::MatchExactly, 0);
    ASSERT_EQ(found.size(), 1) << name.toStdString();
    list->setCurrentItem(found[0]);
    emit list->itemClicked(found[0], 0);
    Click(dialog, "cmdOK");
}

void ChooseFile(QDialog& dialog, const std::string& path) {
    auto& files = dynamic_cast<QFileDialog&>(dialog);
    files.selectFile(QString::fromStdString(path));
    static_cast<QDialog&>(files).accept();  // QFileDialog::accept, reached through QDialog
}

class ExchangeDialogTest : public WithModalAnswers<PartsTest> {
  protected:
    void SetUp() override {
        WithModalAnswers::SetUp();
        Set("Users", "LastUser", "");  // the part selection reads the station's users
        previous_ = SetMessageBoxHandler(
            [this](const std::string& text, int32_t, const std::string& title) {
                messages_.push_back(text + " | " + title);
                return static_cast<int32_t>(vbOK);
            });
        previousStarter_ = SetProgramStarter([](const std::string&) {});
    }
    void TearDown() override {
        SetMessageBoxHandler(previous_);
        SetProgramStarter(previousStarter_);
        WithModalAnswers::TearDown();
    }

    std::vector<std::string> messages_;
    MessageBoxHandler previous_;
    ProgramStarter previousStarter_;
};

TEST_F(ExchangeDialogTest, ExportWithFirstPartWritesTheExportFile) {
    const fs::path a = MakePart("A");
    const std::string file = (outside_ / "a.zip").string();
    QueueModalAnswer([&](QDialog& d) {
        EXPECT_EQ(d.objectName(), "FormExportOptions");
        EXPECT_EQ(d.windowTitle().toStdString(), GetResString(125025));
        EXPECT_EQ(Items(Find<QListWidget>(d, "lstParts")), QStringList{"A"});
        EXPECT_TRUE(Find(d, "cmdOK")->isEnabled());
        EXPECT_FALSE(Find(d, "cmdFiles")->isEnabled());
        Find<QCheckBox>(d, "chkLegacy")->click();
        for (const char* box : {"chkFix", "chkSource", "chkExe"}) {
            EXPECT_FALSE(Find(d, box)->isEnabled()) << box;
        }
        Find<QCheckBox>(d, "chkLegacy")->click();
        EXPECT_TRUE(Find(d, "chkFix")->isEnabled());
        Find<QCheckBox>(d, "chkFix")->setChecked(true);
        Find<QCheckBox>(d, "chkExe")->setChecked(false);
        Click(d, "cmdOK");
    });
    QueueModalAnswer([&](QDialog& d) {
        EXPECT_EQ(d.objectName(), "FormExport");
        auto* ok = Find(d, "cmdOK");
        EXPECT_FALSE(ok->isEnabled());
        Find<QLineEdit>(d, "txtExportPath")->setText(QString::fromStdString(file));
        Find<QLineEdit>(d, "txtTitle")->setText("Line 3");
        EXPECT_FALSE(ok->isEnabled());  // no user yet
        Find<QLineEdit>(d, "txtUser")->setText("anna");
        EXPECT_TRUE(ok->isEnabled());
        Find<QPlainTextEdit>(d, "txtComments")->setPlainText("for the night shift");
        Click(d, "cmdOK");
    });
    Export exporter;
    EXPECT_TRUE(exporter.ExportParts(1033, a.string()));
    std::string title, user, date, comments;
    std::vector<std::string> names;
    ASSERT_TRUE(CreatePartExport()->BrowseProjects(file, title, user, date, comments, names));
    EXPECT_EQ(std::tie(title, user, comments), std::tie("Line 3", "anna", "for the night shift"));
    EXPECT_EQ(names, std::vector<std::string>{"A"});
    EXPECT_TRUE(messages_.empty());
}

TEST_F(ExchangeDialogTest, ExportPathThatCannotBeCreatedKeepsTheDialogOpen) {
    const fs::path a = MakePart("A");
    QueueModalAnswer([](QDialog& d) { Click(d, "cmdOK"); });
    QueueModalAnswer([&](QDialog& d) {
        Find<QLineEdit>(d, "txtExportPath")
            ->setText(QString::fromStdString((outside_ / "no" / "a.zip").string()));
        Find<QLineEdit>(d, "txtTitle")->setText("t");
        Find<QLineEdit>(d, "txtUser")->setText("u");
        Click(d, "cmdOK");
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0], GetResString(125104) + " | " + GetResString(110089));
        Click(d, "cmdCancel");
    });
    Export exporter;
    EXPECT_FALSE(exporter.ExportParts(1033, a.string()));
    EXPECT_FALSE(fs::exists(outside_ / "no"));
}

TEST_F(ExchangeDialogTest, BrowsingToAnExistingExportFileAsksNothing) {
    const fs::path old = outside_ / "old.zip";
    WriteFile(old, "old contents");
    FormExport form;
    form.Load(1033);
    QueueModalAnswer([&](QDialog& d) {
        auto& files = dynamic_cast<QFileDialog&>(d);
        EXPECT_EQ(files.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(files.windowTitle().toStdString(), GetResString(125023));
        // Qt's own overwrite question would bypass the library's message box.
        ASSERT_TRUE(files.testOption(QFileDialog::DontConfirmOverwrite));
        ChooseFile(d, old.string());
    });
    Click(form, "cmdBrowse");
    EXPECT_EQ(Find<QLineEdit>(form, "txtExportPath")->text().toStdString(), old.string());
    EXPECT_EQ(ReadFile(old), "old contents");  // only OK empties it
}

TEST_F(ExchangeDialogTest, LegacyExportAsksForTheTargetFolder) {
    const fs::path a = MakePart("A");
    const fs::path target = directory_.Path() / "legacy";
    fs::create_directories(target);
    QueueModalAnswer([](QDialog& d) {
        Find<QCheckBox>(d, "chkLegacy")->click();
        Click(d, "cmdOK");
    });
    QueueModalAnswer([&](QDialog& d) {
        ASSERT_EQ(d.objectName(), "FormExportPart");
        EXPECT_EQ(Find<QLabel>(d, "lblExportPart")->text().toStdString(),
                  "Legacy export of part A");
        EXPECT_GT(Find<QComboBox>(d, "Drive1")->count(), 0);
        auto& form = dynamic_cast<FormExportPart&>(d);
        form.SetDirectory(QString::fromStdString((target / "missing").string()));
        Click(d, "cmdOK");
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_NE(messages_[0].find("does not exist"), std::string::npos);
        form.SetDirectory(QString::fromStdString(target.string()));
        // Dir1 lists the path down to the folder, then its sub-folders.
        EXPECT_EQ(Find<QListWidget>(d, "Dir1")->currentItem()->text().trimmed(), "legacy");
        Click(d, "cmdOK");
    });
    Export exporter;
    EXPECT_TRUE(exporter.ExportParts(1033, a.string()));
    EXPECT_TRUE(fs::exists(target / "A" / "A.lst"));
    EXPECT_EQ(ReadFile(target / "A" / "ModMain.bas"), ReadFile(a / "ModMain.bas"));
}

TEST_F(ExchangeDialogTest, PartsAddedRemovedAndGivenExtraFiles) {
    const fs::path a = MakePart("A");
    MakePart("B");
    WriteFile(outside_ / "drawing.pdf", "pdf");
    FormExportOptions form;
    QueueModalAnswer([&](QDialog& d) {
        auto* list = Find<QListWidget>(d, "lstParts");
        EXPECT_FALSE(Find(d, "cmdOK")->isEnabled());
        QueueModalAnswer([](QDialog& select) { PickInPartSelection(select, "B"); });
        Click(d, "cmdAdd");
        QueueModalAnswer([](QDialog& select) { PickInPartSelection(select, "B"); });
        Click(d, "cmdAdd");  // listed already
        EXPECT_EQ(Items(list), QStringList{"B"});
        EXPECT_TRUE(Find(d, "cmdOK")->isEnabled());
        list->setCurrentRow(0);
        EXPECT_TRUE(Find(d, "cmdFiles")->isEnabled());
        QueueModalAnswer([&](QDialog& files) {
            EXPECT_EQ(files.objectName(), "FormAdditionalFiles");
            QueueModalAnswer(
                [&](QDialog& open) { ChooseFile(open, (outside_ / "drawing.pdf").string()); });
            Click(files, "cmdAdd");
            QueueModalAnswer(
                [&](QDialog& open) { ChooseFile(open, (outside_ / "drawing.pdf").string()); });
            Click(files, "cmdAdd");  // the same file again: listed once
            EXPECT_EQ(Items(Find<QListWidget>(files, "lstFiles")),
                      QStringList{QString::fromStdString((outside_ / "drawing.pdf").string())});
            Click(files, "cmdClose");
        });
        Click(d, "cmdFiles");
        Click(d, "cmdRemove");
        EXPECT_TRUE(Items(list).isEmpty());
        EXPECT_FALSE(Find(d, "cmdOK")->isEnabled());
        Click(d, "cmdCancel");
    });
    EXPECT_FALSE(form.GetOptions(1033));
    auto b = Open(root_ / "B");
    ASSERT_EQ(b->AdditionalFilesCount(), 1);  // changes reach the part at once
    EXPECT_EQ(b->AdditionalFiles(1), (outside_ / "drawing.pdf").string());
    (void)a;
}

TEST_F(ExchangeDialogTest, ImportTheSelectedPartsOfAnExportFile) {
    auto a = Open(MakePart("A", outside_));
    auto b = Open(MakePart("B", outside_));
    const std::string file = (outside_ / "ab.zip").string();
    CreatePartExport()->ExportProjects(file, "T", "U", "C", {a.get(), b.get()}, true, true, true);
    const fs::path target = directory_.Path() / "target";
    fs::create_directories(target);
    QueueModalAnswer([&](QDialog& d) {
        EXPECT_EQ(d.objectName(), "FormImport");
        EXPECT_FALSE(Find(d, "cmdOK")->isEnabled());
        Find<QLineEdit>(d, "txtSource")->setText(QString::fromStdString(file));
        EXPECT_EQ(Find<QLineEdit>(d, "txtTitle")->text(), "T");
        EXPECT_EQ(Find<QLineEdit>(d, "txtUser")->text(), "U");
        EXPECT_EQ(Find<QLineEdit>(d, "txtComments")->text(), "C");
        EXPECT_FALSE(Find<QLineEdit>(d, "txtDate")->text().isEmpty());
        auto* list = Find<QListWidget>(d, "lstParts");
        EXPECT_EQ(Items(list), (QStringList{"A", "B"}));
        EXPECT_EQ(list->selectedItems().size(), 2);
        list->item(0)->setSelected(false);
        Find<QCheckBox>(d, "chkTemplate")->setChecked(true);
        Click(d, "cmdOK");
    });
    Export exporter;
    EXPECT_TRUE(exporter.Import(1033, target.string()));
    EXPECT_FALSE(fs::exists(target / "A"));
    EXPECT_TRUE(fs::exists(target / "B" / "B.vbp"));
    EXPECT_FALSE(fs::exists(target / "B" / "B.exe"));  // a template
}

TEST_F(ExchangeDialogTest, ImportALegacyListAndRefuseOtherFiles) {
    const fs::path source = outside_ / "GEAR";
    WriteFile(source / "GEAR.vbp", "Type=Exe\r\n");
    WriteFile(source / "GEAR.lst", "GEAR\r\nVISUALBASIC\r\nD:GEAR.vbp\r\n");
    WriteFile(outside_ / "other.txt", "nothing of ours");
    const fs::path target = directory_.Path() / "target";
    fs::create_directories(target);
    QueueModalAnswer([&](QDialog& d) {
        auto* source = Find<QLineEdit>(d, "txtSource");
        source->setText(QString::fromStdString((outside_ / "other.txt").string()));
        EXPECT_FALSE(Find(d, "cmdOK")->isEnabled());
        EXPECT_TRUE(Find<QLineEdit>(d, "txtTitle")->text().isEmpty());
        source->setText(QString::fromStdString((outside_ / "GEAR" / "GEAR.lst").string()));
        EXPECT_EQ(Find<QLineEdit>(d, "txtTitle")->text(), "Legacy export of part GEAR");
        EXPECT_TRUE(Find(d, "cmdOK")->isEnabled());
        Click(d, "cmdOK");
    });
    Export exporter;
    EXPECT_TRUE(exporter.Import(1033, target.string()));
    EXPECT_EQ(ReadFile(target / "GEAR" / "GEAR.vbp"), "Type=Exe\r\n");
}

// Import hands a legacy list to ImportLegacy, which reports its own refusals
// and errors: the import itself was carried out either way.
TEST_F(ExchangeDialogTest, ImportOfALegacyListEndsInImportLegacy) {
    MakePart("TAKEN");
    const fs::path target = directory_.Path() / "target";
    fs::create_directories(target);
    struct Case {
        std::string name, list, message;
    };
    const Case cases[] = {
        {"TAKEN", "TAKEN\r\nVisualBasic\r\nD:TAKEN.vbp\r\n", "already contains a part"},
        {"LOST", "LOST\r\nVisualBasic\r\nD:LOST.vbp\r\nD:missing.bas\r\n", "missing.bas"},
    };
    for (const Case& c : cases) {
        WriteFile(outside_ / c.name / (c.name + ".vbp"), "Type=Exe\r\n");
        WriteFile(outside_ / c.name / (c.name + ".lst"), c.list);
        messages_.clear();
        QueueModalAnswer([&](QDialog& d) {
            Find<QLineEdit>(d, "txtSource")
                ->setText(QString::fromStdString((outside_ / c.name / (c.name + ".lst")).string()));
            Click(d, "cmdOK");
        });
        Export exporter;
        EXPECT_TRUE(exporter.Import(1033, target.string())) << c.name;
        ASSERT_EQ(messages_.size(), 1u) << c.name;
        EXPECT_NE(messages_[0].find(c.message), std::string::npos) << messages_[0];
        EXPECT_TRUE(fs::is_empty(target)) << c.name;
    }
}

TEST_F(ExchangeDialogTest, ImportWithoutTargetFolderIsCancelled) {
    WriteFile(outside_ / "GEAR" / "GEAR.lst", "GEAR\r\nVisualBasic\r\n");
    QueueModalAnswer([&](QDialog& d) {
        Find<QLineEdit>(d, "txtSource")
            ->setText(QString::fromStdString((outside_ / "GEAR" / "GEAR.lst").string()));
        Click(d, "cmdOK");
    });
    QueueModalAnswer([](QDialog& d) {
        EXPECT_EQ(d.objectName(), "FormPartSelect");
        Click(d, "cmdCancel");
    });
    Export exporter;
    EXPECT_FALSE(exporter.Import(1033));
    QueueModalAnswer([](QDialog& d) { Click(d, "cmdCancel"); });
    EXPECT_FALSE(exporter.Import(1033, outside_.string()));
}

TEST_F(ExchangeDialogTest, GermanTexts) {
    FormImport form;
    form.Load(1031);
    InitResources();
    int32_t german = 1031;
    SetLanguage(german);
    EXPECT_EQ(form.windowTitle().toStdString(), GetResString(125032));
    EXPECT_EQ(form.findChild<QCheckBox*>("chkTemplate")->text().toStdString(),
              GetResString(125037));
    EXPECT_NE(GetResString(125032), "Import Parts");
    int32_t english = 1033;
    SetLanguage(english);
}

// The refusals themselves are ExchangeLogicTest's; a missing list is reported too.
TEST_F(ExchangeDialogTest, ImportLegacyReportsAMissingList) {
    Export exporter;
    exporter.ImportLegacy((outside_ / "none.lst").string(), directory_.Path().string(), false);
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].find("none.lst"), std::string::npos);
}

}  // namespace
}  // namespace vantreel::test
