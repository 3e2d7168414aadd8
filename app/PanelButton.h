#pragma once
// A control panel button: its icon on a rounded face that is lightened while pointed at and
// darkened while pressed. Painted here: a style sheet would bring the style sheet engine, a
// megabyte and milliseconds at every start, for eight buttons.
#include <QToolButton>

class CPanelButton : public QToolButton {
public:
    explicit CPanelButton(QWidget* parent = nullptr);

    // The face for the button's state: pressed, pointed at (CControlPanel::HotColour), at rest.
    QColor Face() const;

protected:
    void paintEvent(QPaintEvent* e) override;
};
