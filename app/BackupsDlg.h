#pragma once
// CBackupsDlg: the automatic backups, newest first, with the time, whether the set was read or
// about to be written, the controller and its customer. A backup is loaded into the grid as Import
// loads a file, compared with the grid in the manner of the list of changes, or downloaded after
// the download's own range check.
#include <QDialog>

#include <functional>
#include <string>
#include <vector>

#include "Backups.h"

class QLabel;
class QPushButton;
class QTreeWidget;

namespace dt {
struct ToolState;
}

class CBackupsDlg : public QDialog {
    Q_OBJECT
public:
    // What the buttons do with the selected backup's path.
    struct Actions {
        std::function<void(const std::string& path)> load;
        std::function<void(const std::string& path)> download;
    };

    CBackupsDlg(const dt::ToolState& state, std::string folder, Actions actions, QWidget* parent = nullptr);
    ~CBackupsDlg() override;

    // The list again from the folder.
    void Refresh();

    QTreeWidget* List() const { return list_; }
    std::vector<dt::BackupEntry> Entries() const { return entries_; }
    std::string SelectedPath() const;
    QPushButton* LoadButton() const { return load_; }
    QPushButton* CompareButton() const { return compare_; }
    QPushButton* DownloadButton() const { return download_; }
    // The last comparison opened (null before any).
    QDialog* Comparison() const { return comparison_; }

    // "Standard · variant B · version 300" and "name (1)" for an entry's identity, in the state's language.
    static std::string ControllerText(const dt::ToolState& state, const dt::BackupEntry& entry);
    static std::string CustomerOf(const dt::BackupEntry& entry);

private:
    void CompareSelected();
    void UpdateButtons();

    const dt::ToolState& state_;
    std::string folder_;
    Actions actions_;
    std::vector<dt::BackupEntry> entries_;
    QTreeWidget* list_ = nullptr;
    QLabel* empty_ = nullptr;
    QPushButton* load_ = nullptr;
    QPushButton* compare_ = nullptr;
    QPushButton* download_ = nullptr;
    QDialog* comparison_ = nullptr;
};
