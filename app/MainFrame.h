#pragma once
// CMainFrame: the one main window. It holds the group tree pane on the left and the view in the
// middle, owns the controller's link (built as every front end builds it) and presents it:
// messages in CMessageDlg boxes, the grid through the view, files through the file dialogs.
#include <QMainWindow>
#include <QPointer>
#include <QRect>
#include <QTimer>

#include <functional>
#include <memory>
#include <string>

#include "AppPaths.h"
#include "ControlPanel.h"
#include "LinkEvents.h"
#include "LinkHost.h"

class QDockWidget;
class QScreen;
class QTreeWidgetItem;
class CDriveTuneView;
class CGroupTree;
class CStatusLine;
class CFindBar;
class CChangesDlg;
class CBackupsDlg;

namespace dt {
struct ToolState;
class BytePort;
struct ControllerLink;
class ControllerProtocol;
class ControllerCommands;
class BackupKeeper;
class ParameterFileCommands;
}

class CMainFrame : public QMainWindow,
                   public dt::LinkHost,
                   public dt::SheetView,
                   public dt::FileChooser,
                   public dt::LinkListener {
    Q_OBJECT
public:
    static constexpr int kWidth = 1070;
    static constexpr int kHeight = 720;
    static constexpr int kPaneWidth = 300;

    // The window's own geometry (frame excluded) on a screen whose free area is `available`,
    // with the window manager's frame around it: 1070 x 720 centred when it fits, frame
    // included; else shrunk to the area (the grid scrolls), centred on the side that fits.
    static QRect ChoosePlacement(const QRect& available, const QMargins& frame = QMargins());
    // Places the window inside the free area of `screen` with the frame it has now.
    void PlaceOn(const QScreen& screen);

    // Replaces the file dialogs (tests): save or open, title, filter, default extension -> path or "".
    using FileHook = std::function<std::string(bool save, const std::string& title, const std::string& filter,
                                               const std::string& defaultExt)>;

    CMainFrame(dt::ToolState& state, dt::BytePort& port, AppPaths paths,
               CControlPanel::PortLister lister = {}, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // The creation handler: title, size and place, link state cleared, settings and language,
    // the view and the group tree pane.
    void OnCreate();

    // dt::LinkHost
    void SetLinkBusy(bool busy) override;
    void ShowMessage(const std::string& text, dt::MessageKind kind) override;
    bool Ask(const std::string& text, dt::MessageKind kind) override;
    void ReportBackupFailure(const std::string& why) override;
    // dt::SheetView
    void RebuildGroupTree() override;
    void BuildGrid() override;
    void ShowValues() override;
    // dt::FileChooser
    std::string ChooseSaveFile(const std::string& title, const std::string& filter,
                               const std::string& defaultExt) override;
    std::string ChooseOpenFile(const std::string& title, const std::string& filter) override;

    // dt::LinkListener: the marks, the status line and the painted check follow the link.
    void OnReadCompleted(const dt::ReadCompleted& e) override;
    void OnStoreOutcome(const dt::StoreOutcome& e) override;
    void OnLinkLost(const dt::LinkLost& e) override;
    void OnValuesChecked(const dt::ValidationResult& result) override;

    void SetFileHook(FileHook hook) { fileHook_ = std::move(hook); }

    CDriveTuneView* View() const { return view_; }
    CGroupTree* Tree() const { return tree_; }
    QDockWidget* TreePane() const { return pane_; }
    CControlPanel* Panel() const { return panel_; }
    QTreeWidgetItem* RootItem() const { return rootItem_; }
    QTreeWidgetItem* ParameterItem() const { return parameterItem_; }
    QTreeWidgetItem* FunctionItem() const { return functionItem_; }
    CStatusLine* StatusLine() const { return statusLine_; }
    CFindBar* FindBar() const { return findBar_; }
    // The list of changes, opened (or raised) from the status line's count; null when closed.
    void ShowChanges();
    CChangesDlg* Changes() const;
    // A value row selected in the grid, its topic picked in the tree.
    void GoToRow(int row);
    // Marks on the topics holding changed values or values out of range.
    void MarkTopics();
    // The list of backups (Ctrl+Shift+B), opened or brought to the front.
    void ShowBackups();
    CBackupsDlg* BackupsList() const;
    // Loads a file (a backup, an imported set) into the grid as one undoable step named after the
    // file; true when it was taken.
    bool ImportAsStep(const std::string& path);
    // Import: the file asked for first, so that a cancelled choice is no step and leaves the
    // steps to redo alone.
    void ImportChosenFile();
    dt::ControllerLink& Link() { return *link_; }
    dt::ControllerProtocol& Protocol();
    dt::ControllerCommands& Commands();
    dt::ParameterFileCommands& Files();
    dt::BackupKeeper& Backups();

protected:
    // With changed values not yet downloaded, closing asks first.
    void closeEvent(QCloseEvent* e) override;
    // The window manager's frame is known only once the window is shown: placed again then.
    void showEvent(QShowEvent* e) override;

private:
    // A box of the given type, through the status line and the log; the box's result.
    int ShowBox(const std::string& text, int type);
    void PlaceOnScreen();
    void FitFrame();
    QMargins FrameMargins() const;
    void OnTreeSelection(QTreeWidgetItem* current);
    void CreateStatusLine();
    // Backups at the right of the status line, left of the find field, and Ctrl+Shift+B.
    void AddBackupsButton();
    void RelabelBackupsButton();
    bool ConfirmCloseWithChanges();
    // With changed values not yet downloaded, an upload asks first, as closing does.
    bool ConfirmUploadOverChanges();
    bool AskAboutChanges(const std::string& question);
    std::string SaveDialog(const std::string& title, const std::string& filter, const std::string& defaultExt);
    std::string OpenDialog(const std::string& title, const std::string& filter);
    QWidget* CreatePanel(QWidget* parent);

    dt::ToolState& state_;
    dt::BytePort& port_;
    AppPaths paths_;
    CControlPanel::PortLister lister_;
    std::unique_ptr<dt::ControllerLink> link_;
    bool backupFailureShown_ = false;
    CDriveTuneView* view_ = nullptr;
    CGroupTree* tree_ = nullptr;
    QDockWidget* pane_ = nullptr;
    CControlPanel* panel_ = nullptr;
    QTreeWidgetItem* rootItem_ = nullptr;
    QTreeWidgetItem* parameterItem_ = nullptr;
    QTreeWidgetItem* functionItem_ = nullptr;
    FileHook fileHook_;
    CStatusLine* statusLine_ = nullptr;
    CFindBar* findBar_ = nullptr;
    QPointer<CChangesDlg> changes_;
    QPointer<CBackupsDlg> backupsList_;
    // Looks for the window manager's frame a while after showing.
    static constexpr int kFrameCheckMs = 50;
    static constexpr int kFrameChecks = 40;
    QTimer frameWatch_;
    int frameChecks_ = 0;
};
