#include "Texts.h"

#include "IdOrder.h"

namespace dt {

const char* const kGedFileFilter = "DriveTune file(*.ged)|*.ged||";
const char* const kWindowTitle =
    "Briskwheels Tavo GUI V3.1.3(b14-0808) (Note: Modify the parameters, please observe local laws and "
    "regulations, the Company is not liable)";
const char* const kMessageCaption = "BRISKWHEELS";

namespace {

struct MessagePair {
    const char* cn;
    const char* en;
};

// A message and its id, listed so that a row out of order fails the check below.
struct MessageRow {
    MsgId id;
    const char* cn;
    const char* en;
};

// Slots 0..25.
constexpr MessageRow kMessages[] = {
    {MSG_ALREADY_RUNNING, "程序已经运行", "The program has been running"},
    {MSG_PORT_OPEN_FAILED, "打开串口失败 COM", "fail to open the serial port COM"},
    {MSG_TIMEOUT, "超时无响应", "no response because of timeout"},
    {MSG_UPLOAD_OK, "上传参数成功", "Upload parameters successfully"},
    {MSG_DOWNLOAD_OK, "下载参数成功", "Download parameters successfully"},
    {MSG_STORE_OK, "保存参数成功", "Save the parameters successfully"},
    {MSG_STORE_FAILED, "保存参数失败", "Fail to Save the parameters"},
    {MSG_RESTORE_OK, "恢复默认参数成功", "Restore the default parameters successfully"},
    {MSG_PACKET_LENGTH_ERROR, "数据包长度错误", "Data packet length error"},
    {MSG_FILE_FILTER, "DriveTune文件(*.foc)|*.foc||", "DriveTune file(*.foc)|*.foc||"},
    {MSG_EXPORT_TITLE, "导出参数到文件中", "Export the parameters to a file"},
    {MSG_EXPORT_OPEN_FAILED, "不能导出，打开文件失败", "Unable to export, fail to open the file"},
    {MSG_EXPORT_OK, "导出成功", "Export file successfully"},
    {MSG_IMPORT_TITLE, "从文件中导入参数", "Import parameters from a file"},
    {MSG_IMPORT_OPEN_FAILED, "不能导入，打开文件失败", "Unable to import, fail to open the file"},
    {MSG_IMPORT_LENGTH_ERROR, "不能导入，文件长度错误", "Unable to import, file length error"},
    {MSG_IMPORT_OK, "导入成功", "Import file successfully"},
    {MSG_ITEM, "项目", "Item"},
    {MSG_VALUE, "值", "Value"},
    {MSG_INPUT_INVALID, "输入数据不合法", "Input data is not legitimate"},
    {MSG_VERSION_MISMATCH, "软件版本与控制器不匹配", "Software version does not match with the controller"},
    {MSG_NO_PORT, "没有可用的串口", "No COM"},
    {MSG_DOWNLOAD_FAILED, "下载参数失败", "Fail to Download parameters"},
    {MSG_RESTORE_FAILED, "恢复默认参数失败", "Fail to Restore the default parameters"},
    {MSG_IMPORT_MISMATCH, "导入参数与控制器不匹配", "File does not match with the controller"},
    {MSG_NOT_CONNECTED, "请先连接设备", "Please connect the device first"},
};

static_assert(ListedInIdOrder(kMessages, MSG_USED_COUNT), "kMessages must list every MsgId once, in enum order");

// English labels keep their trailing blanks.
const MessagePair kLabels[LBL_COUNT] = {
    {"连接控制器", "Connect"},
    {"从控制器上传", "Upload "},
    {"下载到控制器", "Download"},
    {"保存到控制器", "Store  "},
    {"恢复默认值", "Default"},
    {"从文件导入", "Import "},
    {"导出到文件", "Export "},
    {"切换语言", "switch language"},
    {"确定", "OK"},
    {"取消", "Cancel"},
};

}  // namespace

TextTables::TextTables() {
    productTitle = {"FOC 控制器", "FOC Controller"};
    for (int i = 0; i < MSG_USED_COUNT; ++i) {
        messages[LANG_CHINESE][i] = kMessages[i].cn;
        messages[LANG_ENGLISH][i] = kMessages[i].en;
    }
    for (int i = 0; i < LBL_COUNT; ++i) {
        labels[LANG_CHINESE][i] = kLabels[i].cn;
        labels[LANG_ENGLISH][i] = kLabels[i].en;
    }
}

}  // namespace dt
