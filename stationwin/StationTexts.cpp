#include "StationTexts.h"

#include "IdOrder.h"

namespace dt {

namespace {

struct StationTextRow {
    StxId id;  // listed so that a row out of order fails the check below
    const char* cn;
    const char* en;
};

constexpr StationTextRow kStationTexts[] = {
    // Window and recipe
    {STX_TITLE, "DriveTune 工位", "DriveTune Station"},
    {STX_RUN_TAB, "生产", "Run"},
    {STX_HISTORY_TAB, "记录", "History"},
    {STX_RECIPE_OPEN, "打开配方…", "Open recipe…"},
    {STX_RECIPE_NONE, "未选择配方", "No recipe chosen"},
    {STX_RECIPE_SUMMARY, "%1　SHA-256 %2…", "%1   SHA-256 %2…"},
    {STX_RECIPE_VALUES, "%1 个参数", "%1 values"},
    {STX_RECIPE_MODEL_WORDS, "硬件类别 %1，电压类别 %2", "hardware class %1, voltage class %2"},
    {STX_RECIPE_EXTRA_WORD, "附加标识 %1", "extra id %1"},
    {STX_EXPECTED_SHA, "预期 SHA-256", "Expected SHA-256"},
    {STX_EXPECTED_TIP, "可选：配方文件应有的 SHA-256；不符时不能开始",
     "Optional: the SHA-256 the recipe file must have; any other does not start"},
    {STX_RECIPE_REFUSED, "配方被拒绝：%1", "Recipe refused: %1"},
    {STX_RECIPE_BAD_NAME, "文件名必须以 .foc 或 .ged 结尾", "the name must end in .foc or .ged"},
    {STX_RECIPE_UNREADABLE, "无法读取 %1：%2", "cannot read %1: %2"},
    {STX_FILE_FILTER, "参数文件 (*.foc *.ged)", "Parameter files (*.foc *.ged)"},
    // Slots and the run
    {STX_SLOTS, "工位串口…", "Slots…"},
    {STX_SLOTS_TITLE, "选择工位串口", "Choose the slots' ports"},
    {STX_SLOTS_REFRESH, "刷新", "Refresh"},
    {STX_SLOTS_NONE, "未选择工位串口", "No slots chosen"},
    {STX_START, "开始", "Start"},
    {STX_STOP, "停止", "Stop"},
    {STX_STOPPING, "正在停止…", "Stopping…"},
    {STX_TOTALS, "合格 %1　不合格 %2", "Passed %1   Failed %2"},
    {STX_PER_HOUR, "每小时 %1 台", "%1 units per hour"},
    {STX_OPERATOR, "操作员", "Operator"},
    {STX_LABEL, "标签", "Label"},
    {STX_LABEL_TIP, "扫描或输入标签后按回车：用于所选工位（未选时为下一个空闲工位）的下一台控制器",
     "Scan or type a label, then Enter: it goes with the next unit on the selected slot (or the next free one)"},
    {STX_LABEL_FOR, "标签 %1 → %2", "Label %1 → %2"},
    {STX_LABEL_NO_SLOT, "没有空闲的工位可用于标签 %1", "No free slot for label %1"},
    {STX_NEED_RECIPE, "请先选择配方", "Choose a recipe first"},
    {STX_NEED_SLOTS, "请先选择工位串口", "Choose the slots' ports first"},
    {STX_TILE_COUNTS, "合格 %1　不合格 %2", "pass %1   fail %2"},
    {STX_STATE_WAITING, "等待控制器", "waiting for a controller"},
    {STX_STATE_READING, "正在读取", "reading"},
    {STX_STATE_WRITING, "正在写入 %1/%2", "writing block %1 of %2"},
    {STX_STATE_VERIFYING, "正在校验", "verifying"},
    {STX_STATE_REMOVE, "请取下控制器", "remove the unit"},
    {STX_STATE_STOPPED, "已停止", "stopped"},
    {STX_STATE_PASS, "合格", "PASS"},
    {STX_STATE_FAIL, "不合格", "FAIL"},
    {STX_TILE_ROUNDED, "按校准取整：%1", "rounded to its calibration: %1"},
    {STX_TILE_LABEL, "标签：%1", "label: %1"},
    {STX_NOT_RUNNING, "未运行", "Not running"},
    {STX_CLOSE_RUNNING, "工位仍在运行。停止并关闭吗？", "The station is still running. Stop it and close?"},
    // History
    {STX_HISTORY_OUTCOME, "结果", "Outcome"},
    {STX_HISTORY_ALL, "全部", "All"},
    {STX_HISTORY_SINCE, "自", "Since"},
    {STX_HISTORY_ALL_DATES, "所有日期", "All dates"},
    {STX_HISTORY_REFRESH, "刷新", "Refresh"},
    {STX_HISTORY_EXPORT, "导出 CSV…", "Export CSV…"},
    {STX_HISTORY_EXPORTED, "已导出 %1 行到 %2", "%1 rows exported to %2"},
    {STX_HISTORY_EXPORT_FAILED, "无法写入 %1：%2", "%1 could not be written: %2"},
    {STX_HISTORY_CSV_FILTER, "CSV 文件 (*.csv)", "CSV files (*.csv)"},
    {STX_COL_OUTCOME, "结果", "Outcome"},
    {STX_COL_SLOT, "工位", "Slot"},
    {STX_COL_LABEL, "标签", "Label"},
    {STX_COL_IDENTITY, "控制器", "Controller"},
    {STX_COL_TIME, "时间", "Time"},
    {STX_COL_CAUSE, "原因", "Cause"},
    {STX_OUTCOME_PASS, "合格", "pass"},
    {STX_OUTCOME_FAIL, "不合格", "fail"},
    {STX_OUTCOME_ERROR, "错误", "error"},
    {STX_OUTCOME_INTERRUPTED, "已中断", "interrupted"},
    {STX_OUTCOME_STARTED, "进行中", "started"},
    {STX_JOURNAL_UNREADABLE, "生产记录无法读取：%1", "The production record cannot be read: %1"},
};

static_assert(ListedInIdOrder(kStationTexts, STX_COUNT), "kStationTexts must list every StxId once, in enum order");

}  // namespace

const char* StationText(Language language, StxId id) {
    if (id < 0 || id >= STX_COUNT) return "";
    return language == LANG_CHINESE ? kStationTexts[id].cn : kStationTexts[id].en;
}

}  // namespace dt
