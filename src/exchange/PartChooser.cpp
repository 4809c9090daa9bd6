#include "exchange/PartChooser.h"

#include "vantreel/PartSelection.h"

namespace vantreel {

// The part selection dialog answers both questions; a fresh one each time, as
// each export or import call makes its dialogs anew.
std::string ChoosePartToOpen(QWidget*, int32_t, const std::string& prompt) {
    PartSelection selection;
    return selection.PartOpen(prompt);
}

std::string ChooseTargetDirectory(QWidget*, int32_t, const std::string& prompt) {
    PartSelection selection;
    return selection.PartDirectory(prompt);
}

}  // namespace vantreel
