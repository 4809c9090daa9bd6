#include "exchange/PartChooser.h"

#include "shared/Configuration.h"
#include "touch/ModalDialogs.h"
#include "vantreel/Error.h"

#include <QDir>
#include <QFileDialog>

namespace vantreel {
namespace {

// A folder chooser starting at the repository root.
std::string ChooseFolder(QWidget* parent, const std::string& prompt) {
    QString start = QDir::homePath();
    try {
        start = QString::fromStdString(GetRepositoryRoot(""));
    } catch (const Error&) {
        // No repository configured: start at home.
    }
    QFileDialog dialog(parent, QString::fromStdString(prompt), start);
    dialog.setObjectName("dlgFolder");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (ShowModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace

std::string ChoosePartToOpen(QWidget* parent, int32_t, const std::string& prompt) {
    return ChooseFolder(parent, prompt);
}

std::string ChooseTargetDirectory(QWidget* parent, int32_t, const std::string& prompt) {
    return ChooseFolder(parent, prompt);
}

}  // namespace vantreel
