// Language set-up and the distributors' text override file (GBK bytes, id=text lines).
#include <gtest/gtest.h>

#include <string>

#include "BlockBuilder.h"
#include "Gbk.h"
#include "LanguageSetup.h"

namespace dt {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

std::string Repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

const std::string kZhongGbk = "\xD6\xD0";  // 中
const std::string kZhong = "中";

TEST(LanguageSetup, NoOverrideFileMeansEnglish) {
    TempDir dir;
    ToolState s;
    s.settings.Language = 0;
    ApplyLanguage(s, dir.File("text.ini"));
    EXPECT_EQ(s.language, LANG_ENGLISH);
    EXPECT_EQ(s.settings.Language, 1);
    EXPECT_EQ(s.lists.lists[1][1], "1:Enable");
    EXPECT_EQ(s.Message(MSG_UPLOAD_OK), "Upload parameters successfully");
    EXPECT_EQ(s.ProductTitle(), "FOC Controller");
}

TEST(LanguageSetup, OverrideFileIsReadAsGbkLines) {
    const std::string file =
        "3001=abc=def\r\n"
        "3006=\xB1\xEA\xB3\xC6\xB5\xE7\xD1\xB9\r\n"  // 标称电压
        "=3004\r\n"
        "3004 without equals\r\n"
        "3051=x\r\n12039=x\r\n1011=x\r\n2026=x\r\n"
        "2003=\xC9\xCF\xB4\xAB\xCD\xEA\xB3\xC9\r\n"  // 上传完成
        "1000=title\r\n"
        "1010=\xB9\xD8\r\n"                          // 关
        "11000=\xB9\xD8\r\n"
        "12001=\xD2\xD2\xB9\xA6\xC4\xDC\r\n"         // 乙功能
        "5001=\xBC\xD7\xB9\xA6\xC4\xDC\r\n"          // 甲功能
        "3002=" + Repeat(kZhongGbk, 128) + "\r\n"    // 256 bytes: a name keeps 254
        "9000=a" + Repeat(kZhongGbk, 128) + "\r\n"   // 257 bytes: a title keeps 255
        "4001=a" + Repeat(kZhongGbk, 256) + "\r\n"   // 513 bytes: a hint keeps 511
        "8001=" + Repeat(kZhongGbk, 256) + "\r\n"    // 512 bytes: a hint keeps 510
        "7001=last";                                 // no line end at all
    TempDir dir;
    WriteFile(dir.File("text.ini"), file);
    ToolState s;
    ApplyLanguage(s, dir.File("text.ini"));

    EXPECT_EQ(s.language, LANG_CHINESE);
    EXPECT_EQ(s.settings.Language, 0);
    const auto& P = s.Tables().ParameterSettings().rows;
    EXPECT_EQ(P[1].name_cn, "abc=def");
    EXPECT_EQ(P[6].name_cn, "标称电压");
    EXPECT_EQ(P[6].name_en, "Nominal battery voltage (V)");
    EXPECT_EQ(P[4].name_cn, "额定转速 (rpm)");
    EXPECT_EQ(P[2].name_cn, Repeat(kZhong, 127));
    EXPECT_EQ(P[1].hint_cn, "a" + Repeat(kZhong, 255));
    EXPECT_EQ(s.Tables().ParameterSettings().groups[0].title_cn, "a" + Repeat(kZhong, 127));
    EXPECT_EQ(s.Tables().FocSettings().rows[1].hint_cn, Repeat(kZhong, 255));
    EXPECT_EQ(s.Tables().FocSettings().rows[1].name_cn, "last");
    EXPECT_EQ(s.catalogue->texts.messages[LANG_CHINESE][MSG_UPLOAD_OK], "上传完成");
    EXPECT_EQ(s.catalogue->texts.messages[LANG_ENGLISH][MSG_UPLOAD_OK], "Upload parameters successfully");
    EXPECT_EQ(s.Message(MSG_UPLOAD_OK), "上传完成");
    EXPECT_EQ(s.catalogue->texts.messages[LANG_CHINESE][26], "");
    EXPECT_EQ(s.Label(LBL_CANCEL), "关");
    EXPECT_EQ(s.catalogue->texts.labels[LANG_ENGLISH][LBL_CANCEL], "Cancel");
    EXPECT_EQ(s.ProductTitle(), "title");
    EXPECT_EQ(s.lists.lists[1], (std::vector<std::string>{"关", "1: 开启"}));

    // Variant overrides reach the working function set at the next selection.
    EXPECT_EQ(s.FunctionSettings().rows[1].name_cn, "乙功能");
    s.modelWord = 0;
    SelectFunctionVariant(s);
    EXPECT_EQ(s.FunctionSettings().rows[1].name_cn, "甲功能");
    EXPECT_EQ(s.FunctionSettings().rows[1].name_en, "EBS enable");
}

TEST(LanguageSetup, IdsOutsideTheMapAreIgnored) {
    const std::pair<const char*, bool> lines[] = {
        {"3051=x", false},  {"12039=x", false}, {"1011=x", false},  {"2026=x", false},
        {"10006=x", false}, {"9008=x", false},  {"14007=x", false}, {"11012=x", false},
        {"999=x", false},   {"-3001=x", false}, {"=5", false},      {"abc", false},
        {"", false},        {"3050=x", true},   {"12038=x", true},  {"14006=x", true},
        {"7014=x", true},   {"11011=x", true},  {"2025=x", true},   {"1001=x", true},
        {"4294970297=x", false},  // 2^32 + 3001 is no identifier
    };
    Catalogue c = *BuiltInCatalogue();
    for (const auto& [line, applied] : lines) EXPECT_EQ(ApplyOverrideLine(c, line), applied) << line;
    EXPECT_EQ(c.tables.FunctionSettingsB().groups[6].title_cn, "x");
    EXPECT_EQ(c.optionTexts.entries[7][1][LANG_CHINESE], "x");
    EXPECT_EQ(c.tables.ParameterSettings().rows[1].name_cn, "Hall电角度");
}

TEST(Gbk, ConversionsAndCuts) {
    EXPECT_EQ(GbkToUtf8("\xB5\xE7\xD1\xB9 (V)"), "电压 (V)");
    EXPECT_EQ(Utf8ToGbk("电压"), "\xB5\xE7\xD1\xB9");
    EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80" "b"), "a?b");  // one '?' for a character GBK lacks
    EXPECT_EQ(CutGbk("a\xD6\xD0\xD6\xD0", 4), "a\xD6\xD0");
    EXPECT_EQ(SlotText(std::string("ab\0cd", 5), 256), "ab");
}

TEST(LanguageSetup, SettingsLanguageFollowsTheFileRuleAtTheNextSave) {
    TempDir dir;
    const std::string ini = dir.File("DriveTune.ini");
    WriteFile(ini, "[Tavo GUI]\nUartPort=2\nBaudrate=9600\nLanguage=1\n");
    WriteFile(dir.File("text.ini"), "2003=x\n");
    ToolState s;
    s.settings = LoadSettings(ini);
    ASSERT_EQ(s.settings.Language, 1);
    ApplyLanguage(s, dir.File("text.ini"));
    EXPECT_EQ(s.language, LANG_CHINESE);
    SaveSettings(ini, s.settings);
    EXPECT_EQ(ReadFile(ini), "[Tavo GUI]\nUartPort=2\nBaudrate=9600\nLanguage=0\n");
}

TEST(LanguageSetup, AgainRestoresCountsAndAllVoltages) {
    ToolState s = test::ReferenceController();
    ASSERT_EQ(s.lists.lists[0].size(), 4u);  // voltage class 100 with the limit open
    s.ChangeCatalogue([](Catalogue& c) {
        c.tables.EditSets().ParameterSettings.rowCount = 10;
        c.tables.EditSets().ProfessionalSettings.groupCount = 1;
    });
    TempDir dir;
    ApplyLanguage(s, dir.File("text.ini"));
    EXPECT_EQ(s.lists.lists[0].size(), 6u);
    EXPECT_EQ(s.Tables().ParameterSettings().rowCount, 51);
    EXPECT_EQ(s.Tables().ProfessionalSettings().groupCount, 14);
    EXPECT_EQ(s.FunctionSettings().rowCount, 39);  // ModelWord 0x052C keeps variant B
}

TEST(LanguageSetup, TablesAreSharedUntilAStateChangesThem) {
    ToolState first, second;
    ToolState copy = first;
    EXPECT_EQ(first.catalogue, second.catalogue);
    EXPECT_EQ(first.catalogue, copy.catalogue);

    // text.ini in one state: the others keep the built-in texts, and its copies share its own.
    LoadTextOverridesFromMemory(first, "3001=New name\n12001=Other name\n");
    EXPECT_NE(first.catalogue, second.catalogue);
    EXPECT_EQ(first.Tables().ParameterSettings().rows[1].name_cn, "New name");
    EXPECT_EQ(first.Tables().FunctionSettingsB().rows[1].name_cn, "Other name");
    EXPECT_NE(second.Tables().ParameterSettings().rows[1].name_cn, "New name");
    EXPECT_NE(copy.Tables().FunctionSettingsB().rows[1].name_cn, "Other name");
    const ToolState later = first;
    EXPECT_EQ(later.catalogue, first.catalogue);
    EXPECT_EQ(later.Tables().ParameterSettings().rows[1].name_cn, "New name");

    // Counts put back in one state only, whichever set's count changed.
    auto change = [&copy](auto edit) {
        copy.ChangeCatalogue([&](Catalogue& c) { edit(c.tables.EditSets()); });
        ApplyLanguageFromMemory(copy, "");
    };
    change([](TableSets& t) { t.ParameterSettings.rowCount = 10; });
    EXPECT_EQ(second.Tables().ParameterSettings().rowCount, 51);
    EXPECT_EQ(copy.Tables().ParameterSettings().rowCount, 51);
    change([](TableSets& t) { t.FocSettings.rowCount = 3; });
    EXPECT_EQ(copy.Tables().FocSettings().rowCount, 15);
    change([](TableSets& t) { t.ProfessionalSettings.groupCount = 2; });
    EXPECT_EQ(copy.Tables().ProfessionalSettings().groupCount, 14);
    change([](TableSets& t) { t.ProfessionalSettings.rowCount = 2; });
    EXPECT_NE(copy.Tables().ProfessionalSettings().rowCount, 2);
}

TEST(LanguageSetup, Utf8FileWithByteOrderMarkIsHeldToGbkSlotSizes) {
    TempDir dir;
    WriteFile(dir.File("text.ini"), "\xEF\xBB\xBF" "3001=新名称\n3002=" + Repeat(kZhong, 200) + "\n");
    ToolState s;
    ApplyLanguage(s, dir.File("text.ini"));
    EXPECT_EQ(s.Tables().ParameterSettings().rows[1].name_cn, "新名称");
    EXPECT_EQ(s.Tables().ParameterSettings().rows[2].name_cn, Repeat(kZhong, 127));
}

TEST(Texts, BuiltInTextsKeepTheirExactForm) {
    TextTables t;
    for (int i = 0; i < kMessageSlots; ++i) {
        EXPECT_EQ(t.messages[LANG_CHINESE][i].empty(), i >= MSG_USED_COUNT) << i;
        EXPECT_EQ(t.messages[LANG_ENGLISH][i].empty(), i >= MSG_USED_COUNT) << i;
    }
    EXPECT_EQ(t.messages[LANG_CHINESE][MSG_FILE_FILTER], "DriveTune文件(*.foc)|*.foc||");
    EXPECT_EQ(t.messages[LANG_ENGLISH][MSG_NOT_CONNECTED], "Please connect the device first");
    EXPECT_EQ(t.labels[LANG_ENGLISH][LBL_UPLOAD], "Upload ");  // trailing blanks are kept
    EXPECT_EQ(t.labels[LANG_ENGLISH][LBL_STORE], "Store  ");
    EXPECT_STREQ(kGedFileFilter, "DriveTune file(*.ged)|*.ged||");
}

}  // namespace
}  // namespace dt
