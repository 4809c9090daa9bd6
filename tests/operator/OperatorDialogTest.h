#pragma once

#include "touch/ModalDialogs.h"

#include <QDialog>
#include <QPushButton>

#include <gtest/gtest.h>

#include "common/TestRegistry.h"

namespace vantreel::test {

// A dialog test with a registry of its own: every queued answer is used and
// no dialog is left waiting.
class OperatorDialogTest : public RegistryTest {
  protected:
    void SetUp() override {
        RegistryTest::SetUp();
        ResetModalAnswers();
    }
    void TearDown() override {
        EXPECT_EQ(PendingModalAnswers(), 0);
        EXPECT_EQ(UnansweredModalDialogs(), 0);
        RegistryTest::TearDown();
    }

    template <class Widget>
    static Widget* Find(QDialog& dialog, const char* name) {
        Widget* widget = dialog.findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    static void Click(QDialog& dialog, const char* name) {
        if (QPushButton* button = Find<QPushButton>(dialog, name)) {
            button->click();
        }
    }
};

}  // namespace vantreel::test
