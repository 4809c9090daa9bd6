#pragma once

#include "common/ModalTest.h"

#include <QDialog>
#include <QPushButton>
#include "common/TestRegistry.h"

namespace vantreel::test {

// A dialog test with a registry of its own.
using OperatorDialogTest = WithModalAnswers<RegistryTest>;

}  // namespace vantreel::test
