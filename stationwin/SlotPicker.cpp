#include "SlotPicker.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "SlotPorts.h"
#include "StationTexts.h"

namespace dt::station {

SlotPicker::SlotPicker(Language language, Lister lister, const std::vector<std::string>& chosen, QWidget* parent)
    : QDialog(parent), lister_(std::move(lister)), chosen_(chosen) {
    const auto text = [language](StxId id) { return QString::fromUtf8(StationText(language, id)); };
    setWindowTitle(text(STX_SLOTS_TITLE));
    list_ = new QListWidget(this);
    list_->setAccessibleName(text(STX_SLOTS_TITLE));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* refresh = buttons->addButton(text(STX_SLOTS_REFRESH), QDialogButtonBox::ResetRole);
    refresh->setAccessibleName(text(STX_SLOTS_REFRESH));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(refresh, &QPushButton::clicked, this, [this] {
        chosen_ = Devices();
        Fill();
    });
    resize(520, 420);
    Fill();
}

void SlotPicker::Fill() {
    entries_ = lister_ ? lister_() : std::vector<PortEntry>();
    list_->clear();
    for (const PortEntry& e : entries_) {
        auto* item = new QListWidgetItem(QString::fromStdString(e.BoxText()), list_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        // A slot stored by its adapter's place is ticked on the entry that leads there now.
        const std::vector<SlotPort> named = NameSlots({e}, chosen_);
        const bool ticked = std::any_of(named.begin(), named.end(), [](const SlotPort& s) { return s.number > 0; });
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
}

std::vector<std::string> SlotPicker::Devices() const {
    std::vector<std::string> out;
    for (int i = 0; i < list_->count() && i < static_cast<int>(entries_.size()); ++i)
        if (list_->item(i)->checkState() == Qt::Checked) out.push_back(StableDevice(entries_[i].device));
    return out;
}

}  // namespace dt::station
