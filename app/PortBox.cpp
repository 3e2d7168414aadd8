#include "PortBox.h"

#include <QLineEdit>
#include <algorithm>

CPortBox::CPortBox(Lister lister, QWidget* parent) : QComboBox(parent), lister_(std::move(lister)) {
    setEditable(true);
    // Typed text only selects a port; it never becomes an entry.
    setInsertPolicy(QComboBox::NoInsert);
    setAccessibleName(QStringLiteral("COM"));
}

void CPortBox::RefreshPortList() {
    clear();
    if (QLineEdit* edit = lineEdit()) edit->clear();
    std::vector<std::string> entries = lister_ ? lister_() : std::vector<std::string>{};
    std::sort(entries.begin(), entries.end());
    for (const std::string& e : entries) addItem(QString::fromStdString(e));
    if (count() > 0) setCurrentIndex(0);
    // Show the start of the text ("COM1 (…"), not its end.
    if (QLineEdit* edit = lineEdit()) edit->setCursorPosition(0);
}

void CPortBox::showPopup() {
    RefreshPortList();
    QComboBox::showPopup();
}
