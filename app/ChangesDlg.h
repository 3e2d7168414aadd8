#pragma once
// CChangesDlg: the values changed and not yet downloaded, one line a row with the parameter, the
// controller's value and the new value. From it a row goes back to the controller's value, all
// rows go back, or the grid jumps to a row. It stays open beside the window and follows the
// edit sheet: Refresh() after every change of the marks.
#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace dt {
struct ToolState;
}

class CChangesDlg : public QDialog {
    Q_OBJECT
public:
    // What the buttons do, by grid row; the reverts are the window's undoable steps.
    struct Actions {
        std::function<void(int row)> revertRow;
        std::function<void()> revertAll;
        std::function<void(int row)> goTo;
    };

    CChangesDlg(const dt::ToolState& state, Actions actions, QWidget* parent = nullptr);

    // The lines again from the sheet; the selection stays on its row, or moves to the next one
    // when that row went back.
    void Refresh();

    QTreeWidget* List() const { return list_; }
    // Grid rows of the lines, in order.
    std::vector<int> Rows() const;
    // The grid row of the selected line; -1 when none.
    int SelectedRow() const;
    void SelectRow(int row);

    QPushButton* RevertButton() const { return revert_; }
    QPushButton* RevertAllButton() const { return revertAll_; }
    QPushButton* GoToButton() const { return goTo_; }
    // Shown instead of the list when nothing is changed.
    QLabel* EmptyNote() const { return empty_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;

private:
    void RevertSelected();
    void GoToSelected();
    void UpdateButtons();

    const dt::ToolState& state_;
    Actions actions_;
    QTreeWidget* list_ = nullptr;
    QLabel* empty_ = nullptr;
    QPushButton* revert_ = nullptr;
    QPushButton* revertAll_ = nullptr;
    QPushButton* goTo_ = nullptr;
};
