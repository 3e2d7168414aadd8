#pragma once
// The station window: one recipe, pinned while it runs; one tile per slot; start and stop; the
// operator and the scanned labels that go into the record; the record's history.
#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppPaths.h"
#include "PortNumbering.h"
#include "SlotPorts.h"
#include "StationTexts.h"
#include "StationWorker.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace dt::station {

class HistoryPanel;
class SlotTile;
class TileGrid;

struct StationEnv {
    AppPaths paths = AppPaths::Default();
    std::string journalPath = record::Journal::DefaultPath();
    std::function<std::vector<PortEntry>()> ports;  // default: the system's, as the port box lists them
    std::function<void()> bell;                     // default: the system bell
    std::string station;                            // default: the host name
    std::function<std::string()> openFile;          // replaces the recipe's file dialog (tests)
};

class StationWindow : public QWidget {
    Q_OBJECT
public:
    explicit StationWindow(StationEnv env = StationEnv(), QWidget* parent = nullptr);
    ~StationWindow() override;

    // Loads the recipe as `program` would, with the expected hash in its field. False leaves no
    // recipe and shows why.
    bool OpenRecipe(const std::string& path);
    void SetExpectedHash(const std::string& hex);
    // The slots' devices, remembered in the settings.
    void SetSlotDevices(const std::vector<std::string>& devices);
    void Start();
    // As Ctrl+C stops `program --repeat`: no new units, the one in flight ends in a known state.
    void Stop();
    bool Running() const { return running_; }

    // What the operator sees.
    const std::vector<SlotTile*>& Tiles() const { return tiles_; }
    QLabel* RecipeFile() const { return file_; }
    QLabel* RecipeKind() const { return kind_; }
    QLabel* RecipeModel() const { return model_; }
    QLabel* RecipeSha() const { return sha_; }
    QLabel* RecipeValues() const { return values_; }
    QLabel* MessageLine() const { return message_; }
    QLabel* Totals() const { return totals_; }
    QLabel* Rate() const { return rate_; }
    QLineEdit* Expected() const { return expected_; }
    QLineEdit* Operator() const { return operator_; }
    QLineEdit* Label() const { return label_; }
    QPushButton* OpenButton() const { return open_; }
    QPushButton* SlotsButton() const { return slots_; }
    QPushButton* StartButton() const { return start_; }
    QPushButton* StopButton() const { return stop_; }
    QTabWidget* Tabs() const { return tabs_; }
    HistoryPanel* History() const { return history_; }
    TileGrid* Grid() const { return grid_; }
    Language WindowLanguage() const { return base_.language; }

signals:
    // Every slot has stopped.
    void RunFinished();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QString Text(StxId id) const;
    void BuildControls();
    QLayout* BuildRecipeRow();
    QLayout* BuildEntryRow();
    QLayout* BuildRunRow();
    void ConnectWorker();
    void ShowRecipe();
    void ShowSlots();
    void ShowTotals();
    void Lock(bool running);
    void OnStarted(bool ok, const QString& why);
    void OnStatus(int slot, const SlotStatus& status, const SlotCounts& counts);
    void OnEnded(int slot, const record::Attempt& a);
    void OnFinished();
    void TakeLabel();
    int SlotForLabel() const;
    void Select(int slot);
    void PickSlots();
    void ChooseRecipe();

    StationEnv env_;
    ToolState base_;
    PortNumbering numbering_;
    std::shared_ptr<const Recipe> recipe_;
    std::string recipePath_;
    std::vector<std::string> devices_;
    std::vector<SlotPort> ports_;
    std::vector<SlotTile*> tiles_;
    std::vector<SlotCounts> counts_;
    std::vector<QString> pendingLabels_;
    std::unique_ptr<StationThread> thread_;
    QElapsedTimer runTime_;
    bool running_ = false;
    bool closeWhenStopped_ = false;

    QLabel *file_, *kind_, *model_, *sha_, *values_, *message_, *totals_, *rate_;
    QLineEdit *expected_, *operator_, *label_;
    QPushButton *open_, *slots_, *start_, *stop_;
    QTabWidget* tabs_;
    TileGrid* grid_;
    HistoryPanel* history_;
};

}  // namespace dt::station
