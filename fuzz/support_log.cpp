// The support log after any texts: each event stays one line of the file, no line outgrows the
// cut, and neither the log nor its one older file outgrows the cap.
//
// Input: texts separated by NUL bytes, each logged as one event.
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "SupportLog.h"

using namespace dt;
using namespace dt::fuzz;

namespace {

// A state folder of this process's own, on tmpfs when there is one.
std::string StartLog() {
    const std::string base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
    const std::string folder = base + "/dt-fuzz-log-" + std::to_string(::getpid());
    setenv("XDG_STATE_HOME", folder.c_str(), 1);
    StartSupportLog("drivetune-fuzz");
    return SupportLogPath();
}

// The lines written since `from`: one per event, none longer than the cut allows.
void RequireOneShortLineEach(const QString& path, qint64 from, size_t events) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || !f.seek(from)) Fail("the log cannot be read back");
    size_t lines = 0;
    while (!f.atEnd()) {
        const QString line = QString::fromUtf8(f.readLine());
        // The time, the program and its pid come before the text, and the cut's note after it.
        Require(line.size() <= kSupportLogLineMax + 120, "a logged line longer than the cut");
        ++lines;
    }
    Require(lines == events, "an event did not make exactly one line");
}

// The file's identity: a rotation renames the log to the older file, so the older file then has
// the log's old identity. Sizes cannot tell: events of equal length rotate files of equal size.
ino_t FileId(const QString& path) {
    struct stat info {};
    return ::stat(path.toLocal8Bit().constData(), &info) == 0 ? info.st_ino : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QString path = QString::fromStdString(StartLog());
    const std::string all(reinterpret_cast<const char*>(data), size);
    size_t events = 0;
    const qint64 before = QFileInfo(path).size();
    const ino_t logBefore = FileId(path);
    for (size_t from = 0; from <= all.size();) {
        const size_t end = std::min(all.find('\0', from), all.size());
        LogEvent(all.substr(from, end - from));
        ++events;
        from = end + 1;
    }
    Require(QFileInfo(path).size() <= kSupportLogCap, "the log outgrew its cap");
    Require(QFileInfo(path + ".1").size() <= kSupportLogCap, "the older file outgrew the cap");
    // Unless the file was rotated meanwhile, it grew by exactly one line per event.
    const bool rotated = logBefore == 0 || FileId(path) != logBefore;
    if (!rotated && QFileInfo::exists(path)) RequireOneShortLineEach(path, before, events);
    return 0;
}
