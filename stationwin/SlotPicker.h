#pragma once
// The slots' ports, picked from the port list as the port box names it.
#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "PortNumbering.h"
#include "Texts.h"

class QListWidget;

namespace dt::station {

class SlotPicker : public QDialog {
    Q_OBJECT
public:
    using Lister = std::function<std::vector<PortEntry>()>;
    // chosen: the devices the slots use now; they stay ticked.
    SlotPicker(Language language, Lister lister, const std::vector<std::string>& chosen, QWidget* parent = nullptr);

    // The devices ticked, in the list's order, each bound to its adapter's place.
    std::vector<std::string> Devices() const;
    QListWidget* List() const { return list_; }

private:
    void Fill();

    Lister lister_;
    std::vector<std::string> chosen_;
    std::vector<PortEntry> entries_;
    QListWidget* list_;
};

}  // namespace dt::station
