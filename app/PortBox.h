#pragma once
// The control panel's port box: an editable drop-down whose list is read afresh from the
// system every time it drops down, sorted by text, with its first entry selected. The box keeps
// its size; its list is as wide as its widest entry.
#include <QComboBox>

#include <functional>
#include <string>
#include <vector>

class CPortBox : public QComboBox {
    Q_OBJECT
public:
    // The entries to list ("COM<n> (<device>)"); the box sorts them itself.
    using Lister = std::function<std::vector<std::string>()>;

    explicit CPortBox(Lister lister, QWidget* parent = nullptr);

    // Empties the box (edit text included), refills it and selects the first entry, if any.
    void RefreshPortList();
    // The text Connect reads.
    std::string Text() const { return currentText().toStdString(); }

    void showPopup() override;

private:
    void FitListToEntries();

    Lister lister_;
};
