#pragma once
// CControlPanel: the strip of icon buttons and the port box along the top of the view. Its
// buttons start the controller commands and the parameter-file commands; while an exchange
// runs the whole strip is greyed and the reply time-out counts.
#include <QColor>
#include <QFont>
#include <QRect>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppPaths.h"

class QToolButton;
class CPortBox;

namespace dt {
struct ToolState;
class LinkHost;
struct ControllerLink;
class FileChooser;
class ReplyTimeout;
class SheetView;
}

class CControlPanel : public QWidget {
    Q_OBJECT
public:
    enum ControlId {
        IDC_CONNECT = 1000,
        IDC_UPLOAD = 1001,
        IDC_DOWNLOAD = 1002,
        IDC_STORE = 1003,
        IDC_DEFAULT = 1004,
        IDC_IMPORT = 1005,
        IDC_EXPORT = 1006,
        IDC_LANGUAGE = 1007,
        IDC_PORTBOX = 1008,
    };
    static constexpr int kButtonCount = 8;
    // Panel size in dialog units.
    static constexpr int kWidthDlu = 388;
    static constexpr int kHeightDlu = 20;

    using PortLister = std::function<std::vector<std::string>()>;
    // Runs Import so that it can be undone as one step; without one the link imports.
    using Importer = std::function<void()>;
    // Asked before an upload; false: nothing is sent.
    using UploadGuard = std::function<bool()>;

    // The panel's buttons drive link; sheet shows the values again after a change of language;
    // files offers the file dialogs.
    CControlPanel(dt::ToolState& state, dt::SheetView& sheet, dt::ControllerLink& link, dt::FileChooser& files,
                  AppPaths paths, PortLister lister, QWidget* parent = nullptr);
    ~CControlPanel() override;

    // Panel initialisation: placed at 0, 0 (2000 x 45), labelled, port list refilled, the port
    // taken from it, saved and opened without sending anything.
    void Initialise();
    // Tooltips and accessible names from the label table; the port box text "COM<UartPort>".
    // The icons are set when the buttons are made, and each button works out its pointed-at
    // colour when it paints.
    void RelabelPanel();
    void RefreshPortList();
    // enable = false: everything greyed and the reply time-out started; true: the reverse.
    void SetBusy(bool enable);
    bool IsBusy() const { return busy_; }
    // Flips the language, applies it again and relabels, rebuilds and saves.
    void ToggleLanguage();
    void SetImporter(Importer importer) { importer_ = std::move(importer); }
    void SetUploadGuard(UploadGuard guard) { uploadGuard_ = std::move(guard); }

    QToolButton* Button(int id) const;
    CPortBox* PortBox() const { return portBox_; }
    dt::ReplyTimeout& Timeout();

    // Dialog units of the panel font in pixels.
    QRect DialogRect(int x, int y, int w, int h) const;
    // Pointed-at colour: every channel lightened by the same amount, at most 30, none past 255.
    static QColor HotColour(const QColor& base);

private:
    void OnButton(int id);

    dt::ToolState& state_;
    dt::SheetView& sheet_;
    dt::ControllerLink& link_;
    dt::FileChooser& files_;
    AppPaths paths_;
    std::array<QToolButton*, kButtonCount> buttons_{};
    CPortBox* portBox_ = nullptr;
    bool busy_ = false;
    Importer importer_;
    UploadGuard uploadGuard_;
};
