#pragma once
// The last attempts from the production record, newest first, filtered by outcome and date, and
// the rows shown exported to CSV.
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "Attempt.h"
#include "Texts.h"

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QTableWidget;

namespace record {
class Journal;
}

namespace dt::station {

// Rows the history shows at most: the last of a long record.
constexpr int kHistoryRows = 1000;

// One CSV line of fields (RFC 4180 quoting). A field that a spreadsheet would take for a
// formula (=, +, -, @ first) is written with a leading apostrophe: a scanned label is data.
std::string CsvLine(const std::vector<std::string>& fields);

// The attempt's start in local time, as the history shows it.
std::string LocalTime(const std::string& utc);

class HistoryPanel : public QWidget {
    Q_OBJECT
public:
    HistoryPanel(Language language, std::string journalPath, QWidget* parent = nullptr);
    ~HistoryPanel() override;

    // Reads the record again with the filter shown.
    void Refresh();
    // The rows shown, with their header, into path. False with the reason.
    bool ExportTo(const std::string& path, std::string& why) const;

    QTableWidget* Table() const { return table_; }
    QComboBox* OutcomeBox() const { return outcome_; }
    QCheckBox* SinceBox() const { return since_; }
    QDateEdit* SinceDate() const { return date_; }
    QLabel* Message() const { return message_; }
    // Replaces the save dialog (tests).
    void SetSaveHook(std::function<std::string()> hook) { saveHook_ = std::move(hook); }

private:
    QString Text(int id) const;
    void Export();
    void Show(const std::vector<record::Attempt>& rows);

    Language language_;
    std::string journalPath_;
    std::unique_ptr<record::Journal> journal_;
    QComboBox* outcome_;
    QCheckBox* since_;
    QDateEdit* date_;
    QPushButton* refresh_;
    QPushButton* export_;
    QTableWidget* table_;
    QLabel* message_;
    std::function<std::string()> saveHook_;
};

}  // namespace dt::station
