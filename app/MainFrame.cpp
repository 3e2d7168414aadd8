#include "MainFrame.h"

#include <algorithm>
#include <map>

#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QToolButton>
#include <QTreeWidgetItemIterator>
#include <QShortcut>
#include <QWindow>

#include "BytePort.h"
#include "BackupsDlg.h"
#include "ChangesDlg.h"
#include "ControllerLink.h"
#include "ControllerProfile.h"
#include "DriveTuneView.h"
#include "FindBar.h"
#include "Fonts.h"
#include "GridPasses.h"
#include "GroupTree.h"
#include "LanguageSetup.h"
#include "MessageDlg.h"
#include "PortNumbering.h"
#include "QtText.h"
#include "Settings.h"
#include "StatusLine.h"
#include "SupportLog.h"
#include "Teardown.h"
#include "ToolState.h"

namespace {
// The message table keeps filters as "description|pattern||"; the dialogs want the description.
QString DialogFilterText(const std::string& filter) {
    return Q(filter.find('|') == std::string::npos ? filter : dt::DialogFilter(filter));
}
}  // namespace

CMainFrame::CMainFrame(dt::ToolState& state, dt::BytePort& port, AppPaths paths, CControlPanel::PortLister lister,
                       QWidget* parent)
    : QMainWindow(parent), state_(state), port_(port), paths_(std::move(paths)), lister_(std::move(lister)) {
    if (!lister_) lister_ = [] { return dt::PortNumbering::System().BoxEntries(); };
    link_ = std::make_unique<dt::ControllerLink>(state_, *this, port, paths_.settingsPath);
    link_->SetSheetView(this);
    link_->backups.SetFolder(paths_.backupDir);
    link_->commands.SetAskBeforeUnbackedDefault(true);
    link_->protocol.Events().Subscribe(*this);
    frameWatch_.setInterval(kFrameCheckMs);
    connect(&frameWatch_, &QTimer::timeout, this, &CMainFrame::FitFrame);
}

CMainFrame::~CMainFrame() {
    link_->protocol.Events().Unsubscribe(*this);
    frameWatch_.stop();
    // Focus moves while widgets go (the tree takes it and selects a group): nothing a child emits
    // from now on may reach the frame, whose members are going too.
    DisconnectChildrenFrom(this);
    // The find bar searches the view, and the view's grid and panel call back into the frame: the
    // status line goes first, then the view, each unreachable before it is deleted.
    CStatusLine* statusLine = statusLine_;
    statusLine_ = nullptr;
    findBar_ = nullptr;
    delete statusLine;
    CDriveTuneView* view = view_;
    view_ = nullptr;
    panel_ = nullptr;
    delete view;
}

dt::ControllerProtocol& CMainFrame::Protocol() { return link_->protocol; }
dt::ControllerCommands& CMainFrame::Commands() { return link_->commands; }
dt::ParameterFileCommands& CMainFrame::Files() { return link_->files; }
dt::BackupKeeper& CMainFrame::Backups() { return link_->backups; }

void CMainFrame::OnCreate() {
    setObjectName(QStringLiteral("mainFrame"));
    view_ = new CDriveTuneView(state_, this);
    view_->setObjectName(QStringLiteral("driveTuneView"));
    setCentralWidget(view_);

    setWindowTitle(Q(dt::kWindowTitle));
    PlaceOnScreen();

    state_.dataValid = false;
    link_->protocol.ClearReceiveBuffer();
    state_.settings = dt::LoadSettings(paths_.settingsPath);
    dt::ApplyLanguage(state_, paths_.textIniPath);

    pane_ = new QDockWidget(QStringLiteral("控制窗口"), this);
    pane_->setObjectName(QStringLiteral("groupTreePane"));
    // With no menu a closed pane could not come back, so it only moves and floats.
    pane_->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    // The title is Chinese in both languages: drawn in the CJK face, not in a Latin face that
    // borrows its glyphs after a search of every installed font.
    QFont titleFont = pane_->font();
    titleFont.setFamily(dt::kSongFace);
    pane_->setFont(titleFont);
    tree_ = new CGroupTree(pane_);
    pane_->setWidget(tree_);
    addDockWidget(Qt::LeftDockWidgetArea, pane_);
    resizeDocks({pane_}, {kPaneWidth}, Qt::Horizontal);
    tree_->LoadLogo(Q(paths_.logoPath));
    connect(tree_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnTreeSelection(current); });
    RebuildGroupTree();

    view_->SetPanelFactory([this](QWidget* parent) { return CreatePanel(parent); });
    view_->SetPanelBusy([this](bool enable) {
        if (panel_) panel_->SetBusy(enable);
    });
    view_->SetMessageSink([this](const std::string& text, dt::MessageKind kind) { ShowMessage(text, kind); });
    CreateStatusLine();
}

void CMainFrame::CreateStatusLine() {
    statusLine_ = new CStatusLine(state_, port_, this);
    setStatusBar(statusLine_);
    AddBackupsButton();
    findBar_ = new CFindBar(state_, *view_, statusLine_);
    statusLine_->addPermanentWidget(findBar_);
    findBar_->InstallShortcuts(this);
    view_->SetMarksListener([this](int changed) {
        if (statusLine_) statusLine_->SetChanged(changed);
        if (changes_) changes_->Refresh();
        MarkTopics();
    });
    connect(statusLine_, &CStatusLine::ChangesRequested, this, &CMainFrame::ShowChanges);
    auto* changesKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_L), this);
    connect(changesKey, &QShortcut::activated, this, &CMainFrame::ShowChanges);
    view_->SetRangeListener([this](const QString& line, bool outOfRange) {
        if (statusLine_) statusLine_->SetEditingRange(line, outOfRange);
    });
}

void CMainFrame::ShowBackups() {
    if (!backupsList_) {
        CBackupsDlg::Actions actions;
        actions.load = [this](const std::string& path) { ImportAsStep(path); };
        actions.download = [this](const std::string& path) {
            if (ImportAsStep(path)) link_->commands.Download();
        };
        backupsList_ = new CBackupsDlg(state_, paths_.backupDir, std::move(actions), this);
    } else {
        backupsList_->Refresh();
    }
    backupsList_->show();
    backupsList_->raise();
    backupsList_->activateWindow();
}

CBackupsDlg* CMainFrame::BackupsList() const { return backupsList_; }

bool CMainFrame::ImportAsStep(const std::string& path) {
    bool taken = false;
    const auto load = [&] { taken = link_->files.ImportFrom(path); };
    if (view_) view_->RecordImport(load, QFileInfo(Q(path)).fileName().toStdString());
    else load();
    return taken;
}

void CMainFrame::ImportChosenFile() {
    const std::string path =
        ChooseOpenFile(state_.Message(dt::MSG_IMPORT_TITLE), dt::DialogFilter(state_.Message(dt::MSG_FILE_FILTER)));
    if (!path.empty()) ImportAsStep(path);
}

void CMainFrame::AddBackupsButton() {
    auto* backupsKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B), this);
    connect(backupsKey, &QShortcut::activated, this, &CMainFrame::ShowBackups);
    auto* backupsButton = new QToolButton(statusLine_);
    backupsButton->setObjectName(QStringLiteral("backupsButton"));
    backupsButton->setAutoRaise(true);
    RelabelBackupsButton();
    connect(backupsButton, &QToolButton::clicked, this, &CMainFrame::ShowBackups);
    statusLine_->addPermanentWidget(backupsButton);
}

void CMainFrame::RelabelBackupsButton() {
    auto* button = findChild<QToolButton*>(QStringLiteral("backupsButton"));
    if (!button) return;
    button->setText(Q(state_.Extra(dt::XTX_BACKUPS_BUTTON)));
    button->setAccessibleName(button->text());
    button->setToolTip(Q(state_.Extra(dt::XTX_BACKUPS_TIP)));
}

void CMainFrame::ShowChanges() {
    if (!changes_) {
        CChangesDlg::Actions actions;
        actions.revertRow = [this](int row) {
            if (view_) view_->RevertRow(row);
        };
        actions.revertAll = [this] {
            if (view_) view_->RevertAll();
        };
        actions.goTo = [this](int row) { GoToRow(row); };
        changes_ = new CChangesDlg(state_, std::move(actions), this);
    }
    changes_->show();
    changes_->raise();
    changes_->activateWindow();
}

CChangesDlg* CMainFrame::Changes() const { return changes_; }

void CMainFrame::GoToRow(int row) {
    if (!view_ || !view_->GoToRow(row) || !tree_) return;
    // The topic follows without moving the grid to the topic's first row.
    const dt::RowTopic where = dt::TopicOfRow(state_, row);
    QTreeWidgetItem* set = where.set == dt::GridSet::Function ? functionItem_ : parameterItem_;
    QTreeWidgetItem* topic = set && where.group >= 0 ? set->child(where.group) : set;
    if (!topic) return;
    const QSignalBlocker quiet(tree_);
    tree_->setCurrentItem(topic);
    tree_->scrollToItem(topic);
}

void CMainFrame::MarkTopics() {
    if (!tree_ || !view_) return;
    std::map<QTreeWidgetItem*, int> marks;
    auto mark = [&](int row, int what) {
        const dt::RowTopic where = dt::TopicOfRow(state_, row);
        QTreeWidgetItem* set = where.set == dt::GridSet::Function ? functionItem_ : parameterItem_;
        if (!set) return;
        marks[set] |= what;
        if (where.group >= 0 && set->child(where.group)) marks[set->child(where.group)] |= what;
    };
    for (int row : state_.sheet.ChangedRows()) mark(row, CGroupTree::kChangedMark);
    for (int row : view_->OutOfRangeRows()) mark(row, CGroupTree::kOutOfRangeMark);
    for (QTreeWidgetItemIterator it(tree_); *it; ++it) CGroupTree::SetTopicMark(*it, marks[*it]);
}

void CMainFrame::OnReadCompleted(const dt::ReadCompleted&) {
    // The sheet's baseline is the new read, and its history starts there; the status line
    // names the controller read.
    if (view_) {
        view_->ClearHistory();
        view_->RefreshMarks();
    }
    if (statusLine_) statusLine_->TakeController();
}

void CMainFrame::OnStoreOutcome(const dt::StoreOutcome&) {
    if (view_) view_->RefreshMarks();
    if (statusLine_) statusLine_->Refresh();
}

void CMainFrame::OnLinkLost(const dt::LinkLost&) {
    if (statusLine_) statusLine_->Refresh();
}

void CMainFrame::OnValuesChecked(const dt::ValidationResult& result) {
    if (view_) view_->ShowCheck(result);
}

bool CMainFrame::AskAboutChanges(const std::string& question) {
    return Ask(question, dt::MessageKind::Question);
}

bool CMainFrame::ConfirmCloseWithChanges() {
    const int changed = view_ ? view_->ChangedCount() : 0;
    if (changed <= 0) return true;
    return AskAboutChanges(CStatusLine::CloseQuestion(state_, changed));
}

bool CMainFrame::ConfirmUploadOverChanges() {
    const int changed = view_ ? view_->ChangedCount() : 0;
    // A closed port gets the upload's own message instead of a question.
    if (changed <= 0 || !port_.IsOpen()) return true;
    return AskAboutChanges(CStatusLine::UploadQuestion(state_, changed));
}

void CMainFrame::closeEvent(QCloseEvent* e) {
    if (!ConfirmCloseWithChanges()) {
        e->ignore();
        return;
    }
    QMainWindow::closeEvent(e);
}

QRect CMainFrame::ChoosePlacement(const QRect& available, const QMargins& frame) {
    if (!available.isValid()) return QRect(0, 0, kWidth, kHeight);
    // The title bar and borders count: a window whose frame hangs over the edge loses its status line.
    const QRect room = available.marginsRemoved(frame);
    const QSize size(std::min(kWidth, room.width()), std::min(kHeight, room.height()));
    // From the free space on each side: QRect::center() rounds down and would put an exactly
    // fitting window one pixel above the area.
    const QPoint offset((room.width() - size.width()) / 2, (room.height() - size.height()) / 2);
    return QRect(room.topLeft() + offset, size);
}

void CMainFrame::PlaceOnScreen() {
    if (const QScreen* s = screen()) PlaceOn(*s);
    else setGeometry(ChoosePlacement(QRect()));
}

QMargins CMainFrame::FrameMargins() const {
    // The window's own figure: the widget's cached frame lags behind a window manager's reparenting.
    return windowHandle() ? windowHandle()->frameMargins() : QMargins();
}

void CMainFrame::PlaceOn(const QScreen& screen) {
    setGeometry(ChoosePlacement(screen.availableGeometry(), FrameMargins()));
}

void CMainFrame::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    // A window manager frames the window some time after it is shown, without moving it. A
    // window brought back from the task bar stays where the user left it.
    if (e->spontaneous()) return;
    frameChecks_ = 0;
    frameWatch_.start();
}

void CMainFrame::FitFrame() {
    // Once, when the frame first shows up; after that the user places the window.
    if (!isVisible() || ++frameChecks_ > kFrameChecks) {
        frameWatch_.stop();
        return;
    }
    const QMargins frame = FrameMargins();
    if (frame.isNull()) return;
    frameWatch_.stop();
    const QScreen* s = screen();
    if (s && !s->availableGeometry().contains(geometry().marginsAdded(frame))) PlaceOn(*s);
}

QWidget* CMainFrame::CreatePanel(QWidget* parent) {
    panel_ = new CControlPanel(state_, *this, *link_, *this, paths_, lister_, parent);
    panel_->SetImporter([this] { ImportChosenFile(); });
    panel_->SetUploadGuard([this] { return ConfirmUploadOverChanges(); });
    panel_->Initialise();
    return panel_;
}

void CMainFrame::RebuildGroupTree() {
    RelabelBackupsButton();  // the language may have changed
    if (!tree_) return;
    tree_->clear();
    rootItem_ = new QTreeWidgetItem(tree_, QStringList(Q(state_.ProductTitle())));
    const std::vector<dt::GridHeading> headings = dt::ProfileOf(state_).Headings(state_);
    // A sheet of one table needs no node of its own: its topics hang from the root.
    const int tables = std::count_if(headings.begin(), headings.end(), [](const auto& h) { return h.level == 0; });
    const int topLevel = tables == 1 ? 1 : 0;
    std::vector<QTreeWidgetItem*> topics;
    for (const dt::GridHeading& h : headings) {
        if (h.level < topLevel) continue;
        QTreeWidgetItem* parent = h.level == topLevel || topics.empty() ? rootItem_ : topics.back();
        QTreeWidgetItem* item = new QTreeWidgetItem(parent, QStringList(Q(h.text)));
        item->setToolTip(0, item->text(0));  // the pane may cut a long title
        if (parent == rootItem_) topics.push_back(item);
    }
    rootItem_->setExpanded(true);
    if (!topics.empty() && topics.front()->childCount() > 0) topics.front()->setExpanded(true);
    // The tree's two tables, whichever order the sheet has them in.
    const dt::Language lang = state_.language;
    parameterItem_ = functionItem_ = nullptr;
    for (QTreeWidgetItem* item : topics) {
        if (!parameterItem_ && item->text(0) == Q(state_.Tables().ParameterSettings().Title(lang))) parameterItem_ = item;
        else if (!functionItem_ && item->text(0) == Q(state_.FunctionSettings().Title(lang))) functionItem_ = item;
    }
    QFont treeFont(dt::kSongFace);
    treeFont.setPointSizeF(11.0);
    tree_->setFont(treeFont);
    QPalette pal = tree_->palette();
    pal.setColor(QPalette::Base, QColor(255, 255, 224));
    tree_->setPalette(pal);
    tree_->viewport()->update();
}

void CMainFrame::OnTreeSelection(QTreeWidgetItem* current) {
    if (current && view_) view_->GoToGroup(current->text(0).toStdString());
}

void CMainFrame::SetLinkBusy(bool busy) {
    if (view_) view_->SetPanelEnabled(!busy);
    if (statusLine_) statusLine_->Refresh();
}

void CMainFrame::ReportBackupFailure(const std::string& why) {
    // Once per run: the technician knows, and the next operations are not interrupted again.
    if (backupFailureShown_) return;
    backupFailureShown_ = true;
    ShowMessage(state_.Extra(dt::XTX_BACKUP_FAILED) + std::string("\n") + why, dt::MessageKind::Warning);
}

int CMainFrame::ShowBox(const std::string& text, int type) {
    if (statusLine_) statusLine_->Refresh();
    dt::LogEvent("message: " + text);
    return ::ShowMessage(this, state_, text, type);
}

void CMainFrame::ShowMessage(const std::string& text, dt::MessageKind kind) { ShowBox(text, dt::BoxType(kind)); }

bool CMainFrame::Ask(const std::string& text, dt::MessageKind kind) {
    return ShowBox(text, dt::QuestionBoxType(kind)) == CMessageDlg::IDYES;
}

void CMainFrame::BuildGrid() {
    if (view_) view_->BuildGrid();
    if (findBar_) findBar_->Reapply();
}

void CMainFrame::ShowValues() {
    if (view_) view_->ShowValues();
}

std::string CMainFrame::ChooseSaveFile(const std::string& title, const std::string& filter,
                                       const std::string& defaultExt) {
    const std::string path = fileHook_ ? fileHook_(true, title, filter, defaultExt) : SaveDialog(title, filter, defaultExt);
    dt::LogEvent(path.empty() ? "file to write: none chosen" : "file to write: " + path);
    return path;
}

std::string CMainFrame::SaveDialog(const std::string& title, const std::string& filter, const std::string& defaultExt) {
    QFileDialog dialog(this, Q(title), QString(), DialogFilterText(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(Q(defaultExt));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::string();
    return dialog.selectedFiles().first().toStdString();
}

std::string CMainFrame::ChooseOpenFile(const std::string& title, const std::string& filter) {
    const std::string path = fileHook_ ? fileHook_(false, title, filter, std::string()) : OpenDialog(title, filter);
    dt::LogEvent(path.empty() ? "file to read: none chosen" : "file to read: " + path);
    return path;
}

std::string CMainFrame::OpenDialog(const std::string& title, const std::string& filter) {
    QFileDialog dialog(this, Q(title), QString(), DialogFilterText(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::string();
    return dialog.selectedFiles().first().toStdString();
}
