#pragma once
// CFindBar: the find field at the right of the status line, opened by Ctrl+F. Typing goes to
// the first row whose name contains the text, ignoring case, in either language (a manual in
// English finds a row of the Chinese table). Enter or F3 goes to the next match, Shift+F3 to
// the previous one; while the field is open every matching name is framed. Esc closes it and
// hands the focus back to the grid. Without a match the field turns light red and nothing moves.
#include <QLineEdit>

#include <vector>

class CDriveTuneView;

namespace dt {
struct ToolState;
}

class CFindBar : public QLineEdit {
    Q_OBJECT
public:
    static constexpr int kWidth = 240;
    static inline const QColor kNoMatchColour{255, 204, 204};

    CFindBar(const dt::ToolState& state, CDriveTuneView& view, QWidget* parent = nullptr);

    // Ctrl+F, F3 and Shift+F3 anywhere in window.
    void InstallShortcuts(QWidget* window);

    void Open();
    void Close();
    void Next();
    void Previous();
    // Searches again and frames the matches of a rebuilt grid, keeping the place.
    void Reapply();

    // Grid rows whose names match, top to bottom; the one gone to (-1 for none).
    const std::vector<int>& Matches() const { return matches_; }
    int CurrentRow() const;
    bool ShowsNoMatch() const { return noMatch_; }

    // Grid rows of the state's layout whose name in either language contains text.
    static std::vector<int> RowsNamed(const dt::ToolState& state, const QString& text);

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void Search();
    void GoTo(int index);
    void Frame(bool on);
    void ShowNoMatch(bool noMatch);

    const dt::ToolState& state_;
    CDriveTuneView& view_;
    std::vector<int> matches_;
    int current_ = -1;
    bool noMatch_ = false;
};
