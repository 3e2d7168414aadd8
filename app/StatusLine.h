#pragma once
// CStatusLine: the bar along the bottom of the main window. It shows the port and whether it
// is open, the controller of the last completed read, and how many values were changed and
// not yet downloaded, in the current language. The find field sits at its right.
#include <QStatusBar>
#include <QTimer>

#include <cstdint>
#include <string>

#include "ParamTables.h"

class QFrame;
class CElidedLabel;

namespace dt {
struct ToolState;
class BytePort;
}  // namespace dt

class CStatusLine : public QStatusBar {
    Q_OBJECT
public:
    // How often the port is looked at again: a device that goes away closes it unannounced.
    static constexpr int kPortPollMs = 500;

    // The controller as the last completed read found it.
    struct Controller {
        bool known = false;
        uint16_t modelWord = 0;
        std::string variant;  // "A" or "B"; none on an FOC controller
    };

    CStatusLine(const dt::ToolState& state, const dt::BytePort& port, QWidget* parent = nullptr);

    // A read completed: the controller is the one the state describes now.
    void TakeController();
    void SetChanged(int changed);
    // The allowed range of the cell being edited; "" when no cell is edited or it has none.
    // outOfRange: the cell holds a value outside it, and the range shows in the warning colour.
    void SetEditingRange(const QString& text, bool outOfRange = false);
    bool RangeWarns() const { return rangeWarns_; }
    QString EditingRangeText() const;
    // Every text again, from the port, the controller and the count.
    void Refresh();

    QString PortText() const;
    QString ControllerText() const;
    QString ChangedText() const;

    // The texts, in the state's language.
    static std::string PortStateText(const dt::ToolState& state, bool open, int number);
    static std::string ControllerStateText(const dt::ToolState& state, const Controller& controller);
    static std::string ChangedCountText(const dt::ToolState& state, int changed);
    // The question before closing with changes not yet downloaded.
    static std::string CloseQuestion(const dt::ToolState& state, int changed);
    // The question before an upload replaces changes not yet downloaded.
    static std::string UploadQuestion(const dt::ToolState& state, int changed);

signals:
    // The count was clicked: the list of changes is wanted.
    void ChangesRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    int PortNumber() const;
    QFrame* AddSeparator();

    const dt::ToolState& state_;
    const dt::BytePort& port_;
    Controller controller_;
    int changed_ = 0;
    bool rangeWarns_ = false;
    CElidedLabel* portLabel_ = nullptr;
    CElidedLabel* controllerLabel_ = nullptr;
    CElidedLabel* changedLabel_ = nullptr;
    CElidedLabel* rangeLabel_ = nullptr;
    QFrame* rangeSeparator_ = nullptr;
    QFrame* controllerSeparator_ = nullptr;
    QFrame* changedSeparator_ = nullptr;
    QTimer poll_;
};
