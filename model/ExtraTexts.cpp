#include "ExtraTexts.h"

#include "IdOrder.h"

namespace dt {

namespace {

struct ExtraText {
    XtxId id;  // listed so that a row out of order fails the check below
    const char* cn;
    const char* en;
};

constexpr ExtraText kExtraTexts[] = {
    // Backups and data safety
    {XTX_DEFAULT_WITHOUT_BACKUP, "控制器参数尚未读取，因此没有备份。仍要恢复出厂参数吗？",
     "The controller's parameters have not been read, so no backup of them exists. Restore the factory "
     "parameters anyway?"},
    {XTX_BACKUP_FAILED, "无法保存参数备份：", "The parameter backup could not be written:"},
    {XTX_VERIFY_DIFFERS, "回读的参数中有 %1 个与写入的不同", "%1 values read back differ from those sent"},
    {XTX_VERIFY_SAME, "回读的参数与写入的一致", "The values read back are those sent"},
    {XTX_RESTORE_UNREAD, "控制器参数未能读取，因此没有备份，未恢复出厂参数（--no-backup 可不备份而恢复）",
     "The controller's parameters could not be read, so no backup of them exists; the factory parameters "
     "were not restored (--no-backup restores without a backup)"},
    {XTX_RESTORE_UNBACKED, "无法保存控制器参数的备份，未恢复出厂参数（--no-backup 可不备份而恢复）",
     "The backup of the controller's parameters could not be written, so the factory parameters were not "
     "restored (--no-backup restores without a backup)"},
    // end of backups and data safety

    // Status line, changed values, find
    {XTX_STATUS_PORT_OPEN, "COM%1 已打开", "COM%1 open"},
    {XTX_STATUS_PORT_CLOSED, "COM%1 未打开", "COM%1 not open"},
    {XTX_STATUS_NO_PORT, "未选择串口", "No port selected"},
    {XTX_STATUS_STANDARD, "标准控制器", "Standard controller"},
    {XTX_STATUS_FOC, "FOC 控制器", "FOC controller"},
    {XTX_STATUS_VARIANT, "功能变体 %1", "variant %1"},
    {XTX_STATUS_CUSTOMER, "客户 %1", "customer %1"},
    {XTX_STATUS_VERSION, "版本 %1", "version %1"},
    {XTX_STATUS_ONE_CHANGED, "1 个参数已修改，尚未下载", "1 value changed, not yet downloaded"},
    {XTX_STATUS_CHANGED, "%1 个参数已修改，尚未下载", "%1 values changed, not yet downloaded"},
    {XTX_CLOSE_ONE_CHANGED, "1 个参数已修改但尚未下载。仍要关闭吗？",
     "1 value has been changed but not downloaded. Close anyway?"},
    {XTX_CLOSE_CHANGED, "%1 个参数已修改但尚未下载。仍要关闭吗？",
     "%1 values have been changed but not downloaded. Close anyway?"},
    {XTX_CONTROLLER_VALUE, "控制器: %1", "Controller: %1"},
    {XTX_FIND_PLACEHOLDER, "查找参数 (Ctrl+F)", "Find a parameter (Ctrl+F)"},
    {XTX_FIND_TIP, "回车或 F3：下一个；Shift+F3：上一个；Esc：关闭",
     "Enter or F3: next match; Shift+F3: previous; Esc: close"},
    // end of status line, changed values, find

    // Ports and their failures
    // Short lines: the message box does not wrap, and a command stands on a line of its own.
    {XTX_PORT_MISSING, "%1 没有响应：请检查连接线和串口适配器，\n然后从列表中重新选择串口。",
     "Nothing answers at %1: check the cable and the adapter,\nthen choose the port again from the list."},
    {XTX_PORT_NO_PERMISSION, "当前用户无权打开此串口。请加入 %1 组：\nsudo usermod -aG %1 $USER\n然后注销并重新登录。",
     "Your user may not open this port. Join the group %1:\nsudo usermod -aG %1 $USER\nthen log out and log in "
     "again."},
    {XTX_PORT_BUSY, "%1 已被其他程序占用（例如 ModemManager 或 brltty）。\n查出是哪个程序：fuser -v %1（或 lsof %1）\n关闭它后再连接。",
     "Another program holds %1 (ModemManager or brltty, for example).\nThis names it: fuser -v %1 (or lsof %1)\n"
     "Close it, then connect again."},
    {XTX_PORT_OTHER, "系统报告：%1", "The system reports: %1"},
    {XTX_PORT_MISSING_WINDOWS, "找不到 %1：串口适配器未插好，或 Windows 没有它的驱动程序。\n请插好适配器，在设备管理器中检查驱动，\n然后从列表中重新选择串口。",
     "%1 is not there: the adapter is unplugged, or Windows has no driver for it.\nPlug it in, check its driver in Device Manager,\nthen choose the port again from the list."},
    {XTX_PORT_BUSY_WINDOWS, "%1 已被其他程序占用（例如串口终端或其他调试软件）。\n关闭它后再连接。",
     "Another program holds %1 (a terminal or another setup tool, for example).\nClose it, then connect again."},
    // end of ports and their failures

    // Support log and packaging
    // end of support log and packaging

    // Editing: undo, revert, the allowed range
    {XTX_MENU_UNDO, "撤销", "Undo"},
    {XTX_REVERT_ROW, "恢复为控制器的值 (%1)", "Revert to the controller's value (%1)"},
    {XTX_REVERT_ALL, "撤销全部修改", "Revert all changes"},
    {XTX_UPLOAD_ONE_CHANGED, "1 个参数已修改但尚未下载，将被控制器的值替换。仍要上传吗？",
     "1 value changed and not downloaded will be replaced by the controller's. Upload anyway?"},
    {XTX_UPLOAD_CHANGED, "%1 个参数已修改但尚未下载，将被控制器的值替换。仍要上传吗？",
     "%1 values changed and not downloaded will be replaced by the controller's. Upload anyway?"},
    {XTX_ALLOWED_RANGE, "允许范围：%1", "Allowed: %1"},
    {XTX_CHANGES_TITLE, "已修改的参数", "Changed values"},
    {XTX_CHANGES_PARAMETER, "参数", "Parameter"},
    {XTX_CHANGES_CONTROLLER, "控制器的值", "Controller's value"},
    {XTX_CHANGES_NEW, "新值", "New value"},
    {XTX_CHANGES_REVERT, "恢复为控制器的值(&R)", "&Revert to the controller's value"},
    {XTX_CHANGES_GO_TO, "转到(&G)", "&Go to"},
    {XTX_CHANGES_CLOSE, "关闭", "Close"},
    {XTX_CHANGES_NONE, "所有参数均为控制器的值。", "Every value is the controller's."},
    {XTX_CHANGES_TIP, "单击查看修改列表 (Ctrl+Shift+L)", "Click for the list of changes (Ctrl+Shift+L)"},
    {XTX_MENU_UNDO_STEP, "撤销 %1", "Undo %1"},
    {XTX_MENU_REDO, "重做", "Redo"},
    {XTX_MENU_REDO_STEP, "重做 %1", "Redo %1"},
    {XTX_STEP_CHANGE, "%1: %2", "%1: %2"},
    {XTX_STEP_VALUES, "%1 → %2", "%1 → %2"},
    {XTX_STEP_EMPTY, "(空)", "(empty)"},
    {XTX_STEP_REVERT_ALL, "全部恢复为控制器的值", "Revert all changes"},
    {XTX_STEP_IMPORT, "导入 %1", "Import %1"},
    // end of editing

    // Command line: progress and interruption
    {XTX_PROGRESS_READ, "正在读取第 %1 块，共 %2 块", "Reading block %1 of %2"},
    {XTX_PROGRESS_WRITE, "正在写入第 %1 块，共 %2 块", "Writing block %1 of %2"},
    {XTX_STOPPED_WRITING,
     "已中断：控制器已收到 %1 块（共 %2 块）但未保存，其已保存的参数没有改变。恢复方法：重新下载，或将控制器断电重启以丢弃已写入的块。",
     "Interrupted: the controller holds %1 of %2 blocks written but not stored; the set it has stored is "
     "unchanged. To recover, download again, or power-cycle the controller to drop the written blocks."},
    {XTX_STOPPED, "已中断：没有再向控制器或文件写入任何内容。",
     "Interrupted: nothing more was written to the controller or to a file."},
    {XTX_STOP_AFTER_STORED, "中断时保存请求已经发出：控制器已保存新的参数。",
     "The stop came after the store request: the controller stored the new set."},
    {XTX_STOP_AFTER_REFUSED, "中断时保存请求已经发出：控制器拒绝保存，其已保存的参数没有改变。",
     "The stop came after the store request: the controller refused to store it; the set it has stored is "
     "unchanged."},
    {XTX_STOP_STORE_UNANSWERED, "中断时保存请求已经发出，但控制器没有回答：请读取控制器，查看它保存的参数。",
     "The stop came after the store request, and the controller did not answer it: read the controller to see "
     "which set it holds."},
    {XTX_STOPPED_AFTER_STORE, "已中断：控制器已保存新的参数，但没有读回核对。",
     "Interrupted: the controller stored the new set; it was not read back."},
    {XTX_READING_INPUT, "正在从标准输入读取参数文件（以文件结束符结束，Ctrl+C 中止）……",
     "Reading the set from standard input (end it with end-of-file; Ctrl+C stops)..."},
    // end of command line: progress and interruption

    // Editing aids: variants, ranges while typing, backups in the window
    {XTX_VARIANT_MISMATCH, "文件属于功能变体 %1，控制器为功能变体 %2",
     "The file is of function variant %1; the controller is of variant %2"},
    {XTX_DEFAULT_BACKUP, "被替换的参数保存在备份 %1 中", "The replaced set is kept in the backup %1"},
    {XTX_CHECK_IMPOSSIBLE, "%1：身份字（如校准值）无效，无法检查参数范围，所有值都会通过",
     "%1: the values cannot be checked, its identity words (calibration, for example) are not valid, so every "
     "value would pass"},
    {XTX_BACKUPS_TITLE, "参数备份", "Backups"},
    {XTX_BACKUPS_TIME, "时间", "Time"},
    {XTX_BACKUPS_REASON, "读取或写入", "Read or written"},
    {XTX_BACKUPS_READ, "读取", "read"},
    {XTX_BACKUPS_WRITTEN, "写入", "written"},
    {XTX_BACKUPS_CONTROLLER, "控制器", "Controller"},
    {XTX_BACKUPS_CUSTOMER, "客户", "Customer"},
    {XTX_BACKUPS_LOAD, "载入(&L)", "&Load"},
    {XTX_BACKUPS_COMPARE, "比较(&C)", "&Compare"},
    {XTX_BACKUPS_DOWNLOAD, "下载(&D)", "&Download"},
    {XTX_BACKUPS_NONE, "尚无参数备份。", "No backups yet."},
    {XTX_BACKUPS_BUTTON, "备份", "Backups"},
    {XTX_BACKUPS_TIP, "参数备份列表 (Ctrl+Shift+B)", "The list of backups (Ctrl+Shift+B)"},
    {XTX_COMPARE_TITLE, "备份 %1 与表格比较", "Backup %1 against the grid"},
    {XTX_COMPARE_GRID, "表格中的值", "In the grid"},
    {XTX_COMPARE_BACKUP, "备份中的值", "In the backup"},
    {XTX_COMPARE_SAME, "备份中的值与表格相同。", "The backup holds the values the grid shows."},
    // end of editing aids

    // Production: programming many units with one recipe
    {XTX_PROGRAM_PASS, "合格", "PASS"},
    {XTX_PROGRAM_FAIL, "不合格", "FAIL"},
    {XTX_PROGRAM_SUMMARY, "共 %1 台：%2", "%1 programmed: %2"},
    {XTX_PROGRAM_COUNTS, "%1 台合格，%2 台不合格", "%1 passed, %2 failed"},
    {XTX_PROGRAM_WRONG_KIND, "控制器类型与配方不符，未写入", "not the recipe's kind of controller; nothing written"},
    {XTX_PROGRAM_WRONG_MODEL, "控制器型号与配方不符（第 %1 字不同），未写入",
     "not the recipe's model (word %1 differs); nothing written"},
    {XTX_PROGRAM_NOT_VALID, "控制器的标识或校准数据无效，未写入",
     "the controller's identity or calibration is not valid; nothing written"},
    {XTX_PROGRAM_OUT_OF_RANGE, "参数超出范围，未写入：%1", "values out of range, nothing written: %1"},
    {XTX_PROGRAM_STORE_REFUSED, "控制器拒绝保存", "the controller refused to store"},
    {XTX_PROGRAM_READ_BACK_DIFFERS, "回读的数据块与写入的不同", "the blocks read back differ from those written"},
    {XTX_PROGRAM_NO_ANSWER, "超时无响应（%1）", "no answer in time (%1)"},
    {XTX_PROGRAM_PORT_GONE, "串口已断开（%1）", "the port went away (%1)"},
    {XTX_PROGRAM_PORT_CLOSED, "串口无法打开：%1", "the port does not open: %1"},
    {XTX_PROGRAM_STOPPED_READING, "已中断：未向控制器写入任何内容", "interrupted: nothing was written"},
    {XTX_PROGRAM_RECIPE_HASH, "文件的 SHA-256 为 %1，而不是 %2；未发送任何内容",
     "the file's SHA-256 is %1, not %2; nothing sent"},
    {XTX_PROGRAM_RECIPE_NOT_VALID, "配方文件的标识或校准数据无效；未发送任何内容",
     "the recipe's identity or calibration is not valid; nothing sent"},
    {XTX_PROGRAM_WAITING, "等待控制器", "waiting for a controller"},
    {XTX_PROGRAM_READING, "正在读取", "reading"},
    {XTX_PROGRAM_VERIFYING, "正在校验", "verifying"},
    {XTX_PROGRAM_REMOVE, "请取下控制器", "remove the controller"},
    {XTX_PROGRAM_JOURNAL_FAILED, "生产记录无法写入：", "the production record could not be written:"},
    // end of production
};

static_assert(ListedInIdOrder(kExtraTexts, XTX_COUNT), "kExtraTexts must list every XtxId once, in enum order");

}  // namespace

const char* ExtraText(Language language, XtxId id) {
    if (id < 0 || id >= XTX_COUNT) return "";
    return language == LANG_CHINESE ? kExtraTexts[id].cn : kExtraTexts[id].en;
}

std::string FillIn(const std::string& text, const std::string& value) { return FillIn(text, value, "%2"); }

std::string FillIn(const std::string& text, const std::string& value, const std::string& second) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (text[i] == '%' && (next == '1' || next == '2')) {
            out += next == '1' ? value : second;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace dt
