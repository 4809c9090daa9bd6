#include "PartStation.h"

#include "common/ModalTest.h"

#include "partselect/FormPartSelect.h"
#include "partselect/FormSelectDrive.h"
#include "touch/ModalDialogs.h"
#include "vantreel/PartSelection.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

namespace vantreel::test {
namespace {

constexpr const char* kProgram = "$$ old part\nUNITS/MM\nGOHOME\nENDFIL\n";

// The dialogs driven through their controls, as an operator drives them; each
// showing is answered by a script queued before the host call.
class PartSelectionDialogTest : public WithModalAnswers<PartStation> {
  protected:
    void SetUp() override {
        WithModalAnswers::SetUp();
        ResetModalAnswers(3000);
        MakeFolder("Fixtures/Clamps");
        MakePart("BRACKET");
        MakePart("COVER");
        std::ofstream(root_ / "COVER" / "ModMain.bas") << "Sub Main()\r\n";
        std::ofstream(root_ / "COVER" / "ModSupport.bas") << "\r\n";
        // The development environment: a stand-in that builds nothing.
        const fs::path vb = directory_.Path() / "vb6";
        fs::create_directories(vb);
        std::ofstream(vb / "Vb6.exe") << "#!/bin/sh\nexit 0\n";
        fs::permissions(vb / "Vb6.exe", fs::perms::owner_all);
        RegEntry registry;
        registry.SetDefaultRoot("SOFTWARE\\Microsoft\\VisualStudio\\6.0\\Setup");
        registry.CreateKey("Microsoft Visual Basic");
        registry.SetString("ProductDir", vb.string());
    }
    static QTreeWidgetItem* Item(QWidget& dialog, const std::string& text) {
        auto* list = Find<QTreeWidget>(dialog, "lvMain");
        const auto found = list->findItems(QString::fromStdString(text), Qt::MatchExactly);
        EXPECT_EQ(found.size(), 1) << text;
        return found.isEmpty() ? nullptr : found.front();
    }
    static QPoint Centre(QWidget& dialog, QTreeWidgetItem* item) {
        return Find<QTreeWidget>(dialog, "lvMain")->visualItemRect(item).center();
    }
    static void Click(QWidget& dialog, const std::string& text) {
        QTreeWidgetItem* item = Item(dialog, text);
        ASSERT_NE(item, nullptr);
        QTest::mouseClick(Find<QTreeWidget>(dialog, "lvMain")->viewport(), Qt::LeftButton, {},
                          Centre(dialog, item));
    }
    static void DoubleClick(QWidget& dialog, const std::string& text) {
        QTreeWidgetItem* item = Item(dialog, text);
        ASSERT_NE(item, nullptr);
        // The events of a double click: press, release, double click, release.
        QWidget* viewport = Find<QTreeWidget>(dialog, "lvMain")->viewport();
        const QPoint centre = Centre(dialog, item);
        QTest::mousePress(viewport, Qt::LeftButton, {}, centre);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, centre);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre);
    }
    static void Press(QWidget& dialog, const char* button) {
        Find<QPushButton>(dialog, button)->click();
    }
    static void Tool(QWidget& dialog, const char* key) { Find<QAction>(dialog, key)->trigger(); }
    // What the control of that name shows: a toolbar button's tool-tip, a
    // label's or button's text; the window title for "".
    static std::string Caption(QWidget& form, const char* name) {
        if (*name == '\0') {
            return form.windowTitle().toStdString();
        }
        if (auto* action = form.findChild<QAction*>(name)) {
            return action->toolTip().toStdString();
        }
        if (auto* label = form.findChild<QLabel*>(name)) {
            return label->text().toStdString();
        }
        return Find<QAbstractButton>(form, name)->text().toStdString();
    }
    static std::vector<std::string> Texts(QWidget& dialog) {
        auto* list = Find<QTreeWidget>(dialog, "lvMain");
        std::vector<std::string> texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            texts.push_back(list->topLevelItem(i)->text(0).toStdString());
        }
        return texts;
    }
};

TEST_F(PartSelectionDialogTest, OpenAPart) {
    PartSelection selection;
    EXPECT_EQ(selection.Directory(), "");  // before any call
    QueueModalAnswer([](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Open a part");
        EXPECT_FALSE(Find<QPushButton>(dialog, "cmdOK")->isEnabled());
        EXPECT_TRUE(Find<QLineEdit>(dialog, "txtName")->isReadOnly());
        EXPECT_FALSE(Find<QAction>(dialog, "new")->isEnabled());
        EXPECT_FALSE(Find<QAction>(dialog, "selectdrive")->isEnabled());
        EXPECT_FALSE(Find<QAction>(dialog, "upone")->isEnabled());
        EXPECT_EQ(Find<QComboBox>(dialog, "cboStack")->currentText(), "Top level");
        EXPECT_EQ(Texts(dialog), (std::vector<std::string>{"Fixtures", "BRACKET", "COVER"}));
        Click(dialog, "BRACKET");
        EXPECT_EQ(Find<QLineEdit>(dialog, "txtName")->text(), "BRACKET");
        EXPECT_TRUE(Find<QPushButton>(dialog, "cmdOK")->isEnabled());
        Press(dialog, "cmdOK");
    });
    EXPECT_EQ(selection.PartOpen("Open a part"), Root() + "/BRACKET");
    EXPECT_EQ(selection.Name(), "BRACKET");
    EXPECT_EQ(selection.HostDirectory(), Root());

    // Double-click opens too; and a filter set before the call hides parts
    // without source, for this and later calls.
    selection.SetRequireSource(true);
    for (int call = 0; call < 2; ++call) {
        QueueModalAnswer([](QDialog& dialog) {
            EXPECT_EQ(Texts(dialog), (std::vector<std::string>{"Fixtures", "COVER"}));
            DoubleClick(dialog, "COVER");
        });
        EXPECT_EQ(selection.PartOpen("Open a part"), Root() + "/COVER");
    }
    EXPECT_TRUE(selection.RequireSource());
}

TEST_F(PartSelectionDialogTest, ControlsByNameAndStagingLists) {
    MakeFile("OLD.DMS");
    MakeFile("notes.txt");
    PartSelection selection;
    QueueModalAnswer([this](QDialog& dialog) {
        for (const char* name :
             {"lblLookin", "cboStack", "tbMain", "lvMain", "lvFolders", "lvParts", "lvFiles",
              "ilTree", "lblPartProg", "txtName", "cmdOK", "cmdCancel", "cmdHelp", "cmdReload"}) {
            EXPECT_NE(dialog.findChild<QWidget*>(name), nullptr) << name;
        }
        EXPECT_EQ(Find<QPushButton>(dialog, "cmdReload")->text(), "Reload");
        // Each staging list holds its group, keyed by kind and full path;
        // lvMain holds the three groups in that order.
        struct Group {
            const char* list;
            std::vector<std::string> keys;
        };
        const std::string root = Root();
        const Group groups[] = {
            {"lvFolders", {"F:" + root + "/Fixtures"}},
            {"lvParts", {"P:" + root + "/BRACKET", "P:" + root + "/COVER"}},
            {"lvFiles", {"D:" + root + "/OLD.DMS"}},
            {"lvMain",
             {"F:" + root + "/Fixtures", "P:" + root + "/BRACKET", "P:" + root + "/COVER",
              "D:" + root + "/OLD.DMS"}},
        };
        for (const Group& group : groups) {
            SCOPED_TRACE(group.list);
            auto* list = Find<QTreeWidget>(dialog, group.list);
            ASSERT_NE(list, nullptr);
            std::vector<std::string> keys;
            for (int i = 0; i < list->topLevelItemCount(); ++i) {
                keys.push_back(
                    list->topLevelItem(i)->data(0, Qt::UserRole).toString().toStdString());
            }
            EXPECT_EQ(keys, group.keys);
            EXPECT_EQ(list->isVisible(), group.list == std::string("lvMain"));
        }
        // The image list holds the pictures the list and the toolbar show.
        auto* images = Find<QListWidget>(dialog, "ilTree");
        ASSERT_NE(images, nullptr);
        for (const char* key :
             {"folderlist", "part", "dmis", "up", "new", "list", "details", "selectdrive"}) {
            const auto found = images->findItems(key, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << key;
            EXPECT_FALSE(found.front()->icon().isNull()) << key;
        }
        Press(dialog, "cmdCancel");
    });
    selection.PartOpen("Open");
}

TEST_F(PartSelectionDialogTest, CaptionsAndToolTipsInBothLanguages) {
    struct Case {
        const char* control;  // a widget's caption or a toolbar button's tool-tip
        const char* english;
        const char* german;
    };
    const Case cases[] = {
        {"lblLookin", "Look in", "Suchen in"},
        {"lblPartProg", "Part name", "Teilename"},
        {"cmdOK", "OK", "OK"},
        {"cmdCancel", "Cancel", "Abbrechen"},
        {"cmdHelp", "Help", "Hilfe"},
        {"upone", "Up One Level", "Eine Ebene nach oben"},
        {"new", "Create New Folder", "Neuen Ordner erstellen"},
        {"list", "List", "Liste"},
        {"details", "Details", "Details"},
        {"selectdrive", "Select Drive", "Laufwerk wählen"},
    };
    for (const int32_t language : {1033, 1031}) {
        int32_t chosen = language;
        SetLanguage(chosen);
        const bool german = language == 1031;
        for (const bool directoryMode : {false, true}) {
            PartSelectState state;
            state.DirectoryMode = directoryMode;
            state.Prompt = "Prompt";
            FormPartSelect form(state);
            ASSERT_TRUE(form.Load());
            EXPECT_EQ(form.windowTitle(), "Prompt");
            for (const Case& c : cases) {
                SCOPED_TRACE(std::string(c.control) + (german ? " de" : " en") +
                             (directoryMode ? " directory" : ""));
                std::string expected = german ? c.german : c.english;
                if (directoryMode && c.control == std::string("lblPartProg")) {
                    expected = german ? "Ordnername" : "Folder name";
                }
                EXPECT_EQ(Caption(form, c.control), expected);
            }
        }
    }
    int32_t english = 1033;
    SetLanguage(english);
}

TEST_F(PartSelectionDialogTest, KeyboardAlone) {
    PartSelection selection;
    QueueModalAnswer([](QDialog& dialog) {
        auto* list = Find<QTreeWidget>(dialog, "lvMain");
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Down);  // from Fixtures to BRACKET
        EXPECT_EQ(Find<QLineEdit>(dialog, "txtName")->text(), "BRACKET");
        QTest::keyClick(list, Qt::Key_Return);
    });
    EXPECT_EQ(selection.PartOpen("Open"), Root() + "/BRACKET");
    QueueModalAnswer([](QDialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
    EXPECT_EQ(selection.PartOpen("Open"), "");
}

TEST_F(PartSelectionDialogTest, CancelAfterAClickAndPathNavigation) {
    PartSelection selection;
    QueueModalAnswer([](QDialog& dialog) {
        Tool(dialog, "upone");  // at the root: nothing
        EXPECT_EQ(Texts(dialog).size(), 3u);
        DoubleClick(dialog, "Fixtures");
        DoubleClick(dialog, "Clamps");
        auto* stack = Find<QComboBox>(dialog, "cboStack");
        EXPECT_EQ(stack->count(), 3);
        EXPECT_EQ(stack->currentText(), "Clamps");
        EXPECT_TRUE(Find<QAction>(dialog, "upone")->isEnabled());
        stack->activated(0);  // the first line: the root in one step
        EXPECT_EQ(stack->count(), 1);
        EXPECT_EQ(Texts(dialog), (std::vector<std::string>{"Fixtures", "BRACKET", "COVER"}));
        Click(dialog, "COVER");
        Press(dialog, "cmdCancel");
    });
    EXPECT_EQ(selection.PartOpen("Open"), "");
    EXPECT_EQ(selection.Name(), "");
    EXPECT_EQ(selection.Directory(), "");
    EXPECT_EQ(selection.HostDirectory(), Root());
}

TEST_F(PartSelectionDialogTest, SaveAsNewNameAndIntoAFolder) {
    PartSelection selection;
    QueueModalAnswer([](QDialog& dialog) {
        auto* name = Find<QLineEdit>(dialog, "txtName");
        EXPECT_FALSE(name->isReadOnly());
        EXPECT_TRUE(Find<QAction>(dialog, "new")->isEnabled());
        QTest::keyClicks(name, "BRACKET");  // taken
        EXPECT_FALSE(Find<QPushButton>(dialog, "cmdOK")->isEnabled());
        QTest::keyClicks(name, "_2");
        EXPECT_TRUE(Find<QPushButton>(dialog, "cmdOK")->isEnabled());
        Press(dialog, "cmdOK");
    });
    EXPECT_EQ(selection.PartSaveAs("Save as"), Root() + "/BRACKET_2");
    EXPECT_EQ(selection.Name(), "BRACKET_2");

    QueueModalAnswer([](QDialog& dialog) {
        Click(dialog, "Fixtures");
        Press(dialog, "cmdOK");  // steps into the folder
        EXPECT_EQ(Texts(dialog), std::vector<std::string>{"Clamps"});
        QTest::keyClicks(Find<QLineEdit>(dialog, "txtName"), "HOLDER");
        Press(dialog, "cmdOK");
    });
    EXPECT_EQ(selection.PartSaveAs("Save as"), Root() + "/Fixtures/HOLDER");
    EXPECT_FALSE(fs::exists(root_ / "Fixtures" / "HOLDER"));  // the host makes the part
}

TEST_F(PartSelectionDialogTest, NewFolderKeepsItsLockAfterPartOpen) {
    PartSelection selection;
    QueueModalAnswer([](QDialog& dialog) { Press(dialog, "cmdCancel"); });
    selection.PartOpen("Open");
    QueueModalAnswer([](QDialog& dialog) {
        EXPECT_FALSE(Find<QAction>(dialog, "new")->isEnabled());
        Press(dialog, "cmdCancel");
    });
    EXPECT_EQ(selection.PartSaveAs("Save as"), "");
}

TEST_F(PartSelectionDialogTest, DirectoryModeResult) {
    PartSelection selection;
    QueueModalAnswer([](QDialog& dialog) {
        EXPECT_EQ(Texts(dialog), std::vector<std::string>{"Fixtures"});  // no parts
        EXPECT_TRUE(Find<QPushButton>(dialog, "cmdOK")->isEnabled());
        DoubleClick(dialog, "Fixtures");
        EXPECT_EQ(Find<QLineEdit>(dialog, "txtName")->text(), "");
        EXPECT_TRUE(Find<QPushButton>(dialog, "cmdOK")->isEnabled());
        Press(dialog, "cmdOK");
    });
    EXPECT_EQ(selection.PartDirectory("Choose"), Root() + "/Fixtures/");
}

TEST_F(PartSelectionDialogTest, ExportListGrowsByDoubleClicks) {
    PartSelection selection;
    QueueModalAnswer([](QDialog& dialog) {
        DoubleClick(dialog, "BRACKET");
        DoubleClick(dialog, "BRACKET");
        EXPECT_TRUE(dialog.isVisible());
        Press(dialog, "cmdCancel");
    });
    const auto first = selection.BuildExportList("Export");
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(*first, std::vector<std::string>{Root() + "/BRACKET"});
    QueueModalAnswer([](QDialog& dialog) {
        DoubleClick(dialog, "COVER");
        Press(dialog, "cmdOK");  // COVER was clicked last: OK closes
    });
    EXPECT_EQ(selection.BuildExportList("Export"),
              (std::vector<std::string>{Root() + "/BRACKET", Root() + "/COVER"}));
    // Export mode stays: a later PartOpen still collects instead of opening.
    QueueModalAnswer([](QDialog& dialog) {
        DoubleClick(dialog, "COVER");
        EXPECT_TRUE(dialog.isVisible());
        Press(dialog, "cmdCancel");
    });
    EXPECT_EQ(selection.PartOpen("Open"), "");
}

TEST_F(PartSelectionDialogTest, LegacyFileConvertedOnOk) {
    MakeFile("OLD.DMS", kProgram);
    MakeFile("BROKEN.DMI", "UNITS/MM\n");
    PartSelection selection;
    QueueModalAnswer([this](QDialog& dialog) {
        Click(dialog, "BROKEN.DMI");
        EXPECT_EQ(Find<QLineEdit>(dialog, "txtName")->text(), "BROKEN");
        Press(dialog, "cmdOK");
        EXPECT_TRUE(dialog.isVisible());  // the parse message was shown; still open
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_NE(messages_[0].text.find("ENDFIL"), std::string::npos);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        Click(dialog, "OLD.DMS");
        Press(dialog, "cmdOK");
    });
    EXPECT_EQ(selection.PartOpen("Open"), Root() + "/OLD");
    EXPECT_EQ(selection.Name(), "OLD");
    EXPECT_TRUE(fs::exists(root_ / "OLD" / "OLD.vbp"));
    EXPECT_TRUE(fs::exists(root_ / "OLD" / "ModMain.bas"));
    EXPECT_FALSE(fs::exists(root_ / "BROKEN"));
}

TEST_F(PartSelectionDialogTest, NewFolderAndRename) {
    MakeFolder("New Folder");
    MakeFolder("New Folder (2)");
    PartSelection selection;
    QueueModalAnswer([](QDialog& dialog) {
        Tool(dialog, "new");
        auto* list = Find<QTreeWidget>(dialog, "lvMain");
        ASSERT_NE(list->currentItem(), nullptr);
        EXPECT_EQ(list->currentItem()->text(0), "New Folder (3)");
        auto* editor = list->viewport()->findChild<QLineEdit*>();  // the label is being edited
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), "New Folder (3)");
        // The operator types the name; the list is rebuilt once the edit is over.
        list->currentItem()->setText(0, "Gauges");
        QApplication::processEvents();
        EXPECT_EQ(Texts(dialog), (std::vector<std::string>{"Fixtures", "Gauges", "New Folder",
                                                           "New Folder (2)", "BRACKET", "COVER"}));
        // A name taken already: the message, and the entry keeps its text.
        Item(dialog, "Gauges")->setText(0, "Fixtures");
        QApplication::processEvents();
        EXPECT_EQ(Item(dialog, "Gauges")->text(0), "Gauges");
        // Parts cannot be renamed.
        EXPECT_FALSE(Item(dialog, "BRACKET")->flags() & Qt::ItemIsEditable);
        Press(dialog, "cmdCancel");
    });
    selection.PartSaveAs("Save as");
    EXPECT_TRUE(fs::is_directory(root_ / "Gauges"));
    EXPECT_FALSE(fs::exists(root_ / "New Folder (3)"));
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text.rfind("The folder could not be renamed.  ", 0), 0u);
}

TEST_F(PartSelectionDialogTest, DetailsViewAndColumnSorting) {
    PartSelection selection;
    QueueModalAnswer([](QDialog& dialog) {
        auto* list = Find<QTreeWidget>(dialog, "lvMain");
        EXPECT_TRUE(list->isHeaderHidden());
        Tool(dialog, "details");
        EXPECT_FALSE(list->isHeaderHidden());
        EXPECT_EQ(list->headerItem()->text(0), "Name");
        EXPECT_EQ(list->headerItem()->text(1), "Project Date");
        EXPECT_FALSE(Item(dialog, "BRACKET")->text(1).isEmpty());
        EXPECT_TRUE(Item(dialog, "Fixtures")->text(1).isEmpty());
        list->header()->sectionClicked(0);
        EXPECT_EQ(Texts(dialog), (std::vector<std::string>{"Fixtures", "COVER", "BRACKET"}));
        list->header()->sectionClicked(0);
        EXPECT_EQ(Texts(dialog), (std::vector<std::string>{"BRACKET", "COVER", "Fixtures"}));
        Tool(dialog, "list");
        EXPECT_TRUE(list->isHeaderHidden());
        EXPECT_TRUE(Item(dialog, "BRACKET")->text(1).isEmpty());
        Press(dialog, "cmdCancel");
    });
    selection.PartOpen("Open");
}

TEST_F(PartSelectionDialogTest, DriveSelectionThroughTheToolbar) {
    Set("Common", "StartupApp", "Sobrel");
    Set("Sobrel\\User", "Administrator", "true");
    PartSelectState state;
    FormPartSelect form(state);
    const std::string drive = (root_ / "Fixtures").string();
    form.DriveDialog().SetDrives({{"/", ""}, {drive, "FIX"}});
    QueueModalAnswer([](QDialog& dialog) {
        EXPECT_TRUE(Find<QAction>(dialog, "selectdrive")->isEnabled());
        QueueModalAnswer([](QDialog& drives) {
            Find<QRadioButton>(drives, "optDrive1")->click();
            auto* list = Find<QComboBox>(drives, "drvSelect");
            EXPECT_TRUE(list->itemText(1).endsWith("[FIX]"));
            list->setCurrentIndex(1);
            list->activated(1);
            Press(drives, "cmdOK");
        });
        Tool(dialog, "selectdrive");
        EXPECT_EQ(Texts(dialog), std::vector<std::string>{"Clamps"});
        EXPECT_FALSE(Find<QAction>(dialog, "upone")->isEnabled());
        QueueModalAnswer([](QDialog& drives) { Press(drives, "cmdCancel"); });
        Tool(dialog, "selectdrive");  // cancelled: nothing changes
        EXPECT_EQ(Texts(dialog), std::vector<std::string>{"Clamps"});
        QueueModalAnswer([](QDialog& drives) { Press(drives, "cmdOK"); });
        Tool(dialog, "selectdrive");  // the repository
        EXPECT_EQ(Texts(dialog), (std::vector<std::string>{"Fixtures", "BRACKET", "COVER"}));
        Press(dialog, "cmdCancel");
    });
    form.ShowDialog();
    EXPECT_EQ(state.HostDirectory, Root());
}

TEST_F(PartSelectionDialogTest, DriveSelectionCaptions) {
    struct Case {
        const char* control;  // "" for the window title
        const char* english;
        const char* german;
    };
    const Case cases[] = {
        {"", "Select Drive", "Laufwerk wählen"},
        {"optDrive0", "Default part repository", "Standard-Teileablage"},
        {"optDrive1", "Root folder of a drive", "Stammordner eines Laufwerks"},
        {"lblSelectDrive", "Drive", "Laufwerk"},
        {"cmdOK", "OK", "OK"},
        {"cmdCancel", "Cancel", "Abbrechen"},
    };
    for (const int32_t language : {1033, 1031}) {
        int32_t chosen = language;
        SetLanguage(chosen);
        FormSelectDrive form;
        form.SetDrives({{"/", ""}});
        form.Load();
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.control) + " " + std::to_string(language));
            EXPECT_EQ(Caption(form, c.control), language == 1031 ? c.german : c.english);
        }
        // Loading chooses the repository: the drive list is disabled.
        EXPECT_TRUE(Find<QRadioButton>(form, "optDrive0")->isChecked());
        EXPECT_FALSE(Find<QLabel>(form, "lblSelectDrive")->isEnabled());
        EXPECT_FALSE(Find<QComboBox>(form, "drvSelect")->isEnabled());
    }
    int32_t english = 1033;
    SetLanguage(english);
}

TEST_F(PartSelectionDialogTest, DriveSelectionResults) {
    struct Case {
        const char* name;
        std::function<void(QDialog&)> answer;
        std::string result;
    };
    const Case cases[] = {
        {"OK untouched", [](QDialog& d) { Press(d, "cmdOK"); }, "*"},
        {"a drive",
         [](QDialog& d) {
             Find<QRadioButton>(d, "optDrive1")->click();
             EXPECT_TRUE(Find<QComboBox>(d, "drvSelect")->isEnabled());
             Press(d, "cmdOK");
         },
         "/"},
        {"another drive",
         [](QDialog& d) {
             Find<QRadioButton>(d, "optDrive1")->click();
             Find<QComboBox>(d, "drvSelect")->activated(1);
             Press(d, "cmdOK");
         },
         "/media/usb"},
        {"a drive, then the repository",
         [](QDialog& d) {
             Find<QRadioButton>(d, "optDrive1")->click();
             Find<QRadioButton>(d, "optDrive0")->click();
             EXPECT_FALSE(Find<QComboBox>(d, "drvSelect")->isEnabled());
             Press(d, "cmdOK");
         },
         "*"},
        {"cancelled",
         [](QDialog& d) {
             Find<QRadioButton>(d, "optDrive1")->click();
             Press(d, "cmdCancel");
         },
         ""},
        {"escape",
         [](QDialog& d) {
             Find<QRadioButton>(d, "optDrive1")->click();
             QTest::keyClick(&d, Qt::Key_Escape);
         },
         ""},
    };
    FormSelectDrive form;
    form.SetDrives({{"/", ""}, {"/media/usb", "USB"}});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QueueModalAnswer(c.answer);
        EXPECT_EQ(form.SelectDrive(), c.result);
        EXPECT_EQ(Find<QComboBox>(form, "drvSelect")->itemText(1), "/media/usb  [USB]");
    }
}

}  // namespace
}  // namespace vantreel::test
