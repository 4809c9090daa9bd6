#pragma once

#include <cstdint>
#include <string>

class QWidget;

namespace vantreel {

// The two questions the exchange dialogs ask of the part selection: which part
// to export, and which folder to import into. "" when the operator cancels.
std::string ChoosePartToOpen(QWidget* parent, int32_t language, const std::string& prompt);
std::string ChooseTargetDirectory(QWidget* parent, int32_t language, const std::string& prompt);

}  // namespace vantreel
