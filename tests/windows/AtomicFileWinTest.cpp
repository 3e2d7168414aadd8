// Atomic writes on Windows: the target is replaced whole or not at all, whatever fails.
#include <gtest/gtest.h>
#include <windows.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "AtomicFile.h"
#include "FileCalls.h"

using namespace dt;

namespace {

class AtomicFileWin : public ::testing::Test {
protected:
    void TearDown() override { win::ActiveFileCalls() = win::FileCalls{}; }

    std::string Path(const QString& name) const { return dir_.filePath(name).toStdString(); }
    QByteArray Content(const QString& name) const {
        QFile f(dir_.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void Put(const QString& name, const QByteArray& bytes) {
        QFile f(dir_.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // Only the names given are in the folder: no temporary file is left behind.
    QStringList Names() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }

    QTemporaryDir dir_;
};

// Fails every write past the first `allowed` bytes as a full disk does.
size_t g_allowed = 0;
BOOL WINAPI WriteUntilFull(HANDLE h, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED ov) {
    if (g_allowed == 0) {
        SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    const DWORD n = size < g_allowed ? size : DWORD(g_allowed);
    g_allowed -= n;
    return ::WriteFile(h, data, n, written, ov);
}
BOOL WINAPI FlushFails(HANDLE) {
    SetLastError(ERROR_DEVICE_NOT_CONNECTED);
    return FALSE;
}

TEST_F(AtomicFileWin, WritesNewAndReplacesOldFiles) {
    std::string why;
    ASSERT_TRUE(WriteFileAtomically(Path("a.ini"), std::string("first"), why)) << why;
    EXPECT_EQ(Content("a.ini"), "first");
    ASSERT_TRUE(WriteFileAtomically(Path("a.ini"), std::string("second, longer"), why)) << why;
    EXPECT_EQ(Content("a.ini"), "second, longer");
    ASSERT_TRUE(WriteFileAtomically(Path("a.ini"), std::string(), why)) << why;
    EXPECT_EQ(Content("a.ini"), "");
    EXPECT_EQ(Names(), QStringList{"a.ini"});
}

TEST_F(AtomicFileWin, BackslashesAndNonAsciiNames) {
    std::string why;
    const std::string path = QDir::toNativeSeparators(dir_.filePath(QStringLiteral("参数.foc"))).toStdString();
    ASSERT_TRUE(WriteFileAtomically(path, std::string("x"), why)) << why;
    EXPECT_EQ(Content(QStringLiteral("参数.foc")), "x");
    std::vector<unsigned char> back;
    ASSERT_TRUE(ReadFileChecked(path, back, why)) << why;
    EXPECT_EQ(back, std::vector<unsigned char>{'x'});
}

TEST_F(AtomicFileWin, AFailedWriteLeavesTheOldFileByteForByte) {
    const QByteArray old(3000, 'o');
    const std::string big(5000, 'n');
    struct Case {
        const char* name;
        size_t allowed;   // bytes written before the disk is full
        bool flushFails;
        const char* reason;
    } cases[] = {
        {"full at once", 0, false, "disk"},
        {"full part way", 1000, false, "disk"},
        {"drive gone at the flush", 100000, true, ""},
    };
    for (const Case& c : cases) {
        Put("set.foc", old);
        win::ActiveFileCalls().write = WriteUntilFull;
        if (c.flushFails) win::ActiveFileCalls().flush = FlushFails;
        g_allowed = c.allowed;
        std::string why;
        EXPECT_FALSE(WriteFileAtomically(Path("set.foc"), big, why)) << c.name;
        EXPECT_FALSE(why.empty()) << c.name;
        EXPECT_NE(QString::fromStdString(why).indexOf(c.reason, 0, Qt::CaseInsensitive), -1) << c.name << ": " << why;
        win::ActiveFileCalls() = win::FileCalls{};
        EXPECT_EQ(Content("set.foc"), old) << c.name;
        EXPECT_EQ(Names(), QStringList{"set.foc"}) << c.name;
    }
}

TEST_F(AtomicFileWin, WhatIsInTheWayIsNamedAndKept) {
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder.ini"));
    std::string why;
    EXPECT_FALSE(WriteFileAtomically(Path("folder.ini"), std::string("x"), why));
    EXPECT_EQ(why, "Is a folder");
    std::vector<unsigned char> out;
    EXPECT_FALSE(ReadFileChecked(Path("folder.ini"), out, why));
    EXPECT_EQ(why, "Is a folder");
    EXPECT_FALSE(ReadFileChecked(Path("absent.ini"), out, why));
    EXPECT_FALSE(why.empty());

    // A read-only target is refused, not overwritten, and no temporary file stays.
    Put("kept.foc", "old");
    const std::wstring kept = QDir::toNativeSeparators(dir_.filePath("kept.foc")).toStdWString();
    SetFileAttributesW(kept.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(WriteFileAtomically(Path("kept.foc"), std::string("new"), why));
    SetFileAttributesW(kept.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(Content("kept.foc"), "old");
    EXPECT_EQ(Names(), (QStringList{"folder.ini", "kept.foc"}));

    // A missing folder is not made by a write.
    EXPECT_FALSE(WriteFileAtomically(Path("none/set.foc"), std::string("x"), why));
}

TEST_F(AtomicFileWin, ReadStopsAtTheLimit) {
    Put("big.bin", QByteArray(200000, 'b'));
    std::vector<unsigned char> out;
    std::string why;
    ASSERT_TRUE(ReadFileChecked(Path("big.bin"), out, why, 70000)) << why;
    EXPECT_EQ(out.size(), 70000u);
    ASSERT_TRUE(ReadFileChecked(Path("big.bin"), out, why)) << why;
    EXPECT_EQ(out.size(), 200000u);
}

TEST_F(AtomicFileWin, MakeDirectoriesWithEitherSlash) {
    std::string why;
    const std::string nested = QDir::toNativeSeparators(dir_.filePath("a/b")).toStdString() + "/c\\d";
    ASSERT_TRUE(MakeDirectories(nested, why)) << why;
    EXPECT_TRUE(QDir(dir_.filePath("a/b/c/d")).exists());
    EXPECT_TRUE(MakeDirectories(nested, why)) << "again: " << why;

    Put("file", "x");
    EXPECT_FALSE(MakeDirectories(Path("file"), why));
    EXPECT_FALSE(MakeDirectories(Path("file/below"), why));
    EXPECT_FALSE(why.empty());
}

}  // namespace
