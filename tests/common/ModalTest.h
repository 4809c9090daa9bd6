#pragma once

#include "touch/ModalDialogs.h"

#include <gtest/gtest.h>

namespace vantreel::test {

// A dialog test: every queued answer is used and no dialog is left waiting.
class ModalTest : public testing::Test {
  protected:
    void SetUp() override { ResetModalAnswers(); }
    void TearDown() override {
        EXPECT_EQ(PendingModalAnswers(), 0);
        EXPECT_EQ(UnansweredModalDialogs(), 0);
    }
};

}  // namespace vantreel::test
