// drivetune-sim --count N once its standard input has closed: the batch keeps serving, asleep.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <fstream>
#include <string>

namespace {

// The process's state letter: R while it runs or waits for a core, S while it sleeps.
char ProcessState(qint64 pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = stat.rfind(')');
    return close == std::string::npos || close + 2 >= stat.size() ? '?' : stat[close + 2];
}

}  // namespace

TEST(SimBatch, AClosedInputLeavesTheBatchAsleepNotSpinning) {
    QProcess sim;
    sim.start(DT_BINARY_DIR "/sim/drivetune-sim", {"--count", "1"});
    ASSERT_TRUE(sim.waitForStarted());
    ASSERT_TRUE(sim.waitForReadyRead(10000));
    sim.closeWriteChannel();
    QTest::qWait(300);
    // A loop woken by the hang-up is runnable at every look, however busy the machine.
    int asleep = 0;
    for (int i = 0; i < 20; ++i, QTest::qWait(25)) asleep += ProcessState(sim.processId()) == 'S';
    EXPECT_GE(asleep, 15);
    sim.terminate();
    EXPECT_TRUE(sim.waitForFinished(5000));
}

TEST(SimBatch, ABatchOfOneStillServesOnlyItsOwnTerminals) {
    const QString sample = QDir::temp().filePath("dt-batch-of-one.foc");
    QFile::remove(sample);
    for (const QStringList& extra : {QStringList{"--bind", "COM5"}, QStringList{"--write-sample", sample}}) {
        QProcess sim;
        sim.start(DT_BINARY_DIR "/sim/drivetune-sim", QStringList{"--count", "1"} + extra);
        ASSERT_TRUE(sim.waitForFinished(10000));
        EXPECT_EQ(sim.exitCode(), 2) << extra.join(' ').toStdString();
        EXPECT_TRUE(sim.readAllStandardError().contains("cannot be combined with --bind or --write-sample"));
    }
    EXPECT_FALSE(QFile::exists(sample));
}
