// Puts one widget scene on screen and photographs the whole display with `import`:
//   widgets_demo grid|edit|balloon|message|message-cn <output.png>
// Meant to run under a virtual X display (scripts/shots-widgets).
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>

#include "BalloonTip.h"
#include "Fonts.h"
#include "GridCtrl.h"
#include "MessageDlg.h"

namespace {

struct Palette {
    QColor title, nameEven, nameOdd, valueEven, valueOdd, groupEven, groupOdd;
};
const Palette kGreen{{100, 150, 50},  {225, 230, 210}, {200, 210, 160}, {235, 240, 220},
                     {210, 220, 170}, {200, 210, 160}, {225, 230, 210}};
const Palette kSage{{70, 110, 90},    {215, 220, 210}, {165, 190, 180}, {225, 230, 220},
                    {170, 200, 190}, {165, 190, 180}, {215, 220, 210}};

constexpr unsigned kTitleFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
constexpr unsigned kNameFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;

struct Row {
    const char* name;
    const char* value;
    bool readOnly;
    QStringList options;  // combo when not empty
};

struct Group {
    const char* title;
    std::vector<Row> rows;
};

void SetText(CGridCtrl& g, int r, int c, const QString& text, unsigned format)
{
    GV_ITEM item;
    item.row = r;
    item.col = c;
    item.mask = GVIF_TEXT | GVIF_FORMAT;
    item.text = text;
    item.format = format;
    g.SetItem(item);
}

// Fills one section (title row, then groups) starting at row first; returns the next row.
int FillSection(CGridCtrl& g, int first, const QString& title, const std::vector<Group>& groups, const Palette& p,
                const QFont& groupFont, const QFont& valueFont)
{
    SetText(g, first, 0, title, kTitleFormat);
    g.SetItemBkColour(first, 0, p.title);
    g.SetItemFgColour(first, 0, Qt::white);
    g.SetItemState(first, 0, GVIS_READONLY);
    g.SetItemFont(first, 0, groupFont);
    g.MergeCells(first, 0, first, 2);
    int row = first + 1;
    for (size_t j = 0; j < groups.size(); ++j) {
        const int groupStart = row;
        SetText(g, row, 0, groups[j].title, kTitleFormat);
        g.SetItemState(row, 0, GVIS_READONLY);
        g.SetItemFont(row, 0, groupFont);
        g.SetItemBkColour(row, 0, j % 2 ? p.groupOdd : p.groupEven);
        for (const Row& r : groups[j].rows) {
            SetText(g, row, 1, r.name, kNameFormat);
            g.SetItemState(row, 1, GVIS_READONLY);
            g.SetItemBkColour(row, 1, row % 2 ? p.nameOdd : p.nameEven);
            g.SetItemBkColour(row, 2, row % 2 ? p.valueOdd : p.valueEven);
            g.SetItemFont(row, 2, valueFont);
            g.SetItemText(row, 2, QStringLiteral("    ") + r.value);
            g.SetItemState(row, 2, r.readOnly ? GVIS_READONLY : GVIS_MODIFIED);
            g.SetItemFgColour(row, 2, r.readOnly ? QColor(128, 128, 128) : QColor(0, 0, 255));
            if (!r.options.isEmpty()) {
                g.SetCellType(row, 2, GridCellKind::Combo);
                g.GetComboCell(row, 2)->SetOptions(r.options);
                g.GetComboCell(row, 2)->SetStyle(CBS_DROPDOWNLIST);
            }
            ++row;
        }
        g.MergeCells(groupStart, 0, row - 1, 0);
    }
    return row;
}

CGridCtrl* BuildSampleGrid(QWidget* parent)
{
    auto* g = new CGridCtrl();
    g->Create(QRect(0, 0, 760, 600), parent, 101);
    g->EnableEditing(true);
    g->EnableDragAndDrop(false);
    g->SetRowResize(false);
    QFont gridFont(dt::kArialFace);
    gridFont.setPointSizeF(11.0);
    g->SetFont(gridFont);
    QFont groupFont(dt::kArialFace);
    groupFont.setPointSizeF(13.0);
    const QFont valueFont(dt::kSongFace, 14);

    const QStringList volts{"48", "60", "72", "84", "96", "120"};
    const QStringList onOff{"使能", "禁止"};
    const std::vector<Group> params = {
        {"电池 Battery",
         {{"额定电压(V)", "48", false, volts},
          {"欠压保护值(V)", "40.0", false, {}},
          {"过压保护值(V)", "60.0", false, {}}}},
        {"电流 Current",
         {{"Phase current limit(A)", "120", false, {}},
          {"Battery current limit(A)", "35", false, {}},
          {"堵转保护 Blockage protection", "使能", true, onOff},
          {"Warranty date", "2024-03", true, {}}}},
    };
    const std::vector<Group> functions = {
        {"Regenerative braking",
         {{"Charge voltage(V)", "54.6", false, {}}, {"Braking mode", "禁止", false, onOff}}},
        {"速度 Speed",
         {{"Speed limit(%)", "100", false, {}}, {"Reverse speed(%)", "30", false, {}}, {"", "", true, {}}}},
    };
    int rows = 1;
    for (const auto& grp : params)
        rows += static_cast<int>(grp.rows.size());
    rows += 1;
    for (const auto& grp : functions)
        rows += static_cast<int>(grp.rows.size());
    g->SetRowCount(rows);
    g->SetColumnCount(3);
    g->SetFixedRowCount(0);
    g->SetFixedColumnCount(0);
    g->SetColumnWidth(0, 280);
    g->SetColumnWidth(1, 300);
    g->SetColumnWidth(2, 150);
    const int next = FillSection(*g, 0, "参数设置 Parameter settings", params, kGreen, groupFont, valueFont);
    FillSection(*g, next, "Function settings", functions, kSage, groupFont, valueFont);
    return g;
}

void Photograph(const QString& path)
{
    QApplication::processEvents();
    const int rc = QProcess::execute(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path});
    if (rc != 0)
        std::fprintf(stderr, "import failed (%d) for %s\n", rc, qPrintable(path));
    QApplication::exit(rc == 0 ? 0 : 1);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    dt::InstallFontSubstitutions();
    if (argc < 3) {
        std::fprintf(stderr, "usage: widgets_demo grid|edit|balloon|message|message-cn <output.png>\n");
        return 2;
    }
    const QString scene = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);

    QWidget window;
    window.setWindowTitle(QStringLiteral("DriveTune widgets"));
    window.setGeometry(20, 20, 780, 640);
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    CGridCtrl* grid = BuildSampleGrid(&window);
    layout->addWidget(grid);
    window.show();
    BalloonTip balloon(&window);

    if (scene == QLatin1String("grid")) {
        QTimer::singleShot(300, [&] {
            grid->setFocus();
            grid->SetFocusCell(1, 2);
            grid->EditCell(1, 2);  // the nominal voltage list, opened
            QTimer::singleShot(100, [&] {
                if (auto* list = qobject_cast<CGridInPlaceList*>(grid->InPlaceEditor()))
                    list->List()->setCurrentRow(2);  // as if the user stepped down twice
            });
            QTimer::singleShot(400, [&] { Photograph(out); });
        });
    } else if (scene == QLatin1String("edit")) {
        QTimer::singleShot(300, [&] {
            grid->setFocus();
            grid->SetFocusCell(9, 2);
            grid->EditCell(9, 2);
            if (auto* box = qobject_cast<QLineEdit*>(grid->InPlaceEditor())) {
                box->selectAll();
                box->insert(QStringLiteral("54.6 typed past the edge of the value column"));
            }
            QTimer::singleShot(400, [&] { Photograph(out); });
        });
    } else if (scene == QLatin1String("balloon")) {
        QTimer::singleShot(300, [&] {
            const QRect cell = grid->CellRect(4, 1);
            const QPoint anchor = grid->viewport()->mapToGlobal(cell.center());
            balloon.Show(QStringLiteral("Phase current limit(A):\n\n相电流限制值，超过后控制器限流"), anchor);
            QTimer::singleShot(BalloonTip::kDelayMs + 300, [&] { Photograph(out); });
        });
    } else if (scene == QLatin1String("message") || scene == QLatin1String("message-cn")) {
        const bool cn = scene == QLatin1String("message-cn");
        QTimer::singleShot(300, [&, cn] {
            SetMessageHook([&](CMessageDlg& dlg) {
                QTimer::singleShot(500, &dlg, [&out, &dlg] {
                    QApplication::processEvents();
                    QProcess::execute(QStringLiteral("import"),
                                      {QStringLiteral("-window"), QStringLiteral("root"), out});
                    dlg.done(CMessageDlg::IDOK);
                });
                return -1;
            });
            if (cn)
                ShowMessage(&window, "打开串口失败 COM3 9600", 16, "确定", "取消");
            else
                ShowMessage(&window,
                            "Input data is not legitimate\n\nRated voltage(V): 48 ~ 120\n\n"
                            "Phase current limit(A): 0 ~ 300",
                            16, "OK", "Cancel");
            QApplication::exit(0);
        });
    } else {
        std::fprintf(stderr, "unknown scene %s\n", argv[1]);
        return 2;
    }
    return app.exec();
}
