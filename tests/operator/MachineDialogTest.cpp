#include "vantreel/MachineSelection.h"

#include "shared/RegEntry.h"
#include "shared/Resources.h"

#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

#include "OperatorDialogTest.h"

namespace vantreel::test {
namespace {

class MachineDialogTest : public OperatorDialogTest {
  protected:
    void SetUp() override {
        OperatorDialogTest::SetUp();
        // Listed in key order, not sorted by name.
        Set("Machines\\CMM1", "Name", "Zeta");
        Set("Machines\\CMM2", "Name", "Alpha");
        RegEntry().CreateKey("Machines\\Spare");  // no Name
        Set("StandardMachines\\Bridge", "Name", "Bridge 10.7.6");
        Set("StandardMachines\\Gantry", "Name", "Gantry 20.30.15");
    }

    static QListWidget* List(QDialog& dialog) { return Find<QListWidget>(dialog, "lstMachines"); }
    static QStringList Entries(QDialog& dialog) {
        QStringList entries;
        for (int i = 0; i < List(dialog)->count(); ++i) {
            entries << List(dialog)->item(i)->text();
        }
        return entries;
    }
};

TEST_F(MachineDialogTest, ListsTitlesAndChoices) {
    using Act = std::function<void(QDialog&)>;
    const Act chooseSecond = [](QDialog& dialog) {
        List(dialog)->setCurrentRow(1);
        Click(dialog, "cmdOK");
    };
    const Act doubleClickFirst = [](QDialog& dialog) {
        QListWidget* list = List(dialog);
        const QRect item = list->visualItemRect(list->item(0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, item.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, item.center());
    };
    const Act chooseNameless = [](QDialog& dialog) {
        List(dialog)->setCurrentRow(2);
        Click(dialog, "cmdOK");
    };
    struct Case {
        const char* name;
        bool newMachine;
        int32_t language;
        QStringList entries;
        const char* title;
        Act act;
        const char* result;
    };
    const Case cases[] = {
        {"configured, second",
         false,
         1033,
         {"Zeta", "Alpha", ""},
         "Select Machine",
         chooseSecond,
         "Machines\\CMM2"},
        {"standard, double-click",
         true,
         1033,
         {"Bridge 10.7.6", "Gantry 20.30.15"},
         "Select Standard Machine",
         doubleClickFirst,
         "StandardMachines\\Bridge"},
        {"a machine without a name",
         false,
         1033,
         {"Zeta", "Alpha", ""},
         "Select Machine",
         chooseNameless,
         "Machines\\Spare"},
        {"German",
         false,
         1031,
         {"Zeta", "Alpha", ""},
         "Maschine ausw\xc3\xa4hlen",
         chooseSecond,
         "Machines\\CMM2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QueueModalAnswer([&c](QDialog& dialog) {
            EXPECT_EQ(dialog.windowTitle().toStdString(), c.title);
            EXPECT_EQ(Entries(dialog), c.entries);
            EXPECT_FALSE(Find<QPushButton>(dialog, "cmdOK")->isEnabled());  // nothing chosen yet
            c.act(dialog);
        });
        MachineSelection selection;
        selection.SetNewMachine(c.newMachine);
        selection.SetMachines("ignored");
        EXPECT_EQ(selection.SelectMachine(c.language), c.result);
    }
    int32_t english = 1033;
    SetLanguage(english);
}

TEST_F(MachineDialogTest, OkWantsASelectionAndCancelKeepsTheEarlierChoice) {
    MachineSelection selection;
    QueueModalAnswer([](QDialog& dialog) {
        auto* ok = Find<QPushButton>(dialog, "cmdOK");
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());  // no selection: OK does nothing
        List(dialog)->setCurrentRow(0);
        EXPECT_TRUE(ok->isEnabled());
        List(dialog)->clearSelection();
        EXPECT_FALSE(ok->isEnabled());
        Click(dialog, "cmdCancel");
    });
    EXPECT_EQ(selection.SelectMachine(1033), "");  // Cancel on a new object

    QueueModalAnswer([](QDialog& dialog) {
        List(dialog)->setCurrentRow(0);
        Click(dialog, "cmdOK");
    });
    EXPECT_EQ(selection.SelectMachine(1033), "Machines\\CMM1");

    QueueModalAnswer([](QDialog& dialog) {
        EXPECT_EQ(List(dialog)->count(), 3);  // a fresh list, not a longer one
        List(dialog)->setCurrentRow(1);
        Click(dialog, "cmdCancel");
    });
    EXPECT_EQ(selection.SelectMachine(1033), "Machines\\CMM1");
}

TEST_F(MachineDialogTest, AMissingKeyGivesAnEmptyResult) {
    MachineSelection selection;
    QueueModalAnswer([](QDialog& dialog) {
        List(dialog)->setCurrentRow(1);
        Click(dialog, "cmdOK");
    });
    EXPECT_EQ(selection.SelectMachine(1033), "Machines\\CMM2");
    RegEntry registry;
    registry.OpenKey("");
    registry.DeleteKey("Machines");
    EXPECT_EQ(selection.SelectMachine(1033), "");  // error 5001 while loading: no dialog
}

}  // namespace
}  // namespace vantreel::test
