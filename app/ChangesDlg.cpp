#include "ChangesDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "GridPasses.h"
#include "ParamTables.h"
#include "QtText.h"
#include "ToolState.h"

namespace {
enum Column { kParameter, kController, kNew, kColumns };
constexpr int kRowRole = Qt::UserRole;
constexpr int kNameWidth = 300;
constexpr int kValueWidth = 130;
}  // namespace

CChangesDlg::CChangesDlg(const dt::ToolState& state, Actions actions, QWidget* parent)
    : QDialog(parent), state_(state), actions_(std::move(actions)) {
    setObjectName(QStringLiteral("changesDialog"));
    setWindowTitle(Q(state_.Extra(dt::XTX_CHANGES_TITLE)));
    setAttribute(Qt::WA_DeleteOnClose);

    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("changesList"));
    list_->setColumnCount(kColumns);
    list_->setHeaderLabels({Q(state_.Extra(dt::XTX_CHANGES_PARAMETER)), Q(state_.Extra(dt::XTX_CHANGES_CONTROLLER)),
                            Q(state_.Extra(dt::XTX_CHANGES_NEW))});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setColumnWidth(kParameter, kNameWidth);
    list_->setColumnWidth(kController, kValueWidth);
    list_->header()->setStretchLastSection(true);
    list_->setMinimumWidth(kNameWidth + 2 * kValueWidth);
    connect(list_, &QTreeWidget::itemActivated, this, [this] { GoToSelected(); });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this] { UpdateButtons(); });

    empty_ = new QLabel(Q(state_.Extra(dt::XTX_CHANGES_NONE)), this);
    empty_->setObjectName(QStringLiteral("changesEmpty"));
    empty_->setAlignment(Qt::AlignCenter);

    auto* buttons = new QDialogButtonBox(this);
    revert_ = buttons->addButton(Q(state_.Extra(dt::XTX_CHANGES_REVERT)), QDialogButtonBox::ActionRole);
    revertAll_ = buttons->addButton(Q(state_.Extra(dt::XTX_REVERT_ALL)), QDialogButtonBox::ActionRole);
    goTo_ = buttons->addButton(Q(state_.Extra(dt::XTX_CHANGES_GO_TO)), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(Q(state_.Extra(dt::XTX_CHANGES_CLOSE)), QDialogButtonBox::RejectRole);
    // Enter in the list jumps to the row; no button takes it first.
    for (QPushButton* b : {revert_, revertAll_, goTo_, close}) b->setAutoDefault(false);
    connect(revert_, &QPushButton::clicked, this, [this] { RevertSelected(); });
    connect(revertAll_, &QPushButton::clicked, this, [this] {
        if (actions_.revertAll) actions_.revertAll();
    });
    connect(goTo_, &QPushButton::clicked, this, [this] { GoToSelected(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(empty_);
    layout->addWidget(buttons);
    Refresh();
    list_->setFocus();
}

std::vector<int> CChangesDlg::Rows() const {
    std::vector<int> rows;
    for (int i = 0; i < list_->topLevelItemCount(); ++i) rows.push_back(list_->topLevelItem(i)->data(0, kRowRole).toInt());
    return rows;
}

int CChangesDlg::SelectedRow() const {
    const QTreeWidgetItem* item = list_->currentItem();
    return item ? item->data(0, kRowRole).toInt() : -1;
}

void CChangesDlg::SelectRow(int row) {
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        if (item->data(0, kRowRole).toInt() == row) list_->setCurrentItem(item);
    }
}

void CChangesDlg::Refresh() {
    const int selected = SelectedRow();
    const std::vector<dt::GridRow> layout = dt::GridLayout(state_);
    list_->clear();
    QTreeWidgetItem* next = nullptr;
    for (int row : state_.sheet.ChangedRows()) {
        const std::string* controller = state_.sheet.Baseline(row);
        if (!controller || row >= static_cast<int>(layout.size())) continue;
        auto* item = new QTreeWidgetItem(list_);
        item->setText(kParameter, Q(layout[row].desc->Name(state_.language)));
        item->setText(kController, Q(*controller));
        item->setText(kNew, Q(state_.sheet.Text(row)));
        item->setData(0, kRowRole, row);
        // The selected row, or the first one after it when it went back.
        if (!next && row >= selected) next = item;
    }
    if (!next) next = list_->topLevelItem(list_->topLevelItemCount() - 1);
    if (next) list_->setCurrentItem(next);
    const bool empty = list_->topLevelItemCount() == 0;
    list_->setVisible(!empty);
    empty_->setVisible(empty);
    UpdateButtons();
}

void CChangesDlg::UpdateButtons() {
    const bool any = list_->topLevelItemCount() > 0;
    const bool selected = SelectedRow() >= 0;
    revert_->setEnabled(selected);
    goTo_->setEnabled(selected);
    revertAll_->setEnabled(any);
}

void CChangesDlg::RevertSelected() {
    const int row = SelectedRow();
    if (row >= 0 && actions_.revertRow) actions_.revertRow(row);
}

void CChangesDlg::GoToSelected() {
    const int row = SelectedRow();
    if (row >= 0 && actions_.goTo) actions_.goTo(row);
}

void CChangesDlg::keyPressEvent(QKeyEvent* e) {
    // Delete reverts the selected line, as its button does.
    if (e->key() == Qt::Key_Delete && e->modifiers() == Qt::NoModifier) {
        RevertSelected();
        return;
    }
    QDialog::keyPressEvent(e);
}
