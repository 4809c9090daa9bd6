#pragma once

#include "touch/ModalDialogs.h"

#include <QAbstractButton>
#include <QWidget>

#include <gtest/gtest.h>

namespace vantreel::test {

// A dialog test on any fixture: every queued answer is used and no dialog is
// left waiting.
template <class Base = testing::Test>
class WithModalAnswers : public Base {
  protected:
    void SetUp() override {
        Base::SetUp();
        ResetModalAnswers();
    }
    void TearDown() override {
        EXPECT_EQ(PendingModalAnswers(), 0);
        EXPECT_EQ(UnansweredModalDialogs(), 0);
        Base::TearDown();
    }
};

using ModalTest = WithModalAnswers<>;

// The dialog's control of that objectName; a failure when there is none.
template <class T = QWidget>
T* Find(QWidget& dialog, const char* name) {
    T* control = dialog.findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
}

// Clicks the dialog's button of that objectName.
inline void Click(QWidget& dialog, const char* name) {
    if (auto* button = Find<QAbstractButton>(dialog, name)) {
        button->click();
    }
}

}  // namespace vantreel::test
