#include "StationWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSysInfo>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Backups.h"
#include "HistoryPanel.h"
#include "LanguageSetup.h"
#include "RecipeFile.h"
#include "SlotPicker.h"
#include "Settings.h"
#include "SlotTile.h"
#include "TileGrid.h"

namespace dt::station {

namespace {

constexpr const char* kSection = "Station";
constexpr double kSecondsPerHour = 3600.0;
// Units per hour are shown once a run has lasted this long: earlier rates mislead.
constexpr double kRateAfterSeconds = 10.0;

QLabel* Field(QWidget* parent, const QString& name) {
    auto* l = new QLabel(parent);
    l->setAccessibleName(name);
    l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return l;
}

}  // namespace

StationWindow::StationWindow(StationEnv env, QWidget* parent)
    : QWidget(parent),
      env_(std::move(env)),
      numbering_(PortNumbering::System(SettingsFolder(env_.paths.settingsPath) + "/ports")),
      thread_(std::make_unique<StationThread>()) {
    base_.settings = LoadSettings(env_.paths.settingsPath);
    // The main window's rule: text.ini present, Chinese; absent, English.
    ApplyLanguage(base_, env_.paths.textIniPath);
    if (!env_.ports) env_.ports = [this] { return numbering_.Ports(); };
    if (!env_.bell) env_.bell = [] { QApplication::beep(); };
    if (env_.station.empty()) env_.station = QSysInfo::machineHostName().toStdString();
    setWindowTitle(Text(STX_TITLE));
    BuildControls();
    ConnectWorker();
    operator_->setText(QString::fromStdString(ReadProfileString(env_.paths.settingsPath, kSection, "Operator")));
    SetSlotDevices(LoadSlotDevices(env_.paths.settingsPath));
    ShowRecipe();
    Lock(false);
}

StationWindow::~StationWindow() = default;

QString StationWindow::Text(StxId id) const { return QString::fromUtf8(StationText(base_.language, id)); }

void StationWindow::BuildControls() {
    tabs_ = new QTabWidget(this);
    tabs_->setAccessibleName(Text(STX_TITLE));
    grid_ = new TileGrid(tabs_);
    grid_->setAccessibleName(Text(STX_RUN_TAB));
    history_ = new HistoryPanel(base_.language, env_.journalPath, tabs_);
    tabs_->addTab(grid_, Text(STX_RUN_TAB));
    tabs_->addTab(history_, Text(STX_HISTORY_TAB));
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int i) {
        if (tabs_->widget(i) == history_) history_->Refresh();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(BuildRecipeRow());
    layout->addLayout(BuildEntryRow());
    layout->addLayout(BuildRunRow());
    layout->addWidget(tabs_, 1);
}

QLayout* StationWindow::BuildRecipeRow() {
    open_ = new QPushButton(Text(STX_RECIPE_OPEN), this);
    open_->setAccessibleName(Text(STX_RECIPE_OPEN));
    connect(open_, &QPushButton::clicked, this, &StationWindow::ChooseRecipe);
    file_ = Field(this, Text(STX_RECIPE_OPEN));
    QFont bold = file_->font();
    bold.setBold(true);
    file_->setFont(bold);
    kind_ = Field(this, Text(STX_RECIPE_OPEN));
    model_ = Field(this, Text(STX_RECIPE_OPEN));
    sha_ = Field(this, "SHA-256");
    values_ = Field(this, Text(STX_RECIPE_OPEN));
    auto* row = new QHBoxLayout;
    row->addWidget(open_);
    for (QLabel* l : {file_, kind_, model_, sha_, values_}) row->addWidget(l);
    row->addStretch(1);
    return row;
}

QLayout* StationWindow::BuildEntryRow() {
    const auto edit = [this](StxId name) {
        auto* e = new QLineEdit(this);
        e->setAccessibleName(Text(name));
        e->setPlaceholderText(Text(name));
        return e;
    };
    expected_ = edit(STX_EXPECTED_SHA);
    expected_->setToolTip(Text(STX_EXPECTED_TIP));
    expected_->setMinimumWidth(220);
    connect(expected_, &QLineEdit::editingFinished, this, [this] {
        if (!recipePath_.empty() && !running_) OpenRecipe(recipePath_);
    });
    operator_ = edit(STX_OPERATOR);
    connect(operator_, &QLineEdit::editingFinished, this, [this] {
        WriteProfileString(env_.paths.settingsPath, kSection, "Operator", operator_->text().trimmed().toStdString());
    });
    label_ = edit(STX_LABEL);
    label_->setToolTip(Text(STX_LABEL_TIP));
    connect(label_, &QLineEdit::returnPressed, this, &StationWindow::TakeLabel);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(Text(STX_EXPECTED_SHA), this));
    row->addWidget(expected_, 2);
    row->addWidget(new QLabel(Text(STX_OPERATOR), this));
    row->addWidget(operator_, 1);
    row->addWidget(new QLabel(Text(STX_LABEL), this));
    row->addWidget(label_, 2);
    return row;
}

QLayout* StationWindow::BuildRunRow() {
    const auto button = [this](StxId name) {
        auto* b = new QPushButton(Text(name), this);
        b->setAccessibleName(Text(name));
        return b;
    };
    slots_ = button(STX_SLOTS);
    start_ = button(STX_START);
    stop_ = button(STX_STOP);
    QFont big = start_->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.3);
    start_->setFont(big);
    stop_->setFont(big);
    connect(slots_, &QPushButton::clicked, this, &StationWindow::PickSlots);
    connect(start_, &QPushButton::clicked, this, &StationWindow::Start);
    connect(stop_, &QPushButton::clicked, this, &StationWindow::Stop);
    totals_ = Field(this, Text(STX_TOTALS).arg(QString(), QString()).simplified());
    totals_->setFont(big);
    rate_ = Field(this, Text(STX_PER_HOUR).arg(QString()).simplified());
    message_ = Field(this, Text(STX_TITLE));
    message_->setWordWrap(true);
    auto* row = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(slots_), static_cast<QWidget*>(start_), static_cast<QWidget*>(stop_)})
        row->addWidget(w);
    row->addWidget(totals_);
    row->addWidget(rate_);
    row->addWidget(message_, 1);
    return row;
}

void StationWindow::ConnectWorker() {
    StationWorker* w = &thread_->Worker();
    // Queued: the slots' thread never waits for this one.
    connect(w, &StationWorker::Started, this, &StationWindow::OnStarted, Qt::QueuedConnection);
    connect(w, &StationWorker::StatusChanged, this, &StationWindow::OnStatus, Qt::QueuedConnection);
    connect(w, &StationWorker::AttemptBegun, this, [this](int slot, const record::Attempt& a) {
        if (slot < static_cast<int>(tiles_.size())) tiles_[slot]->ShowBegun(a);
    }, Qt::QueuedConnection);
    connect(w, &StationWorker::AttemptEnded, this, &StationWindow::OnEnded, Qt::QueuedConnection);
    connect(w, &StationWorker::LabelTaken, this, [this](int slot) {
        if (slot >= static_cast<int>(pendingLabels_.size())) return;
        pendingLabels_[slot].clear();
    }, Qt::QueuedConnection);
    connect(w, &StationWorker::Finished, this, &StationWindow::OnFinished, Qt::QueuedConnection);
}


bool StationWindow::OpenRecipe(const std::string& path) {
    if (running_) return false;
    recipePath_ = path;
    auto recipe = std::make_shared<Recipe>();
    std::string why;
    const bool ok = LoadRecipeFile(base_, path, expected_->text().trimmed().toStdString(), *recipe, why);
    recipe_ = ok ? recipe : nullptr;
    ShowRecipe();
    if (!ok) message_->setText(Text(STX_RECIPE_REFUSED).arg(QString::fromStdString(why)));
    else message_->clear();
    Lock(false);
    return ok;
}

void StationWindow::SetExpectedHash(const std::string& hex) {
    expected_->setText(QString::fromStdString(hex));
    if (!recipePath_.empty()) OpenRecipe(recipePath_);
}

void StationWindow::ShowRecipe() {
    if (!recipe_) {
        file_->setText(recipePath_.empty() ? Text(STX_RECIPE_NONE) : QString::fromStdString(BaseName(recipePath_)));
        for (QLabel* l : {kind_, model_, sha_, values_}) l->clear();
        return;
    }
    const RecipeSummary s = Summarize(*recipe_, recipePath_);
    file_->setText(QString::fromStdString(s.file));
    kind_->setText(QString::fromStdString(s.kind));
    model_->setText(QString::fromStdString(s.model));
    sha_->setText("SHA-256 " + QString::fromStdString(s.sha12) + "…");
    sha_->setToolTip(QString::fromStdString(recipe_->Sha256()));
    values_->setText(Text(STX_RECIPE_VALUES).arg(s.values));
}

void StationWindow::ChooseRecipe() {
    const std::string path = env_.openFile ? env_.openFile()
                                           : QFileDialog::getOpenFileName(this, Text(STX_RECIPE_OPEN), QString(),
                                                                          Text(STX_FILE_FILTER))
                                                 .toStdString();
    if (!path.empty()) OpenRecipe(path);
}

void StationWindow::SetSlotDevices(const std::vector<std::string>& devices) {
    if (running_) return;
    devices_ = devices;
    SaveSlotDevices(env_.paths.settingsPath, devices_);
    ShowSlots();
    Lock(false);
}

void StationWindow::ShowSlots() {
    ports_ = NameSlots(env_.ports(), devices_);
    tiles_.clear();
    std::vector<QWidget*> widgets;
    for (size_t i = 0; i < ports_.size(); ++i) {
        auto* tile = new SlotTile(base_.language, QString::fromStdString(ports_[i].name));
        connect(tile, &SlotTile::Clicked, this, [this, i] { Select(static_cast<int>(i)); });
        tiles_.push_back(tile);
        widgets.push_back(tile);
    }
    grid_->SetTiles(widgets);
    counts_.assign(ports_.size(), SlotCounts{});
    pendingLabels_.assign(ports_.size(), QString());
    ShowTotals();
}

void StationWindow::PickSlots() {
    SlotPicker picker(base_.language, env_.ports, devices_, this);
    if (picker.exec() == QDialog::Accepted) SetSlotDevices(picker.Devices());
}

void StationWindow::Select(int slot) {
    const bool was = tiles_[slot]->Selected();
    for (SlotTile* t : tiles_) t->SetSelected(false);
    tiles_[slot]->SetSelected(!was);
}

void StationWindow::Lock(bool running) {
    running_ = running;
    // Nothing about the recipe or the slots changes while units are written with them.
    for (QWidget* w : std::initializer_list<QWidget*>{open_, expected_, slots_, operator_}) w->setEnabled(!running);
    start_->setEnabled(!running && recipe_ && !tiles_.empty());
    stop_->setEnabled(running);
    stop_->setText(Text(STX_STOP));
    label_->setEnabled(running);
}

void StationWindow::Start() {
    if (running_) return;
    if (!recipe_) return message_->setText(Text(STX_NEED_RECIPE));
    if (ports_.empty()) return message_->setText(Text(STX_NEED_SLOTS));
    RunRequest request;
    request.base = base_;
    request.recipe = recipe_;
    request.journalPath = env_.journalPath;
    request.recordServer = record::ConfiguredRecordServer(env_.paths.settingsPath);
    for (const SlotPort& p : ports_) {
        SlotConfig c;
        c.port = p.name;
        c.number = p.number;
        c.device = p.device;
        c.repeat = true;
        c.backupFolder = env_.paths.backupDir;
        c.recipeFile = BaseName(recipePath_);
        c.operatorName = operator_->text().trimmed().toStdString();
        c.station = env_.station;
        request.slotConfigs.push_back(c);
    }
    ShowSlots();
    message_->clear();
    Lock(true);
    runTime_.start();
    thread_->Run(request);
}

void StationWindow::Stop() {
    if (!running_) return;
    thread_->Stop();
    stop_->setEnabled(false);
    stop_->setText(Text(STX_STOPPING));
}

void StationWindow::OnStarted(bool ok, const QString& why) {
    if (ok) return;
    Lock(false);
    message_->setText(why);
}

void StationWindow::OnStatus(int slot, const SlotStatus& status, const SlotCounts& counts) {
    if (slot >= static_cast<int>(tiles_.size())) return;
    counts_[slot] = counts;
    tiles_[slot]->ShowStatus(status, counts);
    ShowTotals();
}

void StationWindow::OnEnded(int slot, const record::Attempt& a) {
    if (slot >= static_cast<int>(tiles_.size())) return;
    tiles_[slot]->ShowEnded(a);
    if (a.outcome != record::Outcome::Pass) env_.bell();
    if (tabs_->currentWidget() == history_) history_->Refresh();
}

void StationWindow::OnFinished() {
    Lock(false);
    emit RunFinished();
    if (closeWhenStopped_) close();
}

void StationWindow::ShowTotals() {
    SlotCounts total;
    for (const SlotCounts& c : counts_) {
        total.passed += c.passed;
        total.failed += c.failed;
    }
    totals_->setText(Text(STX_TOTALS).arg(QString::number(total.passed), QString::number(total.failed)));
    const double seconds = runTime_.isValid() ? runTime_.elapsed() / 1000.0 : 0.0;
    const int units = total.passed + total.failed;
    rate_->setText(seconds < kRateAfterSeconds ? QString()
                                               : Text(STX_PER_HOUR).arg(qRound(units * kSecondsPerHour / seconds)));
}

int StationWindow::SlotForLabel() const {
    for (size_t i = 0; i < tiles_.size(); ++i)
        if (tiles_[i]->Selected()) return static_cast<int>(i);
    // The next free slot: no label waiting, and no unit on it, or one about to be taken away.
    for (const TileIcon wanted : {TileIcon::Waiting, TileIcon::Pass, TileIcon::Fail})
        for (size_t i = 0; i < tiles_.size(); ++i)
            if (pendingLabels_[i].isEmpty() && tiles_[i]->Icon() == wanted) return static_cast<int>(i);
    return -1;
}

void StationWindow::TakeLabel() {
    const QString label = label_->text().trimmed();
    label_->clear();
    if (label.isEmpty() || !running_) return;
    const int slot = SlotForLabel();
    if (slot < 0) return message_->setText(Text(STX_LABEL_NO_SLOT).arg(label));
    pendingLabels_[slot] = label;
    tiles_[slot]->ShowPendingLabel(label);
    message_->setText(Text(STX_LABEL_FOR).arg(label, QString::fromStdString(ports_[slot].name)));
    thread_->SetLabel(slot, label.toStdString());
}

void StationWindow::closeEvent(QCloseEvent* e) {
    if (!running_) return e->accept();
    e->ignore();
    if (closeWhenStopped_) return;
    if (QMessageBox::question(this, Text(STX_TITLE), Text(STX_CLOSE_RUNNING)) != QMessageBox::Yes) return;
    // The units in flight end in a known state and are recorded before the window goes.
    closeWhenStopped_ = true;
    Stop();
}

}  // namespace dt::station
