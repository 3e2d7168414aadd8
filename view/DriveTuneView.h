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
#include <vector>

#include "GridCtrl.h"
#include "GridPasses.h"
#include "Texts.h"

class BalloonTip;
class CEditStep;
class QMenu;
class QUndoStack;

namespace dt {
struct ToolState;
struct ParamTableSet;
struct ValidationResult;
struct CellWrite;
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
    // ShowMessage of the application.
    using MessageSink = std::function<void(const std::string& text, dt::MessageKind kind)>;
    // Told the number of changed value cells whenever the marks were worked out again.
    using MarksListener = std::function<void(int changed)>;
    // Told the allowed-range line of the cell being edited when editing starts, "" when it ends;
    // also of the current cell while it holds a value outside its range (outOfRange true).
    using RangeListener = std::function<void(const QString& line, bool outOfRange)>;

    // Colours of one section (defined with the view's code).
    struct Palette;

    explicit CDriveTuneView(dt::ToolState& state, QWidget* parent = nullptr);
    ~CDriveTuneView() override;

    void SetPanelFactory(PanelFactory factory) { panelFactory_ = std::move(factory); }
    void SetPanelBusy(PanelBusy busy) { panelBusy_ = std::move(busy); }
    void SetMessageSink(MessageSink sink) { messageSink_ = std::move(sink); }
    void SetMarksListener(MarksListener listener) { marksListener_ = std::move(listener); }
    void SetRangeListener(RangeListener listener) { rangeListener_ = std::move(listener); }
    // "Allowed: 78.0 … 85.0 V" for a row the download holds to a range, else "".
    QString AllowedLine(int row) const;

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
    // Focus and scroll to a row's value cell; false for a row without one.
    bool GoToRow(int row);
    // Passed unchanged to the panel's SetBusy.
    void SetPanelEnabled(bool enable);

    // Changed values: the marks and the count again from the edit sheet.
    void RefreshMarks();
    int ChangedCount() const;
    // Rows whose values a download started now would refuse, as the last RefreshMarks found them.
    const std::vector<int>& OutOfRangeRows() const { return outOfRange_; }

    // Grid notifications.
    void OnComboSelChange(int row, int col, const std::string& text);
    void OnGridClick(int row, int col);

    // The history of the value cells (undo, redo), one step per action of the user, each with a
    // text naming what it changed. A read and a new grid start it anew.
    QUndoStack* History() const { return history_; }
    void ClearHistory();
    // The user's text for a value cell, into the sheet as one step; the same text again is none.
    void EditCell(int row, const std::string& text);
    // Runs an import (a file, a backup) as one step named after the file, blocks included.
    void RecordImport(const std::function<void()>& import, const std::string& fileName);
    // A marked row back to the controller's value; every marked row back. Undoable steps.
    bool RevertRow(int row);
    bool RevertAll();
    // The menu of a value cell: undo and redo naming their steps, the row's revert when it is
    // marked, revert all. Null for a cell that is not a value cell. The caller owns it.
    QMenu* CreateContextMenu(int row);

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
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void FillTableRows(const dt::ParamTableSet& set, int firstRow, const Palette& palette);
    void FillFocRows();
    void SetNameCell(int row, const std::string& name, const QColor& bk);
    void SetValueCell(int row, int kind, int readOnly, const QColor& bk);
    void SetTitleCell(int row, int col, const std::string& text, const QColor& bk);
    void SetValueText(int row, const std::string& text);
    // Texts into the sheet; the range rules' state follows them.
    void PutTexts(const std::vector<dt::CellWrite>& writes);
    void ApplyChoice(int row, const std::string& text);
    // A step that changes row, named after it; one with a name of its own (withImage keeps the
    // blocks as well). Push does it and keeps it.
    CEditStep* CellStep(int row, std::function<void()> work);
    CEditStep* NamedStep(const QString& text, std::function<void()> work, bool withImage);
    void Push(CEditStep* step);
    QString ChangeText(int row, const std::string& before, const std::string& after) const;
    int OnGridNotify(const GridNotify& n);
    static QColor AcceptedColour(dt::GridSet set, int row);
    bool IsValueRow(int row) const;
    void PopUpContextMenu(int row, const QPoint& globalPos);
    void CreateHistoryActions();
    void OnBeginEdit(int row);
    void MarkOutOfRange();
    void TellCurrentRange();
    bool IsOutOfRange(int row) const;

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
    RangeListener rangeListener_;
    QString lastHint_;
    QUndoStack* history_ = nullptr;
    // Numbers each opening of an in-place editor: the moves through one open list join.
    int editOpening_ = 0;
    std::vector<int> outOfRange_;
};
