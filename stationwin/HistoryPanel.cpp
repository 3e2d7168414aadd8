#include "HistoryPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "AtomicFile.h"
#include "Journal.h"
#include "StationTexts.h"

namespace dt::station {

namespace {

constexpr StxId kColumns[] = {STX_COL_OUTCOME, STX_COL_SLOT, STX_COL_LABEL, STX_COL_IDENTITY, STX_COL_TIME, STX_COL_CAUSE};
constexpr int kColumnCount = sizeof kColumns / sizeof kColumns[0];

struct OutcomeChoice {
    record::Outcome outcome;
    StxId text;
};
constexpr OutcomeChoice kOutcomes[] = {{record::Outcome::Pass, STX_OUTCOME_PASS},
                                       {record::Outcome::Fail, STX_OUTCOME_FAIL},
                                       {record::Outcome::Error, STX_OUTCOME_ERROR},
                                       {record::Outcome::Interrupted, STX_OUTCOME_INTERRUPTED},
                                       {record::Outcome::Started, STX_OUTCOME_STARTED}};

StxId OutcomeText(record::Outcome o) {
    for (const OutcomeChoice& c : kOutcomes)
        if (c.outcome == o) return c.text;
    return STX_OUTCOME_STARTED;
}

std::string CsvField(const std::string& field) {
    std::string f = field;
    if (!f.empty() && std::string("=+-@").find(f[0]) != std::string::npos) f = "'" + f;
    if (f.find_first_of(",\"\r\n") == std::string::npos) return f;
    std::string quoted = "\"";
    for (char c : f) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

}  // namespace

std::string CsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i) line += (i ? "," : "") + CsvField(fields[i]);
    return line + "\r\n";
}

std::string LocalTime(const std::string& utc) {
    const QDateTime t = QDateTime::fromString(QString::fromStdString(utc), Qt::ISODateWithMs);
    return t.isValid() ? t.toLocalTime().toString("yyyy-MM-dd HH:mm:ss").toStdString() : utc;
}

HistoryPanel::HistoryPanel(Language language, std::string journalPath, QWidget* parent)
    : QWidget(parent), language_(language), journalPath_(std::move(journalPath)) {
    outcome_ = new QComboBox(this);
    outcome_->addItem(Text(STX_HISTORY_ALL), QString());
    for (const OutcomeChoice& c : kOutcomes) outcome_->addItem(Text(c.text), QString(record::OutcomeWord(c.outcome)));
    since_ = new QCheckBox(Text(STX_HISTORY_SINCE), this);
    date_ = new QDateEdit(QDate::currentDate(), this);
    date_->setCalendarPopup(true);
    date_->setDisplayFormat("yyyy-MM-dd");
    date_->setEnabled(false);
    // The style's hint leaves no room for the calendar's drop button: the date's last digit was cut.
    date_->setMinimumWidth(date_->sizeHint().width() + date_->fontMetrics().horizontalAdvance("0000"));
    refresh_ = new QPushButton(Text(STX_HISTORY_REFRESH), this);
    export_ = new QPushButton(Text(STX_HISTORY_EXPORT), this);
    table_ = new QTableWidget(0, kColumnCount, this);
    QStringList header;
    for (StxId c : kColumns) header << Text(c);
    table_->setHorizontalHeaderLabels(header);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    message_ = new QLabel(this);
    outcome_->setAccessibleName(Text(STX_HISTORY_OUTCOME));
    since_->setAccessibleName(Text(STX_HISTORY_SINCE));
    date_->setAccessibleName(Text(STX_HISTORY_SINCE));
    refresh_->setAccessibleName(Text(STX_HISTORY_REFRESH));
    export_->setAccessibleName(Text(STX_HISTORY_EXPORT));
    table_->setAccessibleName(Text(STX_HISTORY_TAB));
    message_->setAccessibleName(Text(STX_HISTORY_TAB));

    auto* bar = new QHBoxLayout;
    bar->addWidget(new QLabel(Text(STX_HISTORY_OUTCOME), this));
    bar->addWidget(outcome_);
    bar->addWidget(since_);
    bar->addWidget(date_);
    bar->addWidget(refresh_);
    bar->addStretch(1);
    bar->addWidget(export_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(table_, 1);
    layout->addWidget(message_);

    connect(outcome_, &QComboBox::currentIndexChanged, this, &HistoryPanel::Refresh);
    connect(since_, &QCheckBox::toggled, this, [this](bool on) {
        date_->setEnabled(on);
        Refresh();
    });
    connect(date_, &QDateEdit::dateChanged, this, &HistoryPanel::Refresh);
    connect(refresh_, &QPushButton::clicked, this, &HistoryPanel::Refresh);
    connect(export_, &QPushButton::clicked, this, &HistoryPanel::Export);
}

HistoryPanel::~HistoryPanel() = default;

QString HistoryPanel::Text(int id) const { return QString::fromUtf8(StationText(language_, static_cast<StxId>(id))); }

void HistoryPanel::Refresh() {
    std::string why;
    if (!journal_) {
        journal_ = std::make_unique<record::Journal>();
        if (!journal_->Open(journalPath_, why)) {
            journal_.reset();
            table_->setRowCount(0);
            message_->setText(Text(STX_JOURNAL_UNREADABLE).arg(QString::fromStdString(why)));
            return;
        }
    }
    record::JournalFilter filter;
    filter.outcome = outcome_->currentData().toString().toStdString();
    // The local day's start, in the UTC the record keeps.
    if (since_->isChecked())
        filter.since = QDateTime(date_->date(), QTime(0, 0)).toUTC().toString("yyyy-MM-ddTHH:mm:ss.zzzZ").toStdString();
    filter.limit = kHistoryRows;
    const std::vector<record::Attempt> rows = journal_->List(filter, why);
    message_->setText(why.empty() ? QString() : Text(STX_JOURNAL_UNREADABLE).arg(QString::fromStdString(why)));
    Show(rows);
}

void HistoryPanel::Show(const std::vector<record::Attempt>& rows) {
    table_->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const record::Attempt& a = rows[r];
        const std::string cells[kColumnCount] = {StationText(language_, OutcomeText(a.outcome)), a.port, a.label,
                                                 a.identity, LocalTime(a.started), a.cause};
        for (int c = 0; c < kColumnCount; ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(cells[c]));
            item->setToolTip(item->text());  // a long cause reaches past a small screen's edge
            table_->setItem(r, c, item);
        }
    }
    table_->resizeColumnsToContents();
}

bool HistoryPanel::ExportTo(const std::string& path, std::string& why) const {
    // A byte-order mark, so spreadsheets read the Chinese texts as UTF-8.
    std::string text = "\xEF\xBB\xBF";
    std::vector<std::string> fields;
    for (StxId c : kColumns) fields.push_back(StationText(language_, c));
    text += CsvLine(fields);
    for (int r = 0; r < table_->rowCount(); ++r) {
        fields.clear();
        for (int c = 0; c < kColumnCount; ++c) fields.push_back(table_->item(r, c)->text().toStdString());
        text += CsvLine(fields);
    }
    return WriteFileAtomically(path, text, why);
}

void HistoryPanel::Export() {
    const std::string path = saveHook_ ? saveHook_()
                                       : QFileDialog::getSaveFileName(this, Text(STX_HISTORY_EXPORT), "history.csv",
                                                                      Text(STX_HISTORY_CSV_FILTER))
                                             .toStdString();
    if (path.empty()) return;
    std::string why;
    const QString file = QString::fromStdString(path);
    if (ExportTo(path, why))
        message_->setText(Text(STX_HISTORY_EXPORTED).arg(QString::number(table_->rowCount()), file));
    else
        message_->setText(Text(STX_HISTORY_EXPORT_FAILED).arg(file, QString::fromStdString(why)));
}

}  // namespace dt::station
