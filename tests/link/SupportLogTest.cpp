// The support log: its lines, the cap with one older file, and the frame trace from a real port.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include "SerialPort.h"
#include "SupportLog.h"
#include "Version.h"

using namespace dt;

namespace {

class SupportLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        hadXdg_ = qEnvironmentVariableIsSet("XDG_STATE_HOME");
        oldXdg_ = qgetenv("XDG_STATE_HOME");
        qputenv("XDG_STATE_HOME", dir_.path().toLocal8Bit());
    }
    void TearDown() override {
        StopSupportLog();
        SetFrameTrace(false);
        if (hadXdg_) qputenv("XDG_STATE_HOME", oldXdg_);
        else qunsetenv("XDG_STATE_HOME");
    }

    QString LogPath(const char* suffix = "") const { return dir_.filePath(QString("DriveTune/drivetune.log") + suffix); }
    QStringList Lines(const char* suffix = "") const {
        QFile f(LogPath(suffix));
        if (!f.open(QIODevice::ReadOnly)) return {};
        return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    }
    // The text after "<date> <time.ms> <program>[<pid>] ".
    static QString Text(const QString& line) {
        static const QRegularExpression head(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3} [\w-]+\[\d+\] )");
        const QRegularExpressionMatch m = head.match(line);
        return m.hasMatch() ? line.mid(m.capturedLength()) : "<no time and program: " + line + ">";
    }

    QTemporaryDir dir_;
    bool hadXdg_ = false;
    QByteArray oldXdg_;
};

TEST_F(SupportLogTest, OneTimedLinePerEventAfterTheStartLine) {
    LogEvent("before the start");  // nothing is written before the program starts its log
    EXPECT_FALSE(QFile::exists(LogPath()));

    StartSupportLog("drivetune-test");
    EXPECT_EQ(SupportLogPath(), LogPath().toStdString());
    LogEvent("command: Upload");
    LogEvent("message: fail to open the serial port COM3 9600\nNothing answers at COM3");
    LogFrame(true, reinterpret_cast<const unsigned char*>("\x66\x10\x00\x76"), 4);  // trace off: no line
    qWarning("not ours");                                                             // other categories pass by

    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), 3) << lines.join('\n').toStdString();
    EXPECT_EQ(Text(lines[0]).toStdString().rfind("drivetune-test " DRIVETUNE_VERSION " started", 0), 0u) << lines[0].toStdString();
    EXPECT_EQ(Text(lines[1]), "command: Upload");
    EXPECT_EQ(Text(lines[2]), "message: fail to open the serial port COM3 9600 / Nothing answers at COM3");

    // A second program appends to the same file.
    StartSupportLog("drivetune-cli");
    EXPECT_EQ(Lines().size(), 4);
    EXPECT_TRUE(Lines().last().contains("drivetune-cli[")) << Lines().last().toStdString();
}

TEST_F(SupportLogTest, CappedWithOneOlderFileKept) {
    StartSupportLog("drivetune-test");
    const std::string chunk(3000, 'x');  // lines as long as they are kept whole
    auto fill = [&](const std::string& tag, int count) {
        for (int i = 0; i < count; ++i) LogEvent(tag + std::to_string(i) + " " + chunk);
    };
    fill("first-", 500);  // about 1.5 MB
    EXPECT_LE(QFileInfo(LogPath()).size(), kSupportLogCap);
    EXPECT_LE(QFileInfo(LogPath(".1")).size(), kSupportLogCap);
    ASSERT_FALSE(Lines(".1").isEmpty());
    EXPECT_TRUE(Text(Lines().last()).startsWith("first-499 "));
    EXPECT_TRUE(Text(Lines(".1").first()).contains("started"));

    fill("second-", 500);
    EXPECT_LE(QFileInfo(LogPath()).size(), kSupportLogCap);
    EXPECT_TRUE(Text(Lines(".1").last()).startsWith("second-"));  // the oldest lines are gone
    EXPECT_FALSE(Lines(".1").join('\n').contains("first-1 "));
    EXPECT_EQ(QDir(dir_.filePath("DriveTune")).entryList(QDir::Files).size(), 2);
}

TEST_F(SupportLogTest, ALongLineIsCutSoTheCapHolds) {
    StartSupportLog("drivetune-test");
    LogEvent("command: download " + std::string(3 * 1024 * 1024, 'p'));
    LogEvent("after");
    EXPECT_LT(QFileInfo(LogPath()).size(), 10000);
    EXPECT_FALSE(QFile::exists(LogPath(".1")));
    const QStringList lines = Lines();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_TRUE(Text(lines[1]).startsWith("command: download ppp"));
    EXPECT_TRUE(lines[1].endsWith(QString(" ... (%1 more characters)").arg(3 * 1024 * 1024 + 18 - 4000)))
        << lines[1].right(60).toStdString();
    EXPECT_EQ(Text(lines[2]), "after");
}

// The window and the command line cross the cap together: one of them rotates, the other finds
// the file rotated already and keeps the older megabyte.
TEST_F(SupportLogTest, TwoProgramsCrossingTheCapRotateOnce) {
    StartSupportLog("drivetune-test");
    const std::string chunk(900, 'x');
    const QByteArray filler = QByteArray(1000, 'f') + '\n';
    for (int round = 0; round < 12; ++round) {
        QFile::remove(LogPath(".1"));
        {
            QFile log(LogPath());
            ASSERT_TRUE(log.open(QIODevice::WriteOnly | QIODevice::Truncate));
            while (log.size() + filler.size() <= kSupportLogCap - 200) log.write(filler);
        }
        const qint64 full = QFileInfo(LogPath()).size();
        std::vector<pid_t> children;
        for (int p = 0; p < 2; ++p) {
            const pid_t child = ::fork();
            if (child == 0) {
                for (int i = 0; i < 20; ++i) LogEvent(chunk);
                ::_exit(0);
            }
            children.push_back(child);
        }
        for (pid_t child : children) ::waitpid(child, nullptr, 0);
        ASSERT_GE(QFileInfo(LogPath(".1")).size(), full) << "round " << round << ": the older megabyte was lost";
    }
}

TEST_F(SupportLogTest, AnUnwritableLogDisturbsNothing) {
    QDir().mkpath(LogPath());  // a folder where the file belongs
    StartSupportLog("drivetune-test");
    LogEvent("lost, quietly");
    EXPECT_TRUE(QFileInfo(LogPath()).isDir());
}

TEST_F(SupportLogTest, TraceLogsEveryFrameOfARealPort) {
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
    ::close(slave);
    StartSupportLog("drivetune-test");
    SetFrameTrace(true);

    SerialPort port([&](int n) { return n == 4 ? std::string(name) : std::string(); });
    ASSERT_TRUE(port.OpenPort(4, 9600));
    const uint8_t request[] = {0x66, 0x10, 0x00, 0x76};
    port.Write(request, 4);
    const uint8_t reply[] = {0x66, 0x02, 0x00, 0x68};
    ASSERT_EQ(::write(master, reply, 4), 4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return port.BytesAvailable() == 4; }, 2000));
    uint8_t buf[16];
    EXPECT_EQ(port.Read(buf, sizeof buf), 4);
    SetFrameTrace(false);
    port.Write(request, 4);
    port.Close();
    EXPECT_FALSE(port.OpenPort(5, 9600));
    ::close(master);

    std::vector<std::string> texts;
    for (const QString& line : Lines()) texts.push_back(Text(line).toStdString());
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[1], "port COM4 opened: " + std::string(name) + " at 9600 baud");
    EXPECT_EQ(texts[2], "sent 66 10 00 76");
    EXPECT_EQ(texts[3], "read 66 02 00 68");
    EXPECT_EQ(texts[4], "port did not open: COM5: missing (no device is numbered COM5)");
}

}  // namespace
