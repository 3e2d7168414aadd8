#include "ControlPanel.h"

#include <QFontInfo>
#include <QIcon>
#include <QToolButton>

#include "AppResources.h"
#include "ControllerLink.h"
#include "Fonts.h"
#include "GridPasses.h"
#include "LanguageSetup.h"
#include "LinkHost.h"
#include "PanelButton.h"
#include "PortBox.h"
#include "Settings.h"
#include "SupportLog.h"
#include "ToolState.h"

namespace {

struct ButtonPlace {
    int id;
    int x;  // dialog units; every button is 20 x 20 at y 0
    bool visible;
};
const ButtonPlace kButtons[CControlPanel::kButtonCount] = {
    {CControlPanel::IDC_CONNECT, 5, true},   {CControlPanel::IDC_UPLOAD, 80, true},
    {CControlPanel::IDC_DOWNLOAD, 110, true}, {CControlPanel::IDC_STORE, 135, false},
    {CControlPanel::IDC_DEFAULT, 140, true},  {CControlPanel::IDC_IMPORT, 170, true},
    {CControlPanel::IDC_EXPORT, 200, true},   {CControlPanel::IDC_LANGUAGE, 355, false},
};
constexpr int kButtonDlu = 20;
const QRect kPortBoxDlu(28, 5, 40, 79);
constexpr int kHotLift = 30;
constexpr int kInitialWidth = 2000;
constexpr int kInitialHeight = 45;

}  // namespace

CControlPanel::CControlPanel(dt::ToolState& state, dt::SheetView& sheet, dt::ControllerLink& link,
                             dt::FileChooser& files, AppPaths paths, PortLister lister, QWidget* parent)
    : QWidget(parent), state_(state), sheet_(sheet), link_(link), files_(files), paths_(std::move(paths)) {
    LoadAppResources();
    setObjectName(QStringLiteral("controlPanel"));
    QFont panelFont(dt::kSongFace);
    panelFont.setPointSizeF(12.0);
    setFont(panelFont);

    for (int i = 0; i < kButtonCount; ++i) {
        const ButtonPlace& place = kButtons[i];
        auto* b = new CPanelButton(this);
        b->setObjectName(QStringLiteral("button%1").arg(place.id));
        b->setGeometry(DialogRect(place.x, 0, kButtonDlu, kButtonDlu));
        b->setToolButtonStyle(Qt::ToolButtonIconOnly);
        b->setIcon(ReadIcon({IconResource(place.id)}));
        b->setIconSize(b->size() - QSize(8, 8));
        b->setFocusPolicy(Qt::TabFocus);
        if (!place.visible) b->hide();
        connect(b, &QToolButton::clicked, this, [this, id = place.id] { OnButton(id); });
        buttons_[i] = b;
    }
    portBox_ = new CPortBox(std::move(lister), this);
    portBox_->setObjectName(QStringLiteral("portBox"));
    const QRect box = DialogRect(kPortBoxDlu.x(), kPortBoxDlu.y(), kPortBoxDlu.width(), kPortBoxDlu.height());
    // The height in the layout is that of the open list; the closed box keeps its own height.
    portBox_->setGeometry(box.x(), box.y(), box.width(), portBox_->sizeHint().height());
    portBox_->setMaxVisibleItems(qMax(1, (box.height() - portBox_->sizeHint().height()) / 16));
    resize(DialogRect(0, 0, kWidthDlu, kHeightDlu).size());
}

CControlPanel::~CControlPanel() = default;

QRect CControlPanel::DialogRect(int x, int y, int w, int h) const {
    // A 宋体 character cell is half an em wide and one em high, so a dialog unit is an eighth of
    // the em both ways; the substitute font's own metrics would give another layout.
    const double unit = QFontInfo(font()).pixelSize() / 8.0;
    auto px = [unit](int dlu) { return static_cast<int>(dlu * unit + 0.5); };
    return QRect(px(x), px(y), px(w), px(h));
}

QColor CControlPanel::HotColour(const QColor& base) {
    const int top = qMax(base.red(), qMax(base.green(), base.blue()));
    const int lift = qMax(0, qMin(kHotLift, 255 - top));
    return QColor(base.red() + lift, base.green() + lift, base.blue() + lift);
}

QToolButton* CControlPanel::Button(int id) const {
    const int i = id - IDC_CONNECT;
    return i >= 0 && i < kButtonCount ? buttons_[i] : nullptr;
}

void CControlPanel::Initialise() {
    setGeometry(0, 0, kInitialWidth, kInitialHeight);
    RelabelPanel();
    RefreshPortList();
    link_.commands.InitialisePanel(portBox_->Text());
}

void CControlPanel::RelabelPanel() {
    for (int i = 0; i < kButtonCount; ++i) {
        QToolButton* b = buttons_[i];
        const QString label = QString::fromStdString(state_.Label(static_cast<dt::LblId>(dt::LBL_CONNECT + i)));
        b->setToolTip(label);
        b->setAccessibleName(label);
    }
    portBox_->setEditText(QStringLiteral("COM%1").arg(state_.settings.UartPort));
    update();
}

dt::ReplyTimeout& CControlPanel::Timeout() { return link_.timeout; }

void CControlPanel::RefreshPortList() { portBox_->RefreshPortList(); }

void CControlPanel::SetBusy(bool enable) {
    busy_ = !enable;
    for (QToolButton* b : buttons_) b->setEnabled(enable);
    portBox_->setEnabled(enable);
    link_.timeout.SetLinkBusy(!enable);
}

void CControlPanel::ToggleLanguage() {
    state_.language = state_.language == dt::LANG_CHINESE ? dt::LANG_ENGLISH : dt::LANG_CHINESE;
    state_.settings.Language = state_.language;
    // The text-file rule decides again, so without a change of text.ini the language stays.
    dt::ApplyLanguage(state_, paths_.textIniPath);
    RelabelPanel();
    sheet_.RebuildGroupTree();
    sheet_.BuildGrid();
    if (state_.dataValid) {
        dt::ShowOnSheet(state_);
        sheet_.ShowValues();
    }
    dt::SaveSettings(paths_.settingsPath, state_.settings);
}

void CControlPanel::OnButton(int id) {
    // In English whatever the window's language, for whoever reads the log.
    static const char* const kNames[kButtonCount] = {"Connect", "Upload", "Download", "Store",
                                                     "Default", "Import", "Export", "Language"};
    const int i = id - IDC_CONNECT;
    if (i >= 0 && i < kButtonCount)
        dt::LogEvent(std::string("command: ") + kNames[i] + (id == IDC_CONNECT ? " " + portBox_->Text() : ""));
    switch (id) {
        case IDC_CONNECT: link_.commands.Connect(portBox_->Text()); break;
        case IDC_UPLOAD:
            if (!uploadGuard_ || uploadGuard_()) link_.commands.Upload();
            break;
        case IDC_DOWNLOAD: link_.commands.Download(); break;
        case IDC_STORE: link_.commands.Store(); break;
        case IDC_DEFAULT: link_.commands.Default(); break;
        case IDC_IMPORT:
            if (importer_) importer_();
            else link_.files.Import(files_);
            break;
        case IDC_EXPORT: link_.files.Export(files_); break;
        case IDC_LANGUAGE: ToggleLanguage(); break;
        default: break;
    }
}
