#include "MessageDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

#include "Fonts.h"
#include "Texts.h"
#include "ToolState.h"

namespace {

CMessageDlg::SoundHook& SoundHookRef()
{
    static CMessageDlg::SoundHook hook;
    return hook;
}

MessageHook& MessageHookRef()
{
    static MessageHook hook;
    return hook;
}

// Rounded a * b / c, as the platform's MulDiv.
int MulDiv(int a, int b, int c)
{
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>((p >= 0 ? p + c / 2 : p - c / 2) / c);
}

struct ButtonDef {
    int id;
    int result;
    int x, y;  // template position, dialog units
};

// Template order; every button is 39 x 14 dialog units.
constexpr ButtonDef kButtons[] = {
    {CMessageDlg::IDC_OK, CMessageDlg::IDOK, 50, 76},        {CMessageDlg::IDC_CANCEL, CMessageDlg::IDCANCEL, 97, 76},
    {CMessageDlg::IDC_YES, CMessageDlg::IDYES, 50, 55},      {CMessageDlg::IDC_NO, CMessageDlg::IDNO, 97, 55},
    {CMessageDlg::IDC_ABORT, CMessageDlg::IDABORT, 30, 35},  {CMessageDlg::IDC_RETRY, CMessageDlg::IDRETRY, 81, 35},
    {CMessageDlg::IDC_IGNORE, CMessageDlg::IDIGNORE, 132, 35},
};
constexpr int kButtonW = 39, kButtonH = 14;
constexpr int kTemplateW = 191, kTemplateH = 105;

struct ButtonSet {
    std::vector<int> visible;  // left to right
    int focus;                 // 0: none set
    bool closeEnabled;
};

const ButtonSet& SetFor(int type)
{
    static const ButtonSet sets[] = {
        {{CMessageDlg::IDC_OK}, 0, true},
        {{CMessageDlg::IDC_OK, CMessageDlg::IDC_CANCEL}, 0, true},
        {{CMessageDlg::IDC_ABORT, CMessageDlg::IDC_RETRY, CMessageDlg::IDC_IGNORE}, CMessageDlg::IDC_ABORT, false},
        {{CMessageDlg::IDC_YES, CMessageDlg::IDC_NO, CMessageDlg::IDC_CANCEL}, CMessageDlg::IDC_YES, true},
        {{CMessageDlg::IDC_YES, CMessageDlg::IDC_NO}, CMessageDlg::IDC_YES, false},
        {{CMessageDlg::IDC_RETRY, CMessageDlg::IDC_CANCEL}, CMessageDlg::IDC_RETRY, true},
    };
    const int set = type & 0x0F;
    // Sets the tool never uses fall back to OK only.
    return sets[set <= 5 ? set : 0];
}

}  // namespace

CMessageDlg::CMessageDlg(QWidget* owner, const QString& caption, const QString& text, int type, const QString& okText,
                         const QString& cancelText)
    : QDialog(owner), text_(text), type_(type)
{
    dt::InstallFontSubstitutions();
    setModal(true);
    setWindowTitle(caption);
    setFont(QFont(dt::kSongFace, 11));
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);

    measuringFont_ = QFont(dt::kSongFace);
    measuringFont_.setPixelSize(17);
    measuringFont_.setWeight(QFont::Black);

    const QFontMetrics fm(font());
    const int extent = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    layout_.baseWidth = (extent / 26 + 1) / 2;
    layout_.baseHeight = fm.height();
    resize(DuToPixelsX(kTemplateW), DuToPixelsY(kTemplateH));

    BuildControls(okText, cancelText);
    ApplyButtonSet();
    LayOut();
}

int CMessageDlg::DuToPixelsX(int x) const
{
    return MulDiv(x, layout_.baseWidth, 4);
}

int CMessageDlg::DuToPixelsY(int y) const
{
    return MulDiv(y, layout_.baseHeight, 8);
}

QPushButton* CMessageDlg::Button(int controlId) const
{
    for (const auto& [id, button] : buttons_)
        if (id == controlId)
            return button;
    return nullptr;
}

void CMessageDlg::BuildControls(const QString& okText, const QString& cancelText)
{
    // Captions: OK and Cancel from the current label table, the other five always English.
    const auto caption = [&](int id) -> QString {
        switch (id) {
        case IDC_OK:
            return okText;
        case IDC_CANCEL:
            return cancelText;
        case IDC_ABORT:
            return QStringLiteral("Abort");
        case IDC_RETRY:
            return QStringLiteral("Retry");
        case IDC_IGNORE:
            return QStringLiteral("Ignore");
        case IDC_YES:
            return QStringLiteral("Yes");
        default:
            return QStringLiteral("No");
        }
    };
    for (const ButtonDef& def : kButtons) {
        auto* b = new QPushButton(caption(def.id), this);
        b->setObjectName(QStringLiteral("button%1").arg(def.id));
        b->setAutoDefault(false);
        b->setGeometry(DuToPixelsX(def.x), DuToPixelsY(def.y), DuToPixelsX(kButtonW), DuToPixelsY(kButtonH));
        const int result = def.result;
        connect(b, &QPushButton::clicked, this, [this, result] { done(result); });
        b->installEventFilter(this);
        buttons_.emplace_back(def.id, b);
    }

    label_ = new QLabel(this);
    label_->setObjectName(QStringLiteral("text%1").arg(IDC_TEXT));
    label_->setTextFormat(Qt::PlainText);
    label_->setWordWrap(false);
    label_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setAttribute(Qt::WA_TranslucentBackground);
    label_->setForegroundRole(QPalette::WindowText);
    QFont labelFont(dt::kSongFace);
    labelFont.setPixelSize(17);
    label_->setFont(labelFont);
    label_->setGeometry(DuToPixelsX(73), DuToPixelsY(14), DuToPixelsX(104), DuToPixelsY(34));
    label_->installEventFilter(this);

    icon_ = new QLabel(this);
    icon_->setObjectName(QStringLiteral("icon%1").arg(IDC_ICON));
    icon_->setGeometry(DuToPixelsX(15), DuToPixelsY(15), DuToPixelsX(16), DuToPixelsY(17));
    icon_->installEventFilter(this);
}

void CMessageDlg::ApplyButtonSet()
{
    const ButtonSet& set = SetFor(type_);
    for (const auto& [id, button] : buttons_) {
        const bool shown = std::find(set.visible.begin(), set.visible.end(), id) != set.visible.end();
        button->setVisible(shown);
    }
    if ((type_ & 0x0F) == 0)
        sounds_.push_back(Sound::Default);
    closeEnabled_ = set.closeEnabled;
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    if (closeEnabled_)
        flags |= Qt::WindowCloseButtonHint;
    setWindowFlags(flags);
    if ((type_ & dt::MB_DEFBUTTON2) && set.visible.size() >= 2)
        Button(set.visible[1])->setFocus(Qt::OtherFocusReason);
    else if (set.focus)
        Button(set.focus)->setFocus(Qt::OtherFocusReason);

    QStyle::StandardPixmap pixmap = QStyle::SP_CustomBase;
    switch (type_ & 0xF0) {
    case 16:
        pixmap = QStyle::SP_MessageBoxCritical;
        sounds_.push_back(Sound::Stop);
        break;
    case 32:
        pixmap = QStyle::SP_MessageBoxQuestion;
        sounds_.push_back(Sound::Question);
        break;
    case 48:
        pixmap = QStyle::SP_MessageBoxWarning;
        sounds_.push_back(Sound::Exclamation);
        break;
    case 64:
        pixmap = QStyle::SP_MessageBoxInformation;
        sounds_.push_back(Sound::Information);
        break;
    default:
        break;
    }
    if (pixmap != QStyle::SP_CustomBase) {
        const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        icon_->setPixmap(style()->standardIcon(pixmap, nullptr, this).pixmap(size, size));
        icon_->resize(size, size);  // an icon label takes the icon's size
    } else {
        icon_->hide();
    }
}

void CMessageDlg::LayOut()
{
    Layout& L = layout_;
    const QFontMetrics fm(measuringFont_);
    const QStringList pieces = text_.split(QLatin1Char('\n'));
    L.lineCount = static_cast<int>(pieces.size()) + 1;
    // The widest line sets the width, so that no line is cut off.
    L.textWidth = 0;
    for (const QString& piece : pieces)
        L.textWidth = qMax(L.textWidth, fm.horizontalAdvance(piece));
    L.lineHeight = fm.height();

    QRect label = label_->geometry();
    if (icon_->isVisibleTo(this)) {
        L.iconRect = icon_->geometry();
        const int iconRight = L.iconRect.x() + L.iconRect.width();
        label = QRect(iconRight + 20, L.iconRect.y() + (L.lineCount == 2 ? 10 : 2), L.textWidth,
                      L.lineHeight * L.lineCount);
    } else {
        // Without an icon the label keeps its template place and takes the text's size.
        L.iconRect = QRect();
        label.setSize(QSize(L.textWidth, L.lineHeight * L.lineCount));
    }
    label_->setGeometry(label);
    label_->setText(text_);
    L.labelRect = label;

    L.buttonWidth = DuToPixelsX(kButtonW);
    L.buttonHeight = DuToPixelsY(kButtonH);
    const int width = qMax(label.x() + label.width() + 40, 3 * L.buttonWidth + 55);
    const int height = label.y() + label.height() + 60;
    L.dialogSize = QSize(width, height);
    setFixedSize(L.dialogSize);

    const ButtonSet& set = SetFor(type_);
    const int centre = width / 2;
    const int top = height - 20 - L.buttonHeight;
    const int bw = L.buttonWidth;
    std::vector<int> xs;
    switch (set.visible.size()) {
    case 1:
        xs = {centre - bw / 2};
        break;
    case 2:
        xs = {centre - 5 - bw, centre + 5};
        break;
    default:
        xs = {centre - bw / 2 - 5 - bw, centre - bw / 2, centre - bw / 2 + bw + 5};
        break;
    }
    L.buttonIds = set.visible;
    L.buttonRects.clear();
    for (size_t i = 0; i < set.visible.size(); ++i) {
        const QRect r(xs[i], top, bw, L.buttonHeight);
        Button(set.visible[i])->setGeometry(r);
        L.buttonRects.push_back(r);
    }
}

void CMessageDlg::SetSoundHook(SoundHook hook)
{
    SoundHookRef() = std::move(hook);
}

void CMessageDlg::Play(Sound s)
{
    if (SoundHookRef())
        SoundHookRef()(s);
    else
        QApplication::beep();
}

void CMessageDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!soundsPlayed_) {
        soundsPlayed_ = true;
        for (Sound s : sounds_)
            Play(s);
    }
}

void CMessageDlg::done(int r)
{
    result_ = r;
    QDialog::done(r);
}

void CMessageDlg::reject()
{
    done(IDCANCEL);
}

void CMessageDlg::closeEvent(QCloseEvent* e)
{
    // A greyed Close item: the close box does nothing.
    if (!closeEnabled_) {
        e->ignore();
        return;
    }
    e->accept();
    done(IDCANCEL);
}

void CMessageDlg::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        done(EnterResult());
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        done(IDCANCEL);
        return;
    }
    QDialog::keyPressEvent(e);
}

bool CMessageDlg::eventFilter(QObject* watched, QEvent* e)
{
    // Enter and Escape mean OK and Cancel wherever they are pressed, before any control sees them.
    if (e->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(e);
        if (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter) {
            done(EnterResult());
            return true;
        }
        if (ke->key() == Qt::Key_Escape) {
            done(IDCANCEL);
            return true;
        }
    }
    return QDialog::eventFilter(watched, e);
}

int CMessageDlg::EnterResult() const
{
    // A question whose pre-selected answer is No is never answered Yes by a stray Enter.
    return (type_ & dt::MB_DEFBUTTON2) && (type_ & 0x0F) == dt::MB_YESNO ? IDNO : IDOK;
}

void SetMessageHook(MessageHook hook)
{
    MessageHookRef() = std::move(hook);
}

int ShowMessage(QWidget* owner, const std::string& text, int type, const std::string& okText,
                const std::string& cancelText)
{
    QWidget* parent = owner ? owner : QApplication::activeWindow();
    CMessageDlg dlg(parent, QString::fromUtf8(dt::kMessageCaption), QString::fromStdString(text), type,
                    QString::fromStdString(okText), QString::fromStdString(cancelText));
    if (MessageHookRef()) {
        const int answer = MessageHookRef()(dlg);
        if (answer >= 0)
            return answer;
    }
    dlg.exec();
    return dlg.Result();
}

int ShowMessage(QWidget* owner, const dt::ToolState& state, const std::string& text, int type)
{
    return ShowMessage(owner, text, type, state.Label(dt::LBL_OK), state.Label(dt::LBL_CANCEL));
}
