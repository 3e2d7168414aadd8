#pragma once
// A speech balloon with a tail that points at a screen position: shows a multi-line text half
// a second after Show, and goes away at the first half-second check after the mouse moved.
// Top-most, never takes the focus, shaped by a window mask.
#include <QPixmap>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>

class BalloonTip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDelayMs = 500;
    static constexpr int kCheckMs = 500;
    static constexpr int kMarginX = 12;
    static constexpr int kMarginY = 10;
    static constexpr int kCornerW = 12;
    static constexpr int kCornerH = 10;
    static constexpr int kTail = 25;
    static constexpr int kIconGap = 5;
    static constexpr int kBorder = 3;

    explicit BalloonTip(QWidget* owner = nullptr);
    ~BalloonTip() override;

    // Hidden pop-up owned by owner, and its font. Safe to call again.
    bool Create(QWidget* owner);
    // Shows text (lines split at "\n") after the delay, the tail at the cursor or at anchor.
    // Showing again replaces text and anchor and starts a new delay.
    void Show(const QString& text);
    void Show(const QString& text, const QPoint& anchor);
    // Stops the timers and hides.
    void Destroy();
    void SetIcon(const QPixmap& icon) { icon_ = icon; }

    // Where the mouse is; tests replace it.
    void SetCursorSource(std::function<QPoint()> source) { cursor_ = std::move(source); }

    QString Text() const { return text_; }
    QPoint Anchor() const { return anchor_; }
    bool IsWaiting() const { return appear_.isActive(); }
    // Balloon body w × h (without the tail) for the current text.
    QSize BodySize() const;
    // Window shape: rounded body and tail, in window coordinates.
    QRegion Shape() const;
    // The tail's tip in window coordinates.
    QPoint TailTip() const;
    QFont BalloonFont() const { return font(); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    void Appear();
    void Check();
    QRect TextRect() const;

    QString text_;
    QPoint anchor_;
    QPixmap icon_;
    QTimer appear_;
    QTimer check_;
    std::function<QPoint()> cursor_;
};
