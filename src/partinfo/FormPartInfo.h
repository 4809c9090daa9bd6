#pragma once

#include "partinfo/PartInfoRules.h"
#include "touch/ScreenRes.h"

#include <QDialog>
#include <QPointer>
#include <QSize>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabBar;

namespace vantreel {

class PartInfoSession;

// The part information dialog: a part's run settings on six tabs (general,
// report, log, CSV output, database labels, add-ons). It shows the settings
// of a session, keeps PartInfoControls in step with its widgets, applies the
// rules of PartInfoRules and saves through the session. Every control is
// named as in the design (cmdOK, txtCSVFile, picGeneral0 ... picGeneral5,
// lblDBLabel0 / txtDBValue0 ... 9).
class FormPartInfo : public QDialog {
    Q_OBJECT
  public:
    explicit FormPartInfo(QWidget* parent = nullptr);

    // Loads the dialog for an opened and loaded session: touch scaling,
    // captions, the settings in their controls, write protection.
    void Load(PartInfoSession& session, int32_t language, bool touchScreen);

    // True only after OK with a successful save.
    bool Result() const noexcept { return result_; }
    // The selected tab, from 1.
    int CurrentTab() const;
    // Selects a tab (from 1) as a click on it does, refusal included.
    void SelectTab(int tab);
    const PartInfoControls& Controls() const noexcept { return controls_; }
    const ScreenRes& Metrics() const noexcept { return metrics_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Build();
    void Caption();
    void ShowControls();
    void ApplyEnabling();
    void ReadWidgets();
    bool ValidateAndSave();
    void ShowMessage(const PartInfoMessage& message);
    void TabChanged(int index);
    void WriteProtectClicked();
    void PropertiesClicked();
    // The selected entry of lstAddons; -1 when none is selected.
    int SelectedAddon() const;
    void ApplyTouchScaling();
    void OpenKeyboard(QLineEdit* box);
    int Pixels(int twips) const;

    PartInfoSession* session_ = nullptr;
    PartInfoControls controls_;
    ScreenRes metrics_;
    int32_t language_ = 0;
    bool touchScreen_ = false;
    bool administrator_ = false;  // read when the dialog loads
    bool result_ = false;
    bool updating_ = false;  // widgets being filled: no change handling
    int shownTab_ = 0;
    // Every control's font size and minimum size before any touch scaling.
    struct DesktopSize {
        QPointer<QWidget> widget;
        int pointSize;
        QSize minimum;
    };
    std::vector<DesktopSize> desktopSizes_;

    QTabBar* tabPartProgram_;
    QStackedWidget* panels_;
    std::array<QWidget*, 6> picGeneral_{};
    std::vector<std::pair<QWidget*, int32_t>> captions_;  // widget, string ID

    QLabel* lblPartName_;
    QCheckBox* chkWriteProtected_;
    QLineEdit* txtLibName_;
    QLineEdit* txtSerialNum_;
    QCheckBox* chkPartialRun_;
    QComboBox* cboSkipFiles_;
    QRadioButton* OptRptNormal_;
    QRadioButton* OptRptPart_;
    QRadioButton* OptRptFeature_;
    QLineEdit* txtRptFileName_;
    QRadioButton* optPrtNone_;
    QRadioButton* optPrtContinuous_;
    QRadioButton* optPrtProgram_;
    QCheckBox* chkGraphics_;
    QComboBox* cboCurrentPrinter_;
    QRadioButton* optLogNone_;
    QRadioButton* optLogNormal_;
    QRadioButton* optLogPart_;
    QRadioButton* optLogFull_;
    QRadioButton* optLogPartial_;
    QLineEdit* txtLogFileName_;
    QRadioButton* optCSVNone_;
    QRadioButton* optCSVNormal_;
    QLineEdit* txtCSVRecord_;
    QLineEdit* txtCSVFile_;
    std::array<QLabel*, kDatabaseLabels> lblDBLabel_{};
    std::array<QLineEdit*, kDatabaseLabels> txtDBValue_{};
    QListWidget* lstAddons_;
    QPushButton* cmdProperties_;
    QPushButton* cmdOK_;
    QPushButton* cmdSave_;
    QPushButton* cmdCancel_;
    QPushButton* cmdHelp_;
};

}  // namespace vantreel
