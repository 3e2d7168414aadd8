#include "PortBox.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QScrollBar>
#include <QStyle>
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
    FitListToEntries();
}

void CPortBox::FitListToEntries() {
    // The list, not the box, grows: entries name the adapter and are far wider than the box.
    QAbstractItemView* list = view();
    int widest = 0;
    for (int i = 0; i < count(); ++i) widest = qMax(widest, list->fontMetrics().horizontalAdvance(itemText(i)));
    const int chrome = 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width() +
                       2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 8;
    list->setMinimumWidth(count() > 0 ? widest + chrome : 0);
}

void CPortBox::showPopup() {
    RefreshPortList();
    QComboBox::showPopup();
}
