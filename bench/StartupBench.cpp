// The window's start to first paint and its memory, side by side with a bare Qt window that
// holds a QTableWidget of the same size. Each start runs in a fresh process (this program
// started again with --child), in turn, so both sides see the same machine state. The
// window starts as the program does: its first step before the application, then its identity
// and its support log.
//
//   StartupBench [rounds]     (default 15; prints medians, their ratios, and the median of the
//                              time ratios of each round: the steadier figure on a busy machine)
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QTableWidget>
#include <QTemporaryDir>
#include <fcntl.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <string>
#include <vector>

#include "AppIdentity.h"
#include "DriveTuneApp.h"
#include "DriveTuneView.h"
#include "GridCtrl.h"

namespace {

constexpr int kWidth = 1070;  // the main window's size
constexpr int kHeight = 720;

// Peak resident memory of this process, in kB.
long PeakKb() {
    std::ifstream in("/proc/self/status");
    std::string key;
    long value = 0;
    while (in >> key) {
        if (key == "VmHWM:") {
            in >> value;
            return value;
        }
        in.ignore(4096, '\n');
    }
    return 0;
}

// Quits the event loop at the first paint of any widget of the window.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, e);
    }

private:
    bool seen_ = false;
};

// One start in this process; prints "ms kB rows cols".
int Child(int argc, char** argv, const std::string& which, int rows, int cols) {
    QElapsedTimer clock;
    clock.start();
    std::future<void> prepared;
    if (which == "window") prepared = dt::PrepareWindowProgram();
    QApplication qt(argc, argv);
    FirstPaint first;
    qt.installEventFilter(&first);
    std::future<void> fontList;
    std::unique_ptr<CDriveTuneApp> app;
    std::unique_ptr<QMainWindow> bare;
    if (which == "window") {
        fontList = dt::StartWindowProgram(std::move(prepared));
        app = std::make_unique<CDriveTuneApp>();
        if (!app->InitInstance()) return 1;
        const CGridCtrl* grid = app->MainFrame()->View()->Grid();
        rows = grid->GetRowCount();
        cols = grid->GetColumnCount();
    } else {
        bare = std::make_unique<QMainWindow>();
        bare->resize(kWidth, kHeight);
        auto* table = new QTableWidget(rows, cols, bare.get());
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c) table->setItem(r, c, new QTableWidgetItem(QStringLiteral("Row %1").arg(r)));
        bare->setCentralWidget(table);
        bare->show();
    }
    qt.exec();
    std::printf("%lld %ld %d %d\n", static_cast<long long>(clock.elapsed()), PeakKb(), rows, cols);
    return 0;
}

struct Sample {
    double ms = 0;
    double kb = 0;
    int rows = 0, cols = 0;
};

bool RunChild(const QString& which, int rows, int cols, Sample& out) {
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--child"), which, QString::number(rows), QString::number(cols)});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return false;
    const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
    if (f.size() != 4) return false;
    out = {f[0].toDouble(), f[1].toDouble(), f[2].toInt(), f[3].toInt()};
    return true;
}

// COM1, which the window opens at start, becomes a pseudo-terminal of this process: the figures
// do not depend on the machine's serial ports, and no failure box holds a start up. Returns the
// terminal's master (kept open for the run), or -1.
int BindComOne(const QString& configHome) {
    const int pty = posix_openpt(O_RDWR | O_NOCTTY);
    if (pty < 0 || grantpt(pty) != 0 || unlockpt(pty) != 0) {
        std::fprintf(stderr, "no pseudo-terminal for COM1\n");
        return -1;
    }
    const QString ports = configHome + QStringLiteral("/DriveTune/ports");
    if (!QDir().mkpath(ports) || !QFile::link(QString::fromLocal8Bit(ptsname(pty)), ports + QStringLiteral("/com1"))) {
        std::fprintf(stderr, "cannot bind COM1 in %s\n", qPrintable(ports));
        return -1;
    }
    return pty;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

int Parent(int argc, char** argv) {
    QCoreApplication core(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    // Folders of its own: no port bindings, no saved port of the user's, no lines in their log.
    QTemporaryDir home;
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
        qputenv(name, (home.path() + QLatin1Char('/') + QLatin1String(name)).toLocal8Bit());
    if (BindComOne(home.path() + QStringLiteral("/XDG_CONFIG_HOME")) < 0) return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::vector<double> wMs, wKb, bMs, bKb, roundRatios;
    Sample w, b;
    for (int i = 0; i < rounds; ++i) {
        // Each side goes first in every other round; the table takes the grid's size from the
        // first window.
        const bool bareFirst = i % 2 == 1;
        if ((bareFirst && !RunChild(QStringLiteral("bare"), w.rows, w.cols, b)) ||
            !RunChild(QStringLiteral("window"), 0, 0, w) ||
            (!bareFirst && !RunChild(QStringLiteral("bare"), w.rows, w.cols, b))) {
            std::fprintf(stderr, "a start failed\n");
            return 1;
        }
        wMs.push_back(w.ms), wKb.push_back(w.kb), bMs.push_back(b.ms), bKb.push_back(b.kb);
        roundRatios.push_back(b.ms > 0 ? w.ms / b.ms : 0);
    }
    const double tw = Median(wMs), tb = Median(bMs), mw = Median(wKb), mb = Median(bKb);
    std::printf("start to first paint, median of %d (platform %s, table %d x %d)\n", rounds,
                qgetenv("QT_QPA_PLATFORM").isEmpty() ? "xcb" : qgetenv("QT_QPA_PLATFORM").constData(), w.rows, w.cols);
    std::printf("  %-10s %8s %10s\n", "", "ms", "peak kB");
    std::printf("  %-10s %8.0f %10.0f\n", "window", tw, mw);
    std::printf("  %-10s %8.0f %10.0f\n", "bare Qt", tb, mb);
    std::printf("  %-10s %8.2f %10.2f   (goal: at most 1.25 and 1.20)\n", "ratio", tb ? tw / tb : 0, mb ? mw / mb : 0);
    std::printf("  %-10s %8.2f              (median of the rounds' time ratios)\n", "by round", Median(roundRatios));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--child")
        return Child(argc, argv, argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    return Parent(argc, argv);
}
