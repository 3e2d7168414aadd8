#include "Texts.h"

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

// Slots 0..25 in MsgId order.
const MessagePair kMessages[MSG_USED_COUNT] = {
    {"程序已经运行", "The program has been running"},
    {"打开串口失败 COM", "fail to open the serial port COM"},
    {"超时无响应", "no response because of timeout"},
    {"上传参数成功", "Upload parameters successfully"},
    {"下载参数成功", "Download parameters successfully"},
    {"保存参数成功", "Save the parameters successfully"},
    {"保存参数失败", "Fail to Save the parameters"},
    {"恢复默认参数成功", "Restore the default parameters successfully"},
    {"数据包长度错误", "Data packet length error"},
    {"DriveTune文件(*.foc)|*.foc||", "DriveTune file(*.foc)|*.foc||"},
    {"导出参数到文件中", "Export the parameters to a file"},
    {"不能导出，打开文件失败", "Unable to export, fail to open the file"},
    {"导出成功", "Export file successfully"},
    {"从文件中导入参数", "Import parameters from a file"},
    {"不能导入，打开文件失败", "Unable to import, fail to open the file"},
    {"不能导入，文件长度错误", "Unable to import, file length error"},
    {"导入成功", "Import file successfully"},
    {"项目", "Item"},
    {"值", "Value"},
    {"输入数据不合法", "Input data is not legitimate"},
    {"软件版本与控制器不匹配", "Software version does not match with the controller"},
    {"没有可用的串口", "No COM"},
    {"下载参数失败", "Fail to Download parameters"},
    {"恢复默认参数失败", "Fail to Restore the default parameters"},
    {"导入参数与控制器不匹配", "File does not match with the controller"},
    {"请先连接设备", "Please connect the device first"},
};

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
