#include "BackupsDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ControllerProfile.h"
#include "GridPasses.h"
#include "OptionLists.h"
#include "ParamTables.h"
#include "QtText.h"
#include "Teardown.h"
#include "ToolState.h"

namespace {
enum Column { kTime, kReason, kController, kCustomer, kColumns };
enum CompareColumn { kParameter, kGrid, kKept, kCompareColumns };
constexpr int kPathRole = Qt::UserRole;
constexpr int kTimeWidth = 150;
constexpr int kReasonWidth = 110;
constexpr int kControllerWidth = 340;
constexpr int kListHeight = 240;
constexpr int kNameWidth = 300;
constexpr int kValueWidth = 130;
const char* const kSeparator = " · ";

// "c1-v300-B" -> {"1", "300", "B"}; empty for another form ("foc").
std::vector<std::string> IdentityParts(const std::string& identity) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t dash; (dash = identity.find('-', start)) != std::string::npos; start = dash + 1)
        parts.push_back(identity.substr(start, dash - start));
    parts.push_back(identity.substr(start));
    const bool standard = parts.size() == 3 && parts[0].size() > 1 && parts[0][0] == 'c' && parts[1].size() > 1 &&
                          parts[1][0] == 'v';
    if (!standard) return {};
    return {parts[0].substr(1), parts[1].substr(1), parts[2]};
}

QTreeWidget* NewList(QWidget* parent, const QStringList& headers) {
    auto* list = new QTreeWidget(parent);
    list->setColumnCount(headers.size());
    list->setHeaderLabels(headers);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->header()->setStretchLastSection(true);
    return list;
}
}  // namespace

std::string CBackupsDlg::ControllerText(const dt::ToolState& state, const dt::BackupEntry& entry) {
    const std::vector<std::string> parts = IdentityParts(entry.identity);
    const dt::KindFacts& kind = dt::ProfileOfKind(entry.kind).Facts();
    // A kind with no identity words is named alone.
    if (kind.identityBytes == 0) return state.Extra(kind.statusText);
    if (parts.empty()) return entry.identity;
    return std::string(state.Extra(kind.statusText)) + kSeparator +
           dt::FillIn(state.Extra(dt::XTX_STATUS_VARIANT), parts[2]) + kSeparator +
           dt::FillIn(state.Extra(dt::XTX_STATUS_VERSION), parts[1]);
}

std::string CBackupsDlg::CustomerOf(const dt::BackupEntry& entry) {
    const std::vector<std::string> parts = IdentityParts(entry.identity);
    if (parts.empty() || parts[0].find_first_not_of("0123456789") != std::string::npos || parts[0].size() > 3)
        return std::string();
    const std::string name = dt::CustomerText(std::stoi(parts[0]));
    return name.empty() ? parts[0] : name + " (" + parts[0] + ")";
}

// The comparison's window goes with the list and would report its end to it.
CBackupsDlg::~CBackupsDlg() { DisconnectChildrenFrom(this); }

CBackupsDlg::CBackupsDlg(const dt::ToolState& state, std::string folder, Actions actions, QWidget* parent)
    : QDialog(parent), state_(state), folder_(std::move(folder)), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("backupsDialog"));
    setWindowTitle(Q(state_.Extra(dt::XTX_BACKUPS_TITLE)));
    setAttribute(Qt::WA_DeleteOnClose);
    list_ = NewList(this, {Q(state_.Extra(dt::XTX_BACKUPS_TIME)), Q(state_.Extra(dt::XTX_BACKUPS_REASON)),
                           Q(state_.Extra(dt::XTX_BACKUPS_CONTROLLER)), Q(state_.Extra(dt::XTX_BACKUPS_CUSTOMER))});
    list_->setObjectName(QStringLiteral("backupsList"));
    list_->setColumnWidth(kTime, kTimeWidth);
    list_->setColumnWidth(kReason, kReasonWidth);
    list_->setColumnWidth(kController, kControllerWidth);
    list_->setMinimumWidth(kTimeWidth + kReasonWidth + kControllerWidth + kReasonWidth);
    // The time's tooltip names the file, for the technician who wants it elsewhere.
    list_->setMinimumHeight(kListHeight);
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });
    connect(list_, &QTreeWidget::itemActivated, this, [this] { CompareSelected(); });

    empty_ = new QLabel(Q(state_.Extra(dt::XTX_BACKUPS_NONE)), this);
    empty_->setAlignment(Qt::AlignCenter);

    auto* buttons = new QDialogButtonBox(this);
    load_ = buttons->addButton(Q(state_.Extra(dt::XTX_BACKUPS_LOAD)), QDialogButtonBox::ActionRole);
    compare_ = buttons->addButton(Q(state_.Extra(dt::XTX_BACKUPS_COMPARE)), QDialogButtonBox::ActionRole);
    download_ = buttons->addButton(Q(state_.Extra(dt::XTX_BACKUPS_DOWNLOAD)), QDialogButtonBox::ActionRole);
    QPushButton* closeButton = buttons->addButton(Q(state_.Extra(dt::XTX_CHANGES_CLOSE)), QDialogButtonBox::RejectRole);
    for (QPushButton* b : {load_, compare_, download_, closeButton}) b->setAutoDefault(false);
    // Load and Download act on the window; the list closes so the outcome's box stands alone.
    auto act = [this](const std::function<void(const std::string&)>& action) {
        const std::string path = SelectedPath();
        if (path.empty() || !action) return;
        close();
        action(path);
    };
    connect(load_, &QPushButton::clicked, this, [this, act] { act(actions_.load); });
    connect(download_, &QPushButton::clicked, this, [this, act] { act(actions_.download); });
    connect(compare_, &QPushButton::clicked, this, [this] { CompareSelected(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    for (QWidget* part : {static_cast<QWidget*>(list_), static_cast<QWidget*>(empty_), static_cast<QWidget*>(buttons)})
        layout->addWidget(part);
    Refresh();
    list_->setFocus();
}

void CBackupsDlg::Refresh() {
    entries_ = dt::ListBackups(folder_);
    list_->clear();
    for (const dt::BackupEntry& e : entries_) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(kTime, Q(e.time));
        const bool read = e.reason == dt::BackupReason::Read;
        item->setText(kReason, Q(state_.Extra(read ? dt::XTX_BACKUPS_READ : dt::XTX_BACKUPS_WRITTEN)));
        item->setText(kController, Q(ControllerText(state_, e)));
        item->setText(kCustomer, Q(CustomerOf(e)));
        item->setData(0, kPathRole, Q(e.path));
        item->setToolTip(kTime, Q(e.path));
    }
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    const bool empty = entries_.empty();
    list_->setVisible(!empty);
    empty_->setVisible(empty);
    UpdateButtons();
}

std::string CBackupsDlg::SelectedPath() const {
    const QTreeWidgetItem* item = list_->currentItem();
    return item ? item->data(0, kPathRole).toString().toStdString() : std::string();
}

void CBackupsDlg::UpdateButtons() {
    const bool selected = !SelectedPath().empty();
    for (QPushButton* b : {load_, compare_, download_}) b->setEnabled(selected);
}

void CBackupsDlg::CompareSelected() {
    const std::string path = SelectedPath();
    if (path.empty()) return;
    const dt::BackupComparison c = dt::CompareWithSheet(state_, path);
    auto* dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("backupComparison"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QString name = QString::fromStdString(path).section(QLatin1Char('/'), -1);
    dialog->setWindowTitle(Q(dt::FillIn(state_.Extra(dt::XTX_COMPARE_TITLE), name.toStdString())));
    auto* layout = new QVBoxLayout(dialog);
    if (!c.comparable || c.rows.empty()) {
        auto* note = new QLabel(Q(c.comparable ? state_.Extra(dt::XTX_COMPARE_SAME) : c.refusal), dialog);
        note->setObjectName(QStringLiteral("comparisonNote"));
        layout->addWidget(note);
    } else {
        QTreeWidget* rows = NewList(dialog, {Q(state_.Extra(dt::XTX_CHANGES_PARAMETER)),
                                             Q(state_.Extra(dt::XTX_COMPARE_GRID)), Q(state_.Extra(dt::XTX_COMPARE_BACKUP))});
        rows->setObjectName(QStringLiteral("comparisonList"));
        rows->setColumnWidth(kParameter, kNameWidth);
        rows->setColumnWidth(kGrid, kValueWidth);
        rows->setMinimumWidth(kNameWidth + 2 * kValueWidth);
        const std::vector<dt::GridRow> grid = dt::GridLayout(state_);
        for (const dt::BackupDifference& d : c.rows) {
            auto* item = new QTreeWidgetItem(rows);
            item->setText(kParameter, Q(grid[d.row].desc->Name(state_.language)));
            item->setText(kGrid, Q(d.shown));
            item->setText(kKept, Q(d.kept));
        }
        layout->addWidget(rows);
    }
    auto* buttons = new QDialogButtonBox(dialog);
    buttons->addButton(Q(state_.Extra(dt::XTX_CHANGES_CLOSE)), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    comparison_ = dialog;
    connect(dialog, &QObject::destroyed, this, [this, dialog] {
        if (comparison_ == dialog) comparison_ = nullptr;
    });
    dialog->show();
}
