#pragma once
// The tool's own modal message box and ShowMessage, which every user-visible outcome goes through.
//
// Sizes from the dialog template are in dialog units. They become pixels as the platform's
// dialog manager does it, from the dialog font ("宋体" 11 pt): the base width is the average
// width of "A".."Z","a".."z" rounded ((extent / 26 + 1) / 2), the base height is the font's
// height (ascent + descent); x pixels = x * baseWidth / 4 and y pixels = y * baseHeight / 8,
// rounded to the nearest. All layout figures apply to the client area: the window manager owns
// the frame on Linux.
#include <QDialog>
#include <QPixmap>

#include <functional>
#include <string>
#include <vector>

#include "Texts.h"

class QLabel;
class QPushButton;

namespace dt {
struct ToolState;
}

class CMessageDlg : public QDialog {
    Q_OBJECT
public:
    enum Result { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };
    enum ControlId {
        IDC_ABORT = 1002,
        IDC_RETRY = 1003,
        IDC_IGNORE = 1004,
        IDC_YES = 1005,
        IDC_NO = 1006,
        IDC_OK = 1008,
        IDC_CANCEL = 1009,
        IDC_TEXT = 1010,
        IDC_ICON = 1011,
    };
    enum class Sound { Default, Stop, Question, Exclamation, Information };
    using SoundHook = std::function<void(Sound)>;

    // Pixel figures of the laid-out dialog.
    struct Layout {
        int baseWidth = 0;   // dialog base units
        int baseHeight = 0;
        int textWidth = 0;   // w: widest line in the measuring font
        int lineHeight = 0;  // h
        int lineCount = 0;   // n: lines + 1
        QRect iconRect;      // empty without an icon
        QRect labelRect;
        QSize dialogSize;                 // client area
        std::vector<int> buttonIds;       // visible, left to right
        std::vector<QRect> buttonRects;
        int buttonWidth = 0;
        int buttonHeight = 0;
    };

    // type: low four bits the button set (0..5), next four bits the icon (16, 32, 48, 64).
    CMessageDlg(QWidget* owner, const QString& caption, const QString& text, int type, const QString& okText,
                const QString& cancelText);

    const Layout& GetLayout() const { return layout_; }
    int Result() const { return result_; }
    int Type() const { return type_; }
    QString Text() const { return text_; }
    QPushButton* Button(int controlId) const;
    QLabel* TextLabel() const { return label_; }
    QLabel* IconLabel() const { return icon_; }
    bool CloseEnabled() const { return closeEnabled_; }
    QFont MeasuringFont() const { return measuringFont_; }

    int DuToPixelsX(int x) const;
    int DuToPixelsY(int y) const;

    // Where the sounds go; null restores the platform beep.
    static void SetSoundHook(SoundHook hook);

    void done(int r) override;
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void BuildControls(const QString& okText, const QString& cancelText);
    void ApplyButtonSet();
    int EnterResult() const;
    void LayOut();
    static void Play(Sound s);

    QString text_;
    int type_;
    int result_ = 0;
    bool closeEnabled_ = true;
    bool soundsPlayed_ = false;
    QFont measuringFont_;
    QLabel* label_ = nullptr;
    QLabel* icon_ = nullptr;
    std::vector<std::pair<int, QPushButton*>> buttons_;
    std::vector<Sound> sounds_;
    Layout layout_;
};

namespace dt {
// Message box types (icon bits; button set 0 = OK only).
enum MessageType { MB_ICON_ERROR = 16, MB_ICON_QUESTION = 32, MB_ICON_WARNING = 48, MB_ICON_INFO = 64 };
// Questions of the added features: the Yes/No button set, with No as the pre-selected answer, and
// the box's result for Yes.
enum MessageButtons { MB_YESNO = 4, MB_DEFBUTTON2 = 0x100 };
constexpr int kAnswerYes = 6;

// The box type of a message kind: its icon.
constexpr int BoxType(MessageKind kind) {
    switch (kind) {
    case MessageKind::Warning: return MB_ICON_WARNING;
    case MessageKind::Error: return MB_ICON_ERROR;
    case MessageKind::Question: return MB_ICON_QUESTION;
    case MessageKind::Info: break;
    }
    return MB_ICON_INFO;
}
// A Yes/No question's box type, No pre-selected.
constexpr int QuestionBoxType(MessageKind kind) { return BoxType(kind) | MB_YESNO | MB_DEFBUTTON2; }
}  // namespace dt

// Called with every box before it runs; a result of 0 or more is returned at once instead of
// running the box (tests answer boxes this way, or send keys and return -1). Null removes it.
using MessageHook = std::function<int(CMessageDlg&)>;
void SetMessageHook(MessageHook hook);

// Shows text in a modal box captioned "BRISKWHEELS" and returns the result. Texts are UTF-8
// and shown unchanged, empty ones included. Without an owner the active window owns the box.
int ShowMessage(QWidget* owner, const std::string& text, int type, const std::string& okText,
                const std::string& cancelText);
// The same with OK and Cancel from the state's current label table.
int ShowMessage(QWidget* owner, const dt::ToolState& state, const std::string& text, int type);
