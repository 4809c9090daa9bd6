#include "partinfo/FormPartInfo.h"

#include "partinfo/PartInfoSession.h"
#include "shared/MessageBox.h"
#include "shared/Resources.h"
#include "touch/FormHelpers.h"
#include "touch/FormKeyboard.h"
#include "touch/ScreenRes.h"
#include "touch/frmMessageBox.h"
#include "vantreel/Error.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

namespace vantreel {
namespace {

// The help topic of the dialog.
constexpr int32_t kHelpContext = 125081;
// The tabs, from 1: their captions.
constexpr std::array<int32_t, 6> kTabCaptions{125042, 125043, 125044, 125066, 125045, 125046};

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

FormPartInfo::FormPartInfo(QWidget* parent) : QDialog(parent) {
    setObjectName("FormPartInfo");
    setModal(true);
    Build();
}

int FormPartInfo::Pixels(int twips) const {
    return TwipsToPixels(this, twips);
}

void FormPartInfo::Build() {
    auto* layout = new QVBoxLayout(this);
    tabPartProgram_ = new QTabBar(this);
    tabPartProgram_->setObjectName("tabPartProgram");
    tabPartProgram_->setExpanding(false);
    tabPartProgram_->setUsesScrollButtons(false);
    panels_ = new QStackedWidget(this);
    layout->addWidget(tabPartProgram_);
    layout->addWidget(panels_, 1);

    const auto caption = [this](QWidget* widget, int32_t id) {
        captions_.emplace_back(widget, id);
        return widget;
    };
    const auto label = [&](int32_t id, QWidget* parent) {
        auto* l = new QLabel(parent);
        caption(l, id);
        return l;
    };
    const auto hint = [&](int32_t id, QWidget* parent) {
        QLabel* l = label(id, parent);
        l->setWordWrap(true);
        return l;
    };
    const auto option = [&](const char* name, int32_t id, QWidget* parent) {
        auto* o = new QRadioButton(parent);
        o->setObjectName(name);
        caption(o, id);
        return o;
    };
    const auto check = [&](const char* name, int32_t id, QWidget* parent) {
        auto* c = new QCheckBox(parent);
        c->setObjectName(name);
        caption(c, id);
        return c;
    };
    const auto edit = [&](const char* name, QWidget* parent) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(name);
        e->setMaxLength(static_cast<int>(kMaxValueLength));
        return e;
    };
    const auto frame = [&](int32_t id, QWidget* parent) {
        auto* g = new QGroupBox(parent);
        caption(g, id);
        return g;
    };
    for (std::size_t i = 0; i < picGeneral_.size(); ++i) {
        tabPartProgram_->addTab(QString());
        picGeneral_[i] = new QWidget(panels_);
        picGeneral_[i]->setObjectName(QString("picGeneral%1").arg(i));
        panels_->addWidget(picGeneral_[i]);
    }

    // Tab 1: general.
    {
        QWidget* panel = picGeneral_[0];
        auto* v = new QVBoxLayout(panel);
        auto* name = new QHBoxLayout;
        name->addWidget(label(125047, panel));
        lblPartName_ = new QLabel(panel);
        lblPartName_->setObjectName("lblPartName");
        QFont bold = lblPartName_->font();
        bold.setBold(true);
        lblPartName_->setFont(bold);
        name->addWidget(lblPartName_, 1);
        v->addLayout(name);
        QGroupBox* protection = frame(125103, panel);
        auto* p = new QVBoxLayout(protection);
        chkWriteProtected_ = check("chkWriteProtected", 125048, protection);
        p->addWidget(chkWriteProtected_);
        p->addWidget(hint(125116, protection));
        v->addWidget(protection);
        QGroupBox* identification = frame(125049, panel);
        auto* g = new QGridLayout(identification);
        txtLibName_ = edit("txtLibName", identification);
        txtSerialNum_ = edit("txtSerialNum", identification);
        g->addWidget(label(125050, identification), 0, 0);
        g->addWidget(txtLibName_, 0, 1);
        g->addWidget(label(125051, identification), 1, 0);
        g->addWidget(txtSerialNum_, 1, 1);
        v->addWidget(identification);
        QGroupBox* partial = frame(125052, panel);
        auto* r = new QGridLayout(partial);
        chkPartialRun_ = check("chkPartialRun", 125053, partial);
        cboSkipFiles_ = new QComboBox(partial);
        cboSkipFiles_->setObjectName("cboSkipFiles");
        r->addWidget(chkPartialRun_, 0, 0, 1, 2);
        r->addWidget(label(125054, partial), 1, 0);
        r->addWidget(cboSkipFiles_, 1, 1);
        r->setColumnStretch(1, 1);
        v->addWidget(partial);
        v->addStretch(1);
    }
    // Tab 2: report and printing.
    {
        QWidget* panel = picGeneral_[1];
        auto* v = new QVBoxLayout(panel);
        QGroupBox* type = frame(125055, panel);
        auto* t = new QGridLayout(type);
        OptRptNormal_ = option("OptRptNormal", 125056, type);
        OptRptPart_ = option("OptRptPart", 125057, type);
        OptRptFeature_ = option("OptRptFeature", 125058, type);
        t->addWidget(OptRptNormal_, 0, 0, 1, 3);
        t->addWidget(OptRptPart_, 1, 0, 1, 3);
        t->addWidget(OptRptFeature_, 2, 0, 1, 3);
        txtRptFileName_ = edit("txtRptFileName", type);
        t->addWidget(label(125059, type), 3, 0);
        t->addWidget(txtRptFileName_, 3, 1);
        t->addWidget(label(125060, type), 3, 2);
        t->setColumnStretch(1, 1);
        v->addWidget(type);
        QGroupBox* printing = frame(125061, panel);
        auto* p = new QGridLayout(printing);
        optPrtNone_ = option("optPrtNone", 125062, printing);
        optPrtContinuous_ = option("optPrtContinuous", 125063, printing);
        optPrtProgram_ = option("optPrtProgram", 125064, printing);
        chkGraphics_ = check("chkGraphics", 125065, printing);
        cboCurrentPrinter_ = new QComboBox(printing);
        cboCurrentPrinter_->setObjectName("cboCurrentPrinter");
        p->addWidget(optPrtNone_, 0, 0, 1, 2);
        p->addWidget(optPrtContinuous_, 1, 0, 1, 2);
        p->addWidget(optPrtProgram_, 2, 0, 1, 2);
        p->addWidget(chkGraphics_, 3, 0, 1, 2);
        p->addWidget(label(125067, printing), 4, 0);
        p->addWidget(cboCurrentPrinter_, 4, 1);
        p->setColumnStretch(1, 1);
        v->addWidget(printing);
        v->addStretch(1);
    }
    // Tab 3: log.
    {
        QWidget* panel = picGeneral_[2];
        auto* v = new QVBoxLayout(panel);
        QGroupBox* type = frame(125068, panel);
        auto* t = new QVBoxLayout(type);
        optLogNone_ = option("optLogNone", 125082, type);
        optLogNormal_ = option("optLogNormal", 125083, type);
        optLogPart_ = option("optLogPart", 125084, type);
        t->addWidget(optLogNone_);
        t->addWidget(optLogNormal_);
        t->addWidget(optLogPart_);
        v->addWidget(type);
        QGroupBox* content = frame(125085, panel);
        auto* c = new QVBoxLayout(content);
        optLogFull_ = option("optLogFull", 125086, content);
        optLogPartial_ = option("optLogPartial", 125087, content);
        c->addWidget(optLogFull_);
        c->addWidget(optLogPartial_);
        v->addWidget(content);
        auto* file = new QGridLayout;
        txtLogFileName_ = edit("txtLogFileName", panel);
        file->addWidget(label(125088, panel), 0, 0);
        file->addWidget(txtLogFileName_, 0, 1);
        file->addWidget(label(125089, panel), 0, 2);
        file->setColumnStretch(1, 1);
        v->addLayout(file);
        v->addStretch(1);
    }
    // Tab 4: CSV output.
    {
        QWidget* panel = picGeneral_[3];
        auto* v = new QVBoxLayout(panel);
        QGroupBox* mode = frame(125090, panel);
        auto* m = new QVBoxLayout(mode);
        optCSVNone_ = option("optCSVNone", 125091, mode);
        optCSVNormal_ = option("optCSVNormal", 125092, mode);
        m->addWidget(optCSVNone_);
        m->addWidget(optCSVNormal_);
        v->addWidget(mode);
        auto* g = new QGridLayout;
        txtCSVRecord_ = edit("txtCSVRecord", panel);
        txtCSVRecord_->setValidator(new QIntValidator(0, INT32_MAX, txtCSVRecord_));
        txtCSVFile_ = edit("txtCSVFile", panel);
        g->addWidget(label(125093, panel), 0, 0);
        g->addWidget(txtCSVRecord_, 0, 1);
        g->addWidget(label(125094, panel), 1, 0);
        g->addWidget(txtCSVFile_, 1, 1);
        g->setColumnStretch(1, 1);
        v->addLayout(g);
        v->addStretch(1);
    }
    // Tab 5: database labels.
    {
        QWidget* panel = picGeneral_[4];
        auto* v = new QVBoxLayout(panel);
        QGroupBox* labels = frame(125095, panel);
        auto* g = new QGridLayout(labels);
        QLabel* labelHeading = label(125096, labels);
        QLabel* valueHeading = label(125097, labels);
        QFont bold = labelHeading->font();
        bold.setBold(true);
        labelHeading->setFont(bold);
        valueHeading->setFont(bold);
        g->addWidget(labelHeading, 0, 0);
        g->addWidget(valueHeading, 0, 1);
        for (int i = 0; i < kDatabaseLabels; ++i) {
            lblDBLabel_[i] = new QLabel(labels);
            lblDBLabel_[i]->setObjectName(QString("lblDBLabel%1").arg(i));
            txtDBValue_[i] = edit(QString("txtDBValue%1").arg(i).toLatin1().constData(), labels);
            txtDBValue_[i]->installEventFilter(this);
            g->addWidget(lblDBLabel_[i], i + 1, 0);
            g->addWidget(txtDBValue_[i], i + 1, 1);
        }
        g->setColumnStretch(1, 1);
        v->addWidget(labels);
        v->addWidget(hint(125098, panel));
        v->addStretch(1);
    }
    // Tab 6: add-ons.
    {
        QWidget* panel = picGeneral_[5];
        auto* v = new QVBoxLayout(panel);
        QGroupBox* addons = frame(125099, panel);
        auto* a = new QVBoxLayout(addons);
        lstAddons_ = new QListWidget(addons);
        lstAddons_->setObjectName("lstAddons");
        a->addWidget(lstAddons_, 1);
        auto* row = new QHBoxLayout;
        row->addWidget(hint(125101, addons), 1);
        cmdProperties_ = new QPushButton(addons);
        cmdProperties_->setObjectName("cmdProperties");
        caption(cmdProperties_, 125100);
        row->addWidget(cmdProperties_);
        a->addLayout(row);
        v->addWidget(addons, 1);
    }

    auto* buttons = new QHBoxLayout;
    const auto button = [&](const char* name, int32_t id) {
        auto* b = new QPushButton(this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        caption(b, id);
        buttons->addWidget(b);
        return b;
    };
    buttons->addStretch(1);
    cmdOK_ = button("cmdOK", 110004);
    cmdSave_ = button("cmdSave", 110108);
    cmdCancel_ = button("cmdCancel", 110005);
    cmdHelp_ = button("cmdHelp", 110008);
    layout->addLayout(buttons);

    for (QLineEdit* box : {txtRptFileName_, txtLogFileName_, txtCSVFile_, txtSerialNum_}) {
        box->installEventFilter(this);
    }

    // Every change keeps the controls' state in step and re-applies the rules.
    const auto changed = [this] {
        if (!updating_) {
            ReadWidgets();
            ApplyEnabling();
        }
    };
    for (QRadioButton* o :
         {OptRptNormal_, OptRptPart_, OptRptFeature_, optLogNone_, optLogNormal_, optLogPart_,
          optLogFull_, optLogPartial_, optCSVNone_, optCSVNormal_, optPrtNone_, optPrtProgram_}) {
        connect(o, &QRadioButton::toggled, this, changed);
    }
    connect(optPrtContinuous_, &QRadioButton::toggled, this, [this, changed](bool on) {
        if (!updating_ && on) {
            ReadWidgets();
            SelectPrintOption(controls_, 1);
            ShowControls();
        }
        changed();
    });
    for (QLineEdit* e : {txtRptFileName_, txtLogFileName_, txtCSVFile_, txtCSVRecord_, txtLibName_,
                         txtSerialNum_}) {
        connect(e, &QLineEdit::textChanged, this, changed);
    }
    for (QLineEdit* e : txtDBValue_) {
        connect(e, &QLineEdit::textChanged, this, changed);
    }
    connect(chkGraphics_, &QCheckBox::toggled, this, changed);
    connect(cboCurrentPrinter_, &QComboBox::currentIndexChanged, this, changed);
    connect(cboSkipFiles_, &QComboBox::currentIndexChanged, this, changed);
    connect(chkPartialRun_, &QCheckBox::toggled, this, [this](bool on) {
        if (updating_) {
            return;
        }
        ReadWidgets();
        SetPartialRun(controls_, on,
                      session_ != nullptr ? session_->Settings().SkipFiles.size() : 0);
        ShowControls();
        ApplyEnabling();
    });
    connect(chkWriteProtected_, &QCheckBox::clicked, this, [this] { WriteProtectClicked(); });
    connect(lstAddons_, &QListWidget::currentRowChanged, this, [this] { ApplyEnabling(); });
    connect(cmdProperties_, &QPushButton::clicked, this, [this] { PropertiesClicked(); });
    connect(tabPartProgram_, &QTabBar::currentChanged, this, [this](int i) { TabChanged(i); });
    connect(cmdSave_, &QPushButton::clicked, this, [this] { ValidateAndSave(); });
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        if (ValidateAndSave()) {
            result_ = true;
            accept();
        }
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        result_ = false;
        reject();
    });
    connect(cmdHelp_, &QPushButton::clicked, this, [this] { ShowHelp(this, kHelpContext); });
}

void FormPartInfo::Caption() {
    for (std::size_t i = 0; i < kTabCaptions.size(); ++i) {
        tabPartProgram_->setTabText(static_cast<int>(i), Text(GetResString(kTabCaptions[i])));
    }
    for (const auto& [widget, id] : captions_) {
        const QString text = Text(GetResString(id));
        if (auto* l = qobject_cast<QLabel*>(widget)) {
            l->setText(text);
        } else if (auto* b = qobject_cast<QAbstractButton*>(widget)) {
            b->setText(text);
        } else if (auto* g = qobject_cast<QGroupBox*>(widget)) {
            g->setTitle(text);
        }
    }
}

void FormPartInfo::ApplyTouchScaling() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int twipsPerPixel = kTwipsPerInch / std::max(1, logicalDpiX());
    const int screenPixels = screen != nullptr ? screen->geometry().width() : 1024;
    try {
        metrics_.Initialize(screenPixels * twipsPerPixel, twipsPerPixel);
    } catch (const Error&) {
        // no context server answer: the sizes of the screen width alone
    }
    metrics_.SetTouchScreen(touchScreen_);
    if (!touchScreen_) {
        return;
    }
    metrics_.SetAllLabels(this);
    for (QPushButton* button : findChildren<QPushButton*>()) {
        metrics_.SetCommand(button);
        // As large as the screen metrics ask, and wide enough for the caption.
        const int captionWidth = button->fontMetrics().horizontalAdvance(button->text()) +
                                 Pixels(metrics_.CmdButtonHeight()) / 2;
        button->setMinimumSize(std::max(button->width(), captionWidth), button->height());
    }
    QFont tabs = tabPartProgram_->font();
    tabs.setPointSize(metrics_.LabelFontSize());
    tabPartProgram_->setFont(tabs);
    // Finger-sized boxes, lists and options.
    const int row = Pixels(metrics_.CmdButtonHeight());
    for (QLineEdit* e : findChildren<QLineEdit*>()) {
        e->setMinimumHeight(row * 3 / 4);
    }
    for (QComboBox* c : findChildren<QComboBox*>()) {
        c->setMinimumHeight(row * 3 / 4);
    }
    for (QAbstractButton* b : findChildren<QAbstractButton*>()) {
        if (qobject_cast<QPushButton*>(b) == nullptr) {
            b->setMinimumHeight(row * 3 / 4);
        }
    }
}

void FormPartInfo::Load(PartInfoSession& session, int32_t language, bool touchScreen) {
    session_ = &session;
    language_ = language;
    touchScreen_ = touchScreen;
    result_ = false;
    administrator_ = IsAdministrator();
    updating_ = true;
    ApplySystemFont(this);
    Caption();  // first, so the touch sizes see the captions they must fit
    ApplyTouchScaling();
    SetHelpFile(language, kHelpBaseName);

    const PartInfoSettings& s = session.Settings();
    controls_ = ControlsFromSettings(s, session.Printers());
    cboCurrentPrinter_->clear();
    for (const std::string& name : session.Printers().Names) {
        cboCurrentPrinter_->addItem(Text(name));
    }
    cboSkipFiles_->clear();
    for (const std::string& name : s.SkipFiles) {
        cboSkipFiles_->addItem(Text(name));
    }
    lstAddons_->clear();
    for (const AddonEntry& addon : session.Addons()) {
        lstAddons_->addItem(Text(addon.Name));
    }
    lstAddons_->setCurrentRow(-1);
    for (int i = 0; i < kDatabaseLabels; ++i) {
        const bool used = static_cast<std::size_t>(i) < s.Labels.size();
        lblDBLabel_[i]->setText(used ? Text(s.Labels[static_cast<std::size_t>(i)].Label)
                                     : QString());
        lblDBLabel_[i]->setVisible(used);
        txtDBValue_[i]->setVisible(used);
        txtDBValue_[i]->setEnabled(used);
    }
    setWindowTitle(Text(GetResString(125081) + ": " + s.Name));
    lblPartName_->setText(Text(s.Name));
    ShowControls();
    chkWriteProtected_->setChecked(s.WriteProtect);
    if (s.WriteProtect) {
        session.SetWriteProtect(true);  // the check box's click writes it back at once
    }
    updating_ = false;
    ApplyEnabling();

    tabPartProgram_->blockSignals(true);
    tabPartProgram_->setCurrentIndex(0);
    tabPartProgram_->blockSignals(false);
    panels_->setCurrentIndex(0);
    shownTab_ = 0;
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().size();
        resize(std::min(width(), room.width()), std::min(height(), room.height()));
    }
    CenterForm(this);
    if (std::optional<PartInfoMessage> problem = session.FileProblemMessage()) {
        ShowMessage(*problem);
    }
}

void FormPartInfo::ShowControls() {
    const bool wasUpdating = updating_;
    updating_ = true;
    const PartInfoControls& c = controls_;
    txtLibName_->setText(Text(c.LibName));
    txtSerialNum_->setText(Text(c.SerialNum));
    (c.Print == 1   ? optPrtContinuous_
     : c.Print == 2 ? optPrtProgram_
                    : optPrtNone_)
        ->setChecked(true);
    chkGraphics_->setChecked(c.Graphics);
    cboCurrentPrinter_->setCurrentIndex(c.Printer);
    (c.Report == 2   ? OptRptPart_
     : c.Report == 3 ? OptRptFeature_
                     : OptRptNormal_)
        ->setChecked(true);
    txtRptFileName_->setText(Text(c.ReportFile));
    (c.Log == 1 ? optLogNormal_ : c.Log == 2 ? optLogPart_ : optLogNone_)->setChecked(true);
    (c.LogFull ? optLogFull_ : optLogPartial_)->setChecked(true);
    txtLogFileName_->setText(Text(c.LogFile));
    (c.Csv == 1 ? optCSVNormal_ : optCSVNone_)->setChecked(true);
    txtCSVRecord_->setText(Text(c.CSVRecord));
    txtCSVFile_->setText(Text(c.CSVFile));
    for (std::size_t i = 0; i < txtDBValue_.size(); ++i) {
        txtDBValue_[i]->setText(i < c.LabelValues.size() ? Text(c.LabelValues[i]) : QString());
    }
    chkPartialRun_->setChecked(c.PartialRun);
    cboSkipFiles_->setCurrentIndex(c.SkipFile);
    updating_ = wasUpdating;
}

void FormPartInfo::ReadWidgets() {
    PartInfoControls& c = controls_;
    c.Report = OptRptPart_->isChecked() ? 2 : OptRptFeature_->isChecked() ? 3 : 1;
    c.Log = optLogNormal_->isChecked() ? 1 : optLogPart_->isChecked() ? 2 : 0;
    c.LogFull = optLogFull_->isChecked();
    c.Print = optPrtContinuous_->isChecked() ? 1 : optPrtProgram_->isChecked() ? 2 : 0;
    c.Graphics = chkGraphics_->isChecked();
    c.Printer = cboCurrentPrinter_->currentIndex();
    c.Csv = optCSVNormal_->isChecked() ? 1 : 0;
    c.CSVRecord = txtCSVRecord_->text().toStdString();
    c.CSVFile = txtCSVFile_->text().toStdString();
    c.ReportFile = txtRptFileName_->text().toStdString();
    c.LogFile = txtLogFileName_->text().toStdString();
    c.LibName = txtLibName_->text().toStdString();
    c.SerialNum = txtSerialNum_->text().toStdString();
    for (std::size_t i = 0; i < c.LabelValues.size() && i < txtDBValue_.size(); ++i) {
        c.LabelValues[i] = txtDBValue_[i]->text().toStdString();
    }
    c.PartialRun = chkPartialRun_->isChecked();
    c.SkipFile = cboSkipFiles_->currentIndex();
}

void FormPartInfo::ApplyEnabling() {
    PartInfoEnablingInput input;
    input.skipFiles = session_ != nullptr ? session_->Settings().SkipFiles.size() : 0;
    input.addonSelected = lstAddons_->currentRow() >= 0;
    input.administrator = administrator_;
    for (const auto& [name, enabled] : ControlEnabling(controls_, input)) {
        QWidget* control = findChild<QWidget*>(QString::fromStdString(name));
        if (control == nullptr) {
            continue;
        }
        if (qobject_cast<QLineEdit*>(control) || qobject_cast<QComboBox*>(control) ||
            qobject_cast<QListWidget*>(control)) {
            SetControlEnabled(control, enabled);  // window or button-face background
        } else {
            control->setEnabled(enabled);
        }
    }
}

int FormPartInfo::CurrentTab() const {
    return tabPartProgram_->currentIndex() + 1;
}

void FormPartInfo::SelectTab(int tab) {
    tabPartProgram_->setCurrentIndex(tab - 1);
}

void FormPartInfo::TabChanged(int index) {
    if (index == shownTab_) {
        return;
    }
    ReadWidgets();
    if (std::optional<PartInfoMessage> refusal = RefuseTabLeave(shownTab_ + 1, controls_)) {
        tabPartProgram_->blockSignals(true);
        tabPartProgram_->setCurrentIndex(shownTab_);
        tabPartProgram_->blockSignals(false);
        ShowMessage(*refusal);
        return;
    }
    picGeneral_[static_cast<std::size_t>(shownTab_)]->hide();
    shownTab_ = index;
    panels_->setCurrentIndex(index);
    picGeneral_[static_cast<std::size_t>(index)]->show();
    picGeneral_[static_cast<std::size_t>(index)]->raise();
    ApplyEnabling();  // entering the report or log tab re-applies their boxes' enabling
}

void FormPartInfo::ShowMessage(const PartInfoMessage& message) {
    MsgBoxEx(message.Text, message.Style, message.Title);
}

bool FormPartInfo::ValidateAndSave() {
    if (session_ == nullptr) {
        return false;
    }
    ReadWidgets();
    const std::optional<PartInfoMessage> failure = session_->Save(controls_);
    if (!failure) {
        return true;
    }
    if (failure->Id == 125075 || failure->Id == 125117) {
        SelectTab(4);
        panels_->setCurrentIndex(3);
        picGeneral_[3]->raise();
        SelectAllText(txtCSVFile_, true);
        txtCSVFile_->setFocus(Qt::OtherFocusReason);
    }
    ShowMessage(*failure);
    return false;
}

void FormPartInfo::WriteProtectClicked() {
    if (session_ == nullptr) {
        return;
    }
    controls_.WriteProtected = chkWriteProtected_->isChecked();
    session_->SetWriteProtect(controls_.WriteProtected);
    ApplyEnabling();
}

void FormPartInfo::PropertiesClicked() {
    const int row = lstAddons_->currentRow();
    if (session_ == nullptr || row < 0 ||
        static_cast<std::size_t>(row) >= session_->Addons().size()) {
        return;
    }
    const AddonEntry& addon = session_->Addons()[static_cast<std::size_t>(row)];
    try {
        EditAddonSettings(addon.ProgID, session_->FullPath(), session_->InformationFile(),
                          language_);
    } catch (const Error& error) {
        MsgBoxEx(FormatResString(125148, "\"" + addon.Name + "\"", error.Description()),
                 vbExclamation, GetResString(125081));
    }
}

void FormPartInfo::OpenKeyboard(QLineEdit* box) {
    int32_t prompt = 0;
    if (box == txtCSVFile_) {
        prompt = 125106;
    } else if (box == txtLogFileName_) {
        prompt = 125107;
    } else if (box == txtRptFileName_) {
        prompt = 125108;
    } else if (box == txtSerialNum_) {
        prompt = 125109;
    }
    if (prompt == 0 || !box->isEnabled()) {
        return;
    }
    FormKeyboard keyboard(this);
    keyboard.SetLanguage(language_);
    const std::string text = keyboard.InputString(GetResString(prompt), box->text().toStdString());
    box->setText(Text(text));
}

bool FormPartInfo::eventFilter(QObject* watched, QEvent* event) {
    auto* box = qobject_cast<QLineEdit*>(watched);
    if (box != nullptr && event->type() == QEvent::MouseButtonRelease && touchScreen_) {
        OpenKeyboard(box);
        return false;
    }
    if (box != nullptr && event->type() == QEvent::FocusOut && session_ != nullptr) {
        for (std::size_t i = 0; i < txtDBValue_.size(); ++i) {
            if (txtDBValue_[i] == box) {
                ReadWidgets();
                LeaveLabelValue(controls_, session_->Settings(), i);
                if (i < controls_.LabelValues.size() && box->text().isEmpty()) {
                    box->setText(Text(controls_.LabelValues[i]));
                }
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vantreel
