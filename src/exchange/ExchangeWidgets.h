#pragma once

#include <QString>

#include <cstdint>
#include <string>

class QPushButton;
class QWidget;

namespace vantreel {

// What the export and import dialogs share.

// String resource id in the current language.
QString ResText(int32_t id);

// A button of the dialogs, named by its control name: Enter never presses it
// by default, and it is wide enough for the longest caption of the two languages.
QPushButton* MakeButton(QWidget* parent, const char* name);

// Gives a new control its control name and hands it back.
template <class T>
T* Named(T* widget, const char* name) {
    widget->setObjectName(name);
    return widget;
}

// A file dialog shown modally (through ShowModal, so tests can answer it):
// the title and filter from string resources, the filter written as
// "Name (*.zip)|*.zip|All (*)|*". "" when nothing was chosen.
std::string AskFileName(QWidget* parent, bool save, int32_t titleId, int32_t filterId,
                        const std::string& startDirectory);

// "Name (*.zip)|*.zip|All (*)|*" as a Qt name filter list.
QString QtFileFilter(const std::string& filter);

// Applies the system font, sets the language and the help file: what every
// dialog of the exchange does when it loads.
void LoadExchangeForm(QWidget* form, int32_t& language);

}  // namespace vantreel
