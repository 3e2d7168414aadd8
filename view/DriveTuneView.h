#pragma once
// CDriveTuneView: the window's one view. The control panel runs along its top; below it the
// parameter grid shows one row per record of the current table sets, in the current language.
// The view knows neither the application nor the link: the panel comes from a factory the
// application hands in, and messages go out through a sink.
#include <QFont>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>

#include "GridCtrl.h"

class BalloonTip;

namespace dt {
struct ToolState;
struct ParamTableSet;
struct ValidationResult;
}

class CDriveTuneView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kGridId = 101;
    static constexpr int kPanelHeight = 40;
    static constexpr int kPanelExtraWidth = 1000;

    // Creates the control panel as a child of the view and runs its initialisation.
    using PanelFactory = std::function<QWidget*(QWidget* parent)>;
    // The panel's SetBusy.
    using PanelBusy = std::function<void(bool enable)>;
    // ShowMessage of the application (text, MB_ICON_* type) -> result.
    using MessageSink = std::function<int(const std::string& text, int type)>;
    // Told the number of changed value cells whenever the marks were worked out again.
    using MarksListener = std::function<void(int changed)>;

    // Colours of one section (defined with the view's code).
    struct Palette;

    explicit CDriveTuneView(dt::ToolState& state, QWidget* parent = nullptr);
    ~CDriveTuneView() override;

    void SetPanelFactory(PanelFactory factory) { panelFactory_ = std::move(factory); }
    void SetPanelBusy(PanelBusy busy) { panelBusy_ = std::move(busy); }
    void SetMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
    void SetMarksListener(MarksListener listener) { marksListener_ = std::move(listener); }

    // First update: balloon, fonts, the panel, then the empty grid.
    void OnInitialUpdate();
    // Panel along the top (client width + 1000 wide, 40 high), grid below it.
    void OnSize(int width, int height);

    // Rows for the current controller kind and language; values are not filled. The edit
    // sheet is laid out for the same rows.
    void BuildGrid();
    // Value cells from the edit sheet.
    void ShowValues();
    // A download's range check: refused rows red, accepted ones back to their colour; a
    // refusal's message shown.
    void ShowCheck(const dt::ValidationResult& result);
    // Focus and scroll to the section or group with this title; unknown titles change nothing.
    void GoToGroup(const std::string& title);
    // Passed unchanged to the panel's SetBusy.
    void SetPanelEnabled(bool enable);

    // Changed values: the marks and the count again from the edit sheet.
    void RefreshMarks();
    int ChangedCount() const;

    // Grid notifications.
    void OnComboSelChange(int row, int col, const std::string& text);
    void OnGridClick(int row, int col);

    CGridCtrl* Grid() const { return grid_; }
    QWidget* Panel() const { return panel_; }
    BalloonTip* Balloon() const { return balloon_; }
    // Text last handed to the balloon ("" before any).
    const QString& LastHint() const { return lastHint_; }

    const QFont& TitleFont() const { return titleFont_; }
    const QFont& GridFont() const { return gridFont_; }
    const QFont& ValueFont() const { return valueFont_; }

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void FillTableRows(const dt::ParamTableSet& set, int firstRow, const Palette& palette);
    void FillFocRows();
    void SetNameCell(int row, const std::string& name, const QColor& bk);
    void SetValueCell(int row, int kind, int readOnly, const QColor& bk);
    void SetTitleCell(int row, int col, const std::string& text, const QColor& bk);
    void SetValueText(int row, const std::string& text);
    // The value cells as the user left them, into the edit sheet.
    void SheetFromGrid();
    int OnGridNotify(const GridNotify& n);
    QColor AcceptedColour(int row) const;

    dt::ToolState& state_;
    QPointer<CGridCtrl> grid_;
    QPointer<QWidget> panel_;
    BalloonTip* balloon_ = nullptr;
    QFont titleFont_;
    QFont gridFont_;
    QFont valueFontFace_;
    QFont groupFont_;
    QFont valueFont_;
    PanelFactory panelFactory_;
    PanelBusy panelBusy_;
    MessageSink messageSink_;
    MarksListener marksListener_;
    QString lastHint_;
};
