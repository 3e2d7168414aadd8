#pragma once
// CElidedLabel: a label that never asks for more width than it is given. A text too long for
// its place ends in "…" and the whole text shows as the tooltip, so no status text can widen the
// window past a small screen.
#include <QLabel>

class CElidedLabel : public QLabel {
    Q_OBJECT
public:
    explicit CElidedLabel(QWidget* parent = nullptr);

    // Text and tooltip through these, so that a cut text shows whole in the tooltip.
    void SetText(const QString& text);
    void SetTip(const QString& tip);

    // The text as drawn now: the whole text, or its start and "…".
    QString ShownText() const;

    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void UpdateTip();
    QString tip_;  // the label's own tooltip, under the whole text when that is cut
};
