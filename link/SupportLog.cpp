#include "SupportLog.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QMutex>
#include <QMutexLocker>
#include <atomic>

#include "Version.h"
#include "XdgPaths.h"

namespace dt {

namespace {

Q_LOGGING_CATEGORY(lcEvents, "drivetune.events", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFrames, "drivetune.frames", QtInfoMsg)

// The trace is asked for by the user, not by logging rules.
std::atomic<bool> traceOn{false};

constexpr const char* kCategoryPrefix = "drivetune.";
// How long a line waits for another program that is rotating the log.
constexpr int kRotateLockWaitMs = 2000;

struct LogState {
    QMutex mutex;
    bool started = false;
    QString path;
    QString program;
    QtMessageHandler previous = nullptr;
};

LogState& State() {
    static LogState state;
    return state;
}

QString LogFolder() {
    return QString::fromStdString(dt::XdgBaseDir("XDG_STATE_HOME", ".local/state")) + "/DriveTune";
}

bool Full(const QString& path, qint64 adding) {
    const QFileInfo info(path);
    return info.exists() && info.size() + adding > kSupportLogCap;
}

// Keeps the file under the cap: the full file becomes the one older file kept. The window and the
// command line may cross the cap together; under the lock, the second finds the file already
// rotated and leaves the older megabyte alone.
void RotateIfFull(const QString& path, qint64 adding) {
    if (!Full(path, adding)) return;
    QLockFile lock(path + ".lock");
    if (!lock.tryLock(kRotateLockWaitMs) || !Full(path, adding)) return;
    const QString older = path + ".1";
    QFile::remove(older);
    QFile::rename(path, older);
}

// Best effort: a log that cannot be written never disturbs the work it records.
void AppendLine(const QString& text) {
    LogState& s = State();
    const QByteArray line = (QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss.zzz ") + s.program + "[" +
                             QString::number(QCoreApplication::applicationPid()) + "] " + text + "\n")
                                .toUtf8();
    QMutexLocker lock(&s.mutex);
    RotateIfFull(s.path, line.size());
    QFile file(s.path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Append)) file.write(line);
}

void Handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (context.category && qstrncmp(context.category, kCategoryPrefix, qstrlen(kCategoryPrefix)) == 0) {
        if (State().started) AppendLine(message);
        return;  // the log's lines never reach standard error
    }
    if (State().previous) State().previous(type, context, message);
}

// One event per line, whatever the text holds, and never so long that the file outgrows its cap.
QString OneLine(const std::string& text) {
    QString out = QString::fromStdString(text);
    if (out.size() > kSupportLogLineMax)
        out = out.left(kSupportLogLineMax) + QStringLiteral(" ... (%1 more characters)").arg(out.size() - kSupportLogLineMax);
    out.replace(QLatin1String("\r\n"), QLatin1String(" / "));
    out.replace(QLatin1Char('\n'), QLatin1String(" / "));
    for (QChar& c : out)
        if (c.unicode() < 0x20) c = QLatin1Char(' ');
    return out;
}

}  // namespace

std::string SupportLogPath() { return (LogFolder() + "/drivetune.log").toStdString(); }

void StartSupportLog(const std::string& program) {
    LogState& s = State();
    {
        QMutexLocker lock(&s.mutex);
        s.path = QString::fromStdString(SupportLogPath());
        s.program = QString::fromStdString(program);
        QDir().mkpath(QFileInfo(s.path).absolutePath());
        if (!s.started) s.previous = qInstallMessageHandler(Handler);
        s.started = true;
    }
    qCInfo(lcEvents).noquote() << QString::fromStdString(program) + " " DRIVETUNE_VERSION " started (Qt " +
                                      qVersion() + ")";
}

void StopSupportLog() {
    LogState& s = State();
    QMutexLocker lock(&s.mutex);
    if (!s.started) return;
    qInstallMessageHandler(s.previous);
    s.previous = nullptr;
    s.started = false;
}

void SetFrameTrace(bool on) { traceOn = on; }

bool FrameTraceOn() { return traceOn; }

void LogEvent(const std::string& text) {
    if (!State().started) return;
    qCInfo(lcEvents).noquote() << OneLine(text);
}

void LogFrame(bool sent, const unsigned char* bytes, int length) {
    if (!traceOn || !State().started || !bytes || length <= 0) return;
    const QByteArray hex = QByteArray(reinterpret_cast<const char*>(bytes), length).toHex(' ').toUpper();
    qCInfo(lcFrames).noquote() << (sent ? "sent " : "read ") + QString::fromLatin1(hex);
}

}  // namespace dt
