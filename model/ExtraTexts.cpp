#include "ExtraTexts.h"

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
    // end of backups and data safety

    // Status line, changed values, find
    // end of status line, changed values, find

    // Ports and their failures
    // end of ports and their failures

    // Support log and packaging
    // end of support log and packaging
};

constexpr bool InIdOrder() {
    for (int i = 0; i < static_cast<int>(sizeof kExtraTexts / sizeof kExtraTexts[0]); ++i)
        if (kExtraTexts[i].id != i) return false;
    return sizeof kExtraTexts / sizeof kExtraTexts[0] == XTX_COUNT;
}
static_assert(InIdOrder(), "kExtraTexts must list every XtxId once, in enum order");

}  // namespace

const char* ExtraText(Language language, XtxId id) {
    if (id < 0 || id >= XTX_COUNT) return "";
    return language == LANG_CHINESE ? kExtraTexts[id].cn : kExtraTexts[id].en;
}

std::string FillIn(const std::string& text, const std::string& value) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '1') {
            out += value;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace dt
