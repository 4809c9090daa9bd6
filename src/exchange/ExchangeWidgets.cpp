#include "exchange/ExchangeWidgets.h"

#include "shared/Resources.h"
#include "touch/FormHelpers.h"
#include "touch/ModalDialogs.h"

#include <QFileDialog>
#include <QPushButton>
#include <QStringList>

namespace vantreel {

QString ResText(int32_t id) {
    return QString::fromStdString(GetResString(id));
}

QPushButton* MakeButton(QWidget* parent, const char* name) {
    auto* button = new QPushButton(parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    button->setMinimumWidth(100);
    return button;
}

QString QtFileFilter(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString& name = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(';', ' ');
        filters << (name.contains('(') ? name : name + " (" + patterns + ")");
    }
    return filters.join(";;");
}

std::string AskFileName(QWidget* parent, bool save, int32_t titleId, int32_t filterId,
                        const std::string& startDirectory) {
    QFileDialog dialog(parent, ResText(titleId), QString::fromStdString(startDirectory),
                       QtFileFilter(GetResString(filterId)));
    dialog.setObjectName("dlgFile");
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // An existing export file is emptied by the path test at OK; Qt's own
    // overwrite question would bypass the library's message box.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (ShowModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front().toStdString();
}

void LoadExchangeForm(QWidget* form, int32_t& language) {
    ApplySystemFont(form);
    InitResources();
    SetLanguage(language);
    SetHelpFile(language, kHelpBaseName);
}

}  // namespace vantreel
