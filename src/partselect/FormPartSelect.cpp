#include "partselect/FormPartSelect.h"

#include "partselect/FormSelectDrive.h"
#include "partselect/PartIcons.h"
#include "partselect/PartListing.h"
#include "partselect/PartSelectLogic.h"
#include "shared/FileUtil.h"
#include "shared/Resources.h"
#include "shared/ScreenMetrics.h"
#include "touch/FormHelpers.h"
#include "touch/ModalDialogs.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <string_view>

namespace vantreel {
namespace {

constexpr int32_t kHelpContext = 11009;
constexpr int kDesignWidthTwips = 6855;
constexpr int kDesignHeightTwips = 4355;

struct ToolbarButton {
    const char* key;
    const char* image;
    int32_t tooltip;
};

constexpr ToolbarButton kToolbarButtons[] = {
#define PARTSELECT_TOOLBAR_BUTTON(Enum, key, image, tooltip) {key, image, tooltip},
#include "partselect/ToolbarButtons.def"
#undef PARTSELECT_TOOLBAR_BUTTON
};

struct LanguageEntry {
    int32_t lcid;
    const char* code;
};

constexpr LanguageEntry kLanguages[] = {
#define LANGUAGE_CODE(lcid, code, family) {lcid, code},
#include "shared/LanguageCodes.def"
#undef LANGUAGE_CODE
};

// The identifier of the language the texts are shown in (0: the default).
int32_t CurrentLanguageId() {
    const std::string code = CurrentLanguageCode();
    for (const LanguageEntry& entry : kLanguages) {
        if (code == entry.code) {
            return entry.lcid;
        }
    }
    return 0;
}

QString Res(int32_t id) {
    return QString::fromStdString(GetResString(id));
}

// The desktop's long date, two spaces and its long time (without the time
// zone Qt's long time format adds).
std::string DesktopDateText(double basicDate) {
    const QDateTime when = QDateTime::fromSecsSinceEpoch(FileUtil::TimeFromDate(basicDate));
    const QLocale locale;  // the desktop's, unless the host chose another
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(QLatin1String(" t")).remove(QLatin1Char('t'));
    return (locale.toString(when.date(), QLocale::LongFormat) + "  " +
            locale.toString(when.time(), timeFormat.trimmed()))
        .toStdString();
}

int Pixels(const QWidget* widget, int twips, bool horizontal) {
    return TwipsToPixels(twips, horizontal ? widget->logicalDpiX() : widget->logicalDpiY());
}

}  // namespace

FormPartSelect::FormPartSelect(PartSelectState& state, QWidget* parent)
    : QDialog(parent),
      state_(state),
      lblLookin_(new QLabel(this)),
      cboStack_(new QComboBox(this)),
      tbMain_(new QToolBar(this)),
      lvMain_(new QTreeWidget(this)),
      lblPartProg_(new QLabel(this)),
      txtName_(new QLineEdit(this)),
      cmdOK_(new QPushButton(this)),
      cmdCancel_(new QPushButton(this)),
      cmdHelp_(new QPushButton(this)),
      cmdReload_(new QPushButton("Reload", this)) {
    setObjectName("FormPartSelect");
    lblLookin_->setObjectName("lblLookin");
    cboStack_->setObjectName("cboStack");
    tbMain_->setObjectName("tbMain");
    lvMain_->setObjectName("lvMain");
    lblPartProg_->setObjectName("lblPartProg");
    txtName_->setObjectName("txtName");
    cmdOK_->setObjectName("cmdOK");
    cmdCancel_->setObjectName("cmdCancel");
    cmdHelp_->setObjectName("cmdHelp");
    cmdReload_->setObjectName("cmdReload");
    cmdReload_->hide();
    setSizeGripEnabled(true);

    lblLookin_->setBuddy(cboStack_);
    lblPartProg_->setBuddy(txtName_);
    cboStack_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboStack_->setMinimumContentsLength(12);
    tbMain_->setIconSize(QSize(16, 16));
    tbMain_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    auto* views = new QActionGroup(this);
    for (const ToolbarButton& button : kToolbarButtons) {
        QAction* action = tbMain_->addAction(PartIcon(button.image), QString());
        action->setObjectName(button.key);
        const std::string key = button.key;
        if (key == "list" || key == "details") {
            action->setCheckable(true);
            views->addAction(action);
        }
        connect(action, &QAction::triggered, this, [this, key] { Toolbar(key); });
    }

    lvMain_->setRootIsDecorated(false);
    lvMain_->setUniformRowHeights(true);
    lvMain_->setAllColumnsShowFocus(true);
    lvMain_->setColumnCount(2);
    lvMain_->setHeaderLabels({"Name", "Project Date"});
    lvMain_->header()->setSectionsClickable(true);
    lvMain_->header()->setStretchLastSection(true);
    lvMain_->setEditTriggers(QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::SelectedClicked);

    cmdOK_->setDefault(true);

    auto* top = new QHBoxLayout;
    top->addWidget(lblLookin_);
    top->addWidget(cboStack_, 1);
    top->addWidget(tbMain_);
    auto* name = new QHBoxLayout;
    name->addWidget(lblPartProg_);
    name->addWidget(txtName_, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdHelp_);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lvMain_, 1);
    layout->addLayout(name);
    layout->addLayout(buttons);

    connect(lvMain_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { ClickItem(item); });
    connect(lvMain_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!updating_) {  // the keyboard moved the selection
            ClickItem(item);
        }
    });
    connect(lvMain_, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { DoubleClickItem(item); });
    connect(lvMain_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (!updating_ && column == 0) {
            RenameItem(item);
        }
    });
    connect(lvMain_->header(), &QHeaderView::sectionClicked, this, [this](int column) {
        ClickColumn(state_, column);
        ShowState();
    });
    connect(cboStack_, &QComboBox::activated, this, [this](int index) {
        PickStackLine(state_, index);
        ShowState();
    });
    connect(txtName_, &QLineEdit::textEdited, this, [this](const QString& text) {
        SetNameText(state_, text.toStdString());
        ShowControls();
    });
    connect(cmdOK_, &QPushButton::clicked, this, [this] { PressOkButton(); });
    connect(cmdCancel_, &QPushButton::clicked, this, &FormPartSelect::reject);
    connect(cmdHelp_, &QPushButton::clicked, this, [this] { ShowHelp(this, kHelpContext); });
    connect(cmdReload_, &QPushButton::clicked, this, [this] {
        RefreshList(state_);
        ShowState();
    });
    auto* reload = new QShortcut(QKeySequence::Refresh, this);
    connect(reload, &QShortcut::activated, cmdReload_, &QPushButton::click);
}

FormPartSelect::~FormPartSelect() = default;

FormSelectDrive& FormPartSelect::DriveDialog() {
    if (!drive_) {
        drive_ = std::make_unique<FormSelectDrive>();
    }
    return *drive_;
}

bool FormPartSelect::Load() {
    ApplySystemFont(this);
    SetHelpFile(CurrentLanguageId(), kHelpBaseName);
    state_.DateFormatter = DesktopDateText;
    // A quarter above the design size, so the details view shows whole dates;
    // more where the desktop's font needs it. A size the operator gave the
    // window stays for later showings.
    if (!sized_) {
        sized_ = true;
        resize(QSize(Pixels(this, kDesignWidthTwips * 5 / 4, true),
                     Pixels(this, kDesignHeightTwips * 5 / 4, false))
                   .expandedTo(minimumSizeHint()));
    }
    lblPartProg_->setText(Res(state_.DirectoryMode ? 125069 : 125007));
    cmdOK_->setText(Res(110004));
    cmdCancel_->setText(Res(110005));
    cmdHelp_->setText(Res(110008));
    for (const ToolbarButton& button : kToolbarButtons) {
        tbMain_->findChild<QAction*>(button.key)->setToolTip(Res(button.tooltip));
    }
    lblLookin_->setText(Res(125006));
    setWindowTitle(QString::fromStdString(state_.Prompt));
    const bool loaded = LoadDialog(state_);
    listShown_ = false;
    ShowState();
    CenterForm(this);
    return loaded;
}

void FormPartSelect::ShowDialog() {
    Load();
    ShowModal(*this);
}

void FormPartSelect::ResetView(const std::string& sPath) {
    vantreel::ResetView(state_, sPath);
    ShowState();
}

void FormPartSelect::reject() {
    PressCancel(state_);
    QDialog::reject();
}

void FormPartSelect::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ActivateDialog(state_);
    ShowControls();
    txtName_->setFocus();
}

void FormPartSelect::ShowState() {
    if (!listShown_ || shownListVersion_ != state_.ListVersion) {
        ShowList();
    }
    ShowControls();
}

void FormPartSelect::ShowList() {
    updating_ = true;
    listShown_ = true;
    shownListVersion_ = state_.ListVersion;

    cboStack_->clear();
    const QIcon folder = PartIcon("folderlist");
    for (const std::string& line : state_.StackLines) {
        cboStack_->addItem(folder, QString::fromStdString(line));
    }
    cboStack_->setCurrentIndex(state_.StackIndex);

    lvMain_->clear();
    lvMain_->setHeaderHidden(state_.ListMode);
    lvMain_->setColumnHidden(1, state_.ListMode);
    const QIcon icons[] = {folder, PartIcon("part"), PartIcon("dmis")};
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(state_.Items.size()));
    for (const ListEntry& entry : state_.Items) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, QString::fromStdString(entry.Text));
        item->setIcon(0, icons[entry.Icon == "folderlist" ? 0 : entry.Icon == "part" ? 1 : 2]);
        if (!state_.ListMode && !entry.DateText.empty()) {
            item->setText(1, QString::fromStdString(entry.DateText));
        }
        Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (entry.Kind() == 'F') {
            flags |= Qt::ItemIsEditable;  // only folders take a new name
        }
        item->setFlags(flags);
        items.append(item);
    }
    lvMain_->addTopLevelItems(items);
    if (!state_.ListMode) {
        lvMain_->resizeColumnToContents(0);
    }
    lvMain_->header()->setSortIndicatorShown(state_.SortColumn >= 0);
    if (state_.SortColumn >= 0) {
        lvMain_->header()->setSortIndicator(
            state_.SortColumn, state_.SortDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
    }

    QTreeWidgetItem* selected = state_.SelectedIndex >= 0 && state_.SelectedIndex < items.size()
                                    ? items[state_.SelectedIndex]
                                    : nullptr;
    if (selected != nullptr) {
        lvMain_->setCurrentItem(selected);
        lvMain_->scrollToItem(selected);
    }
    if (state_.Focus == FocusTarget::List) {
        lvMain_->setFocus();
    } else if (state_.Focus == FocusTarget::NameBox) {
        txtName_->setFocus();
    }
    updating_ = false;
    if (selected != nullptr && state_.EditSelected) {
        state_.EditSelected = false;
        lvMain_->editItem(selected, 0);
    }
}

void FormPartSelect::ShowControls() {
    updating_ = true;
    setWindowTitle(QString::fromStdString(state_.Prompt));
    txtName_->setReadOnly(state_.SelectExisting);
    const QString name = QString::fromStdString(state_.NameText);
    if (txtName_->text() != name) {
        txtName_->setText(name);
    }
    cmdOK_->setEnabled(state_.OkEnabled);
    const auto enable = [this](const char* key, bool enabled) {
        tbMain_->findChild<QAction*>(key)->setEnabled(enabled);
    };
    enable("upone", state_.UpOneEnabled);
    enable("new", state_.NewEnabled && !state_.FolderStack.empty());
    enable("selectdrive", state_.SelectDriveEnabled);
    tbMain_->findChild<QAction*>("list")->setChecked(state_.ListMode);
    tbMain_->findChild<QAction*>("details")->setChecked(!state_.ListMode);
    updating_ = false;
}

int FormPartSelect::IndexOf(QTreeWidgetItem* item) const {
    return item == nullptr ? -1 : lvMain_->indexOfTopLevelItem(item);
}

void FormPartSelect::ClickItem(QTreeWidgetItem* item) {
    const int index = IndexOf(item);
    if (index < 0) {
        return;
    }
    ClickEntry(state_, index);
    ShowControls();
}

void FormPartSelect::DoubleClickItem(QTreeWidgetItem* item) {
    const int index = IndexOf(item);
    if (index < 0) {
        return;
    }
    HandleOutcome(static_cast<int>(DoubleClickEntry(state_, index)));
}

void FormPartSelect::PressOkButton() {
    HandleOutcome(static_cast<int>(PressOk(state_)));
}

void FormPartSelect::HandleOutcome(int outcome) {
    switch (static_cast<OkOutcome>(outcome)) {
        case OkOutcome::Nothing:
            return;
        case OkOutcome::Stay:
            ShowState();
            return;
        case OkOutcome::Close:
            accept();
            return;
        case OkOutcome::Convert: {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            const bool converted =
                ConvertLegacyFile(state_, static_cast<int32_t>(effectiveWinId()));
            QApplication::restoreOverrideCursor();
            if (converted) {
                accept();
            } else {
                ShowState();
            }
            return;
        }
    }
}

void FormPartSelect::RenameItem(QTreeWidgetItem* item) {
    const int index = IndexOf(item);
    if (index < 0 || index >= static_cast<int>(state_.Items.size())) {
        return;
    }
    const std::string oldText = state_.Items[static_cast<std::size_t>(index)].Text;
    switch (RenameEntry(state_, index, item->text(0).toStdString())) {
        case RenameOutcome::Renamed:
            // Rebuilt once the editor has gone, not inside its ending.
            QMetaObject::invokeMethod(cmdReload_, &QPushButton::click, Qt::QueuedConnection);
            return;
        case RenameOutcome::Unchanged:
        case RenameOutcome::Failed:
            updating_ = true;
            item->setText(0, QString::fromStdString(oldText));
            updating_ = false;
            return;
    }
}

void FormPartSelect::Toolbar(const std::string& key) {
    if (key == "upone") {
        UpOne(state_);
    } else if (key == "new") {
        NewFolder(state_);
    } else if (key == "list") {
        SetListMode(state_, true);
    } else if (key == "details") {
        SetListMode(state_, false);
    } else if (key == "selectdrive") {
        ApplyDriveChoice(state_, DriveDialog().SelectDrive());
    }
    ShowState();
}

}  // namespace vantreel
