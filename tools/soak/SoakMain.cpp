// quelnet-soak: configuration transfers and DataFlash programming runs against
// the simulator with random faults on the page requests (dropped replies and
// wrong echoes), checking after every run that the simulator's memory holds
// what was written, or that the run failed cleanly (ten faults in a row on one
// page). A success reported over wrong data is the one outcome that must not
// happen. Run by tools/soak.sh; prints the counts and exits 1 on wrong data.
//
//   quelnet-soak [--runs N] [--drop PERCENT] [--wrong-echo PERCENT] [--seed N] [--timeout MS]
#include "core/link/DeviceLink.h"
#include "core/link/LinkInterfaces.h"
#include "sim/SimThread.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QThread>
#include <cstdio>

using namespace quelnet;

namespace {

constexpr int ConfigAddress = 0x600, ConfigSize = 8192;
constexpr int TextsAddress = 0x2900, TextsSize = 32768;
constexpr int FlashSize = 512 * 1024;
const QString Host = QStringLiteral("127.0.0.1");
const QString Password = QStringLiteral("3958");

class Lines : public ILog {
public:
    void Clear() override { lines.clear(); }
    void Append(const QString& line) override { lines.append(line); }
    void RemoveLast() override {
        if (!lines.isEmpty())
            lines.removeLast();
    }
    QStringList lines;
};

class Bar : public IProgress {
public:
    void SetMaximum(int maximum) override { m_max = maximum; }
    int Maximum() const override { return m_max; }
    void SetPosition(int position) override { m_pos = position; }
    int Position() const override { return m_pos; }

private:
    int m_max = 0, m_pos = 0;
};

void Print(const QString& text) {
    std::printf("%s\n", text.toLocal8Bit().constData());
    std::fflush(stdout);
}

struct Tally {
    int equal = 0, clean = 0, other = 0, wrong = 0;
    // Only page requests are faulted, and a page loop gives up only after ten
    // faults in a row on one page: any failure but a refused connection is
    // that clean failure.
    void Count(bool reported, bool memoryRight, const Lines& log) {
        if (reported && memoryRight)
            ++equal;
        else if (reported)
            ++wrong; // success over wrong data
        else if (!log.lines.join('\n').contains(QStringLiteral("nie można nawiązać połączenia")))
            ++clean;
        else if (++other <= 3)
            Print("  failure: " + log.lines.join(" | "));
    }
    QString Text() const {
        return QString("%1 equal to what was written, %2 clean failures (a page given up after "
                       "ten faults in a row), %3 other failures, %4 reported success over wrong data")
            .arg(equal)
            .arg(clean)
            .arg(other)
            .arg(wrong);
    }
};

QByteArray RandomBytes(QRandomGenerator& random, int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

// The restart that ends a configuration write (0xAB has no reply): the
// simulator has gone down and is listening again. A write that failed before
// the restart request waits only for the time-out.
void WaitRestarted(const sim::SimThread& sim, int restartsBefore) {
    QDeadlineTimer deadline(2000);
    while ((sim.Restarts() == restartsBefore || !sim.Listening()) && !deadline.hasExpired())
        QThread::msleep(1);
}

// Writes both areas (the controller then takes them over and restarts), checks
// the simulator's memory, and reads them back.
void ConfigRun(TfmCommon& common, sim::SimThread& sim, QRandomGenerator& random, Tally& write, Tally& read) {
    const QString port = QString::number(sim.TcpPort());
    const QByteArray config = RandomBytes(random, ConfigSize), texts = RandomBytes(random, TextsSize);
    Lines log;
    Bar bar;
    const int restarts = sim.Restarts();
    const bool wrote = common.SetConfig(Host, port, Password, log, bar, true, true, true, config, texts);
    WaitRestarted(sim, restarts);
    const QByteArray memory = sim.Flash();
    const bool right =
        memory.mid(ConfigAddress, ConfigSize) == config && memory.mid(TextsAddress, TextsSize) == texts;
    write.Count(wrote, right, log);

    QByteArray readConfig, readTexts;
    Lines readLog;
    const bool got = common.GetConfig(Host, port, Password, readLog, bar, readConfig, readTexts);
    read.Count(got,
               readConfig == memory.mid(ConfigAddress, ConfigSize) &&
                   readTexts == memory.mid(TextsAddress, TextsSize),
               readLog);
}

void ProgrammingRun(TfmCommon& common, sim::SimThread& sim, QRandomGenerator& random, Tally& tally) {
    const QByteArray image = RandomBytes(random, FlashSize);
    Lines log;
    Bar bar;
    const bool sent = common.SendDataFlash(Host, QString::number(sim.TcpPort()), image, log, bar);
    tally.Count(sent, sim.Flash() == image, log);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCommandLineParser p;
    p.addHelpOption();
    const QCommandLineOption runs("runs", "Runs of each kind (default 100).", "n", "100");
    const QCommandLineOption drop("drop", "Dropped page replies in percent (default 5).", "percent", "5");
    const QCommandLineOption echo("wrong-echo", "Wrong page echoes in percent (default 5).", "percent", "5");
    const QCommandLineOption seed("seed", "Seed of the faults and the data (default 1).", "n", "1");
    const QCommandLineOption timeout(
        "timeout", "Link time-out in ms: how long a dropped reply is waited for.", "ms", "50");
    p.addOptions({runs, drop, echo, seed, timeout});
    p.process(app);

    sim::SimConfig config;
    config.restartDelayMs = 0;
    config.faults.dropPercent = p.value(drop).toInt();
    config.faults.wrongEchoPercent = p.value(echo).toInt();
    config.faults.seed = p.value(seed).toUInt();
    sim::SimThread sim(config);
    if (!sim.Start()) {
        Print("quelnet-soak: " + sim.ErrorText());
        return 2;
    }
    TfmCommon common;
    TfmCommon::Timeouts t;
    t.Link = p.value(timeout).toInt();
    t.RetryPause = 0;
    common.SetTimeouts(t);
    QRandomGenerator random(config.faults.seed);

    const int n = p.value(runs).toInt();
    Print(
        QString("soak: %1 configuration transfers and %1 programming runs, %2 % dropped replies, %3 % wrong "
                "echoes, seed %4, time-out %5 ms")
            .arg(n)
            .arg(config.faults.dropPercent)
            .arg(config.faults.wrongEchoPercent)
            .arg(config.faults.seed)
            .arg(t.Link));
    QElapsedTimer clock;
    clock.start();
    Tally write, read, program;
    for (int i = 0; i < n; ++i)
        ConfigRun(common, sim, random, write, read);
    const sim::SimEvents afterConfig = sim.Events();
    for (int i = 0; i < n; ++i)
        ProgrammingRun(common, sim, random, program);
    const sim::SimEvents events = sim.Events();

    Print("configuration written (SetConfig): " + write.Text());
    Print("configuration read back (GetConfig): " + read.Text());
    Print("DataFlash programmed (SendDataFlash): " + program.Text());
    Print(QString("faults injected: %1 dropped replies, %2 wrong echoes (configuration runs %3 and %4)")
              .arg(events.randomDrops)
              .arg(events.randomWrongEchoes)
              .arg(afterConfig.randomDrops)
              .arg(afterConfig.randomWrongEchoes));
    Print(QString("requests: %1 in %2 s").arg(sim.RequestCount()).arg(clock.elapsed() / 1000.0, 0, 'f', 1));
    const int wrong = write.wrong + read.wrong + program.wrong;
    const int good = write.equal + read.equal + program.equal + write.clean + read.clean + program.clean;
    Print(QString("%1 passed, %2 failed").arg(good).arg(3 * n - good));
    return wrong == 0 && good == 3 * n ? 0 : 1;
}
