// The in-memory readers of text.ini and the settings file (the fuzzing harnesses use them) must
// read exactly what the file readers read.
#include <gtest/gtest.h>

#include <string>

#include "BlockBuilder.h"
#include "LanguageSetup.h"
#include "Settings.h"
#include "ToolState.h"

namespace dt {
namespace {

using test::TempDir;
using test::WriteFile;

TEST(InMemoryInputs, SettingsFromMemoryMatchTheFile) {
    const std::string files[] = {
        "",
        "[Tavo GUI]\nUartPort=3\nBaudrate=9600\nLanguage=1\n",
        "[Other]\nUartPort=7\n[tavo gui]\r\n uartport = \"12\" \r\nBAUDRATE=115200\r\n[Later]\nLanguage=1",
        "[Tavo GUI]\nUartPort=-4\nBaudrate=4294967299\nLanguage=2\n",
        "UartPort=5\n[Tavo GUI\nLanguage=1\n",
        std::string("[Tavo GUI]\nUartPort=4\0junk\nBaudrate=19200\n", 40),
    };
    TempDir dir;
    for (const std::string& content : files) {
        WriteFile(dir.File("s.ini"), content);
        const Settings fromFile = LoadSettings(dir.File("s.ini"));
        const Settings fromMemory = ParseSettings(content);
        EXPECT_EQ(fromMemory.UartPort, fromFile.UartPort) << content;
        EXPECT_EQ(fromMemory.Baudrate, fromFile.Baudrate) << content;
        EXPECT_EQ(fromMemory.Language, fromFile.Language) << content;
    }
}

TEST(InMemoryInputs, TextIniFromMemoryMatchesTheFile) {
    const std::string files[] = {
        "",
        "1000=title\r\n1001=\xC1\xAC\xBD\xD3\r\n2003=\xC9\xCF\xB4\xAB\r\n3001=a=b\r\n11000=\xB9\xD8\r\n12001=x",
        "\xEF\xBB\xBF" "1000=\xE4\xB8\xAD\n9000=\xE7\xBB\x84\n",
        "=3004\n3051=x\n4294970297=x\n-1=x\n7001=last",
    };
    TempDir dir;
    for (const std::string& content : files) {
        WriteFile(dir.File("text.ini"), content);
        ToolState fromFile, fromMemory;
        ApplyLanguage(fromFile, dir.File("text.ini"));
        ApplyLanguageFromMemory(fromMemory, content);
        EXPECT_EQ(fromMemory.language, LANG_CHINESE);
        EXPECT_EQ(fromMemory.ProductTitle(), fromFile.ProductTitle()) << content;
        EXPECT_EQ(fromMemory.catalogue->texts.labels, fromFile.catalogue->texts.labels) << content;
        EXPECT_EQ(fromMemory.catalogue->texts.messages, fromFile.catalogue->texts.messages) << content;
        EXPECT_EQ(fromMemory.lists.lists, fromFile.lists.lists) << content;
        const auto& a = fromMemory.Tables().ParameterSettings().rows;
        const auto& b = fromFile.Tables().ParameterSettings().rows;
        for (size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i].name_cn, b[i].name_cn) << content << " row " << i;
        EXPECT_EQ(fromMemory.Tables().ParameterSettings().groups[0].title_cn,
                  fromFile.Tables().ParameterSettings().groups[0].title_cn);
        EXPECT_EQ(fromMemory.Tables().FocSettings().rows[1].name_cn, fromFile.Tables().FocSettings().rows[1].name_cn);
    }
}

}  // namespace
}  // namespace dt
