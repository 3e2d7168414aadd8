#include "StatusLine.h"

#include <QFrame>
#include <QMouseEvent>

#include "BytePort.h"
#include "ControllerProfile.h"
#include "ElidedLabel.h"
#include "GridCtrl.h"
#include "OptionLists.h"
#include "QtText.h"
#include "ToolState.h"

namespace {

// Parts of the controller description; the same in both languages.
const char* const kSeparator = " · ";

const QColor kChangedColour(200, 60, 0);

constexpr uint16_t kVersionMask = 0x03FF;
constexpr int kCustomerShift = 10;

}  // namespace

CStatusLine::CStatusLine(const dt::ToolState& state, const dt::BytePort& port, QWidget* parent)
    : QStatusBar(parent), state_(state), port_(port) {
    setObjectName(QStringLiteral("statusLine"));
    portLabel_ = new CElidedLabel(this);
    controllerLabel_ = new CElidedLabel(this);
    changedLabel_ = new CElidedLabel(this);
    portLabel_->setObjectName(QStringLiteral("statusPort"));
    controllerLabel_->setObjectName(QStringLiteral("statusController"));
    changedLabel_->setObjectName(QStringLiteral("statusChanged"));
    // The count is what needs doing; it stands out in the colour of the change markers.
    QPalette marked = changedLabel_->palette();
    marked.setColor(QPalette::WindowText, kChangedColour);
    changedLabel_->setPalette(marked);
    // A click on the count opens the list of changes.
    changedLabel_->setCursor(Qt::PointingHandCursor);
    changedLabel_->SetTip(Q(state_.Extra(dt::XTX_CHANGES_TIP)));
    changedLabel_->installEventFilter(this);
    addWidget(portLabel_);
    controllerSeparator_ = AddSeparator();
    addWidget(controllerLabel_);
    changedSeparator_ = AddSeparator();
    addWidget(changedLabel_);
    rangeSeparator_ = AddSeparator();
    rangeLabel_ = new CElidedLabel(this);
    rangeLabel_->setObjectName(QStringLiteral("statusRange"));
    addWidget(rangeLabel_);
    SetEditingRange(QString());
    poll_.setInterval(kPortPollMs);
    connect(&poll_, &QTimer::timeout, this, &CStatusLine::Refresh);
    poll_.start();
    Refresh();
}

QFrame* CStatusLine::AddSeparator() {
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    addWidget(line);
    return line;
}

bool CStatusLine::eventFilter(QObject* watched, QEvent* e) {
    if (watched == changedLabel_ && e->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) {
        emit ChangesRequested();
        return true;
    }
    return QStatusBar::eventFilter(watched, e);
}

void CStatusLine::TakeController() {
    controller_.known = true;
    const dt::ControllerProfile& profile = dt::ProfileOf(state_);
    controller_.modelWord = profile.ModelWord(state_);
    controller_.variant = profile.Variant(state_);
    Refresh();
}

void CStatusLine::SetChanged(int changed) {
    changed_ = changed;
    Refresh();
}

void CStatusLine::SetEditingRange(const QString& text, bool outOfRange) {
    rangeWarns_ = outOfRange && !text.isEmpty();
    QPalette colours = palette();
    if (rangeWarns_) colours.setColor(QPalette::WindowText, CGridCtrl::kWarnColour);
    rangeLabel_->setPalette(colours);
    rangeLabel_->SetText(text);
    rangeLabel_->setVisible(!text.isEmpty());
    rangeSeparator_->setVisible(!text.isEmpty());
}

QString CStatusLine::EditingRangeText() const {
    return rangeLabel_->isVisibleTo(this) ? rangeLabel_->text() : QString();
}

int CStatusLine::PortNumber() const {
    if (port_.IsOpen()) return port_.PortNumber();
    return state_.settings.UartPort;
}

void CStatusLine::Refresh() {
    portLabel_->SetText(Q(PortStateText(state_, port_.IsOpen(), PortNumber())));
    controllerLabel_->SetText(Q(ControllerStateText(state_, controller_)));
    controllerLabel_->setVisible(controller_.known);
    controllerSeparator_->setVisible(controller_.known);
    // Bold only once there is a count: the bold face is loaded when the label is first laid out.
    if (changed_ > 0 && !changedLabel_->font().bold()) {
        QFont bold = changedLabel_->font();
        bold.setBold(true);
        changedLabel_->setFont(bold);
    }
    changedLabel_->SetText(Q(ChangedCountText(state_, changed_)));
    changedLabel_->setVisible(changed_ > 0);
    changedSeparator_->setVisible(changed_ > 0);
}

QString CStatusLine::PortText() const { return portLabel_->text(); }
QString CStatusLine::ControllerText() const { return controller_.known ? controllerLabel_->text() : QString(); }
QString CStatusLine::ChangedText() const { return changed_ > 0 ? changedLabel_->text() : QString(); }

std::string CStatusLine::PortStateText(const dt::ToolState& state, bool open, int number) {
    if (number <= 0) return state.Extra(dt::XTX_STATUS_NO_PORT);
    return dt::FillIn(state.Extra(open ? dt::XTX_STATUS_PORT_OPEN : dt::XTX_STATUS_PORT_CLOSED),
                      std::to_string(number));
}

std::string CStatusLine::ControllerStateText(const dt::ToolState& state, const Controller& controller) {
    if (!controller.known) return std::string();
    if (controller.variant.empty()) return state.Extra(dt::XTX_STATUS_FOC);
    const int customer = controller.modelWord >> kCustomerShift;
    const std::string name = dt::CustomerText(customer);
    const std::string customerText =
        name.empty() ? std::to_string(customer) : name + " (" + std::to_string(customer) + ")";
    return std::string(state.Extra(dt::XTX_STATUS_STANDARD)) + kSeparator +
           dt::FillIn(state.Extra(dt::XTX_STATUS_VARIANT), controller.variant) + kSeparator +
           dt::FillIn(state.Extra(dt::XTX_STATUS_CUSTOMER), customerText) + kSeparator +
           dt::FillIn(state.Extra(dt::XTX_STATUS_VERSION), std::to_string(controller.modelWord & kVersionMask));
}

namespace {
// A sentence about the changed values: its own text for one, the count filled in otherwise.
std::string CountedText(const dt::ToolState& state, dt::XtxId one, dt::XtxId many, int changed) {
    if (changed == 1) return state.Extra(one);
    return dt::FillIn(state.Extra(many), std::to_string(changed));
}
}  // namespace

std::string CStatusLine::ChangedCountText(const dt::ToolState& state, int changed) {
    if (changed <= 0) return std::string();
    return CountedText(state, dt::XTX_STATUS_ONE_CHANGED, dt::XTX_STATUS_CHANGED, changed);
}

std::string CStatusLine::CloseQuestion(const dt::ToolState& state, int changed) {
    return CountedText(state, dt::XTX_CLOSE_ONE_CHANGED, dt::XTX_CLOSE_CHANGED, changed);
}

std::string CStatusLine::UploadQuestion(const dt::ToolState& state, int changed) {
    return CountedText(state, dt::XTX_UPLOAD_ONE_CHANGED, dt::XTX_UPLOAD_CHANGED, changed);
}
