// watch HOST CIRCUIT... [--interval MS] [--count N]: reads the circuits again
// and again on one link. On a terminal the table is redrawn in place; every
// value shows its age (the time since it was last read), and a value whose
// last read failed is marked stale while the watch goes on.
#include "cli/CircuitOptions.h"
#include "cli/CircuitReader.h"
#include "cli/CliTexts.h"
#include "cli/Command.h"
#include "cli/Interrupt.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QThread>

namespace quelnet::cli {

namespace {

// Ctrl+C ends the watch (cli/Interrupt.h); so does output that cannot be written.
bool Stopped(const Invocation& call) {
    return Interrupted() || !call.console.OutFailure().isEmpty();
}

const QString IntervalOption = QStringLiteral("interval");
const QString CountOption = QStringLiteral("count");

struct Row {
    QString name;
    CircuitValue value;   // the last value read
    qint64 readAtMs = -1; // when it was read; -1: never
    bool stale = true;
    QString error; // of the last read, when it failed
};

QString AgeText(const Row& row, qint64 nowMs) {
    return row.readAtMs < 0 ? Tx(txt::NeverRead)
                            : QString::number(double(nowMs - row.readAtMs) / 1000.0, 'f', 1) + " s";
}

QString ValueText(const Row& row) {
    return row.readAtMs < 0 ? Tx(txt::NeverRead) : row.value.Text();
}

QStringList Table(const QList<Row>& rows, qint64 nowMs) {
    auto line = [](const QString& a, const QString& b, const QString& c, const QString& d) {
        return a.leftJustified(10) + b.leftJustified(14) + c.leftJustified(10) + d;
    };
    QStringList lines{
        line(Tx(txt::ColumnCircuit), Tx(txt::ColumnValue), Tx(txt::ColumnAge), Tx(txt::ColumnState))};
    for (const Row& r : rows)
        lines << line(r.name, ValueText(r), AgeText(r, nowMs),
                      r.stale ? Tx(txt::Stale) + QStringLiteral("  ") + r.error : Tx(txt::Fresh));
    return lines;
}

QJsonObject RoundJson(int round, const QList<Row>& rows, qint64 nowMs) {
    QJsonArray circuits;
    for (const Row& r : rows) {
        QJsonObject o{{QStringLiteral("name"), r.name}, {QStringLiteral("stale"), r.stale}};
        if (r.readAtMs >= 0) {
            o.insert(QStringLiteral("kind"), r.value.KindKey());
            o.insert(QStringLiteral("value"), r.value.Json());
            o.insert(QStringLiteral("ageMs"), nowMs - r.readAtMs);
        }
        if (r.stale && !r.error.isEmpty())
            o.insert(QStringLiteral("error"), r.error);
        circuits.append(o);
    }
    return {{QStringLiteral("round"), round}, {QStringLiteral("circuits"), circuits}};
}

class WatchCommand : public Command {
public:
    QStringList Words() const override { return {QStringLiteral("watch")}; }
    int HelpOrder() const override { return 40; }
    QString Operands() const override { return QStringLiteral("HOST[:PORT] CIRCUIT…"); }
    QString Summary() const override { return Tx(txt::WatchSummary); }
    QList<OptionSpec> Options() const override {
        return {{IntervalOption, QStringLiteral("MS"), Tx(txt::OptInterval)},
                {CountOption, QStringLiteral("N"), Tx(txt::OptCount)},
                PointSpec()};
    }

    int Run(Invocation& call) override {
        if (call.operands.isEmpty())
            return call.UsageError(Tx(txt::MissingHost));
        const std::optional<HostPort> target = ParseHostPort(call.operands.first());
        if (!target)
            return call.UsageError(Tx(txt::BadHost).arg(call.operands.first()));
        const QStringList names = call.operands.mid(1);
        QString error = CheckCircuitOperands(call, names);
        const int interval = call.IntValue(IntervalOption, 1000, 10, 3600000, error);
        const int count = call.IntValue(CountOption, 0, 1, 1000000000, error);
        if (!error.isEmpty())
            return call.UsageError(error);

        TfmCommon link;
        link.SetTimeouts(call.Timeouts());
        CircuitReader reader(link, *target, call.settings.password, PointOf(call));
        QList<Row> rows;
        for (const QString& n : names)
            rows.append(Row{n, {}, -1, true, {}});

        QElapsedTimer clock;
        clock.start();
        int drawn = 0;
        for (int round = 1; !Stopped(call) && (count == 0 || round <= count); ++round) {
            for (Row& r : rows)
                ReadRow(call, reader, r, clock.elapsed());
            drawn = Show(call, round, rows, clock.elapsed(), drawn);
            if (count != 0 && round == count)
                break;
            Pause(call, interval);
        }
        link.EndComm();
        const bool anyStale = std::any_of(rows.begin(), rows.end(), [](const Row& r) { return r.stale; });
        return anyStale ? ExitFailed : ExitOk;
    }

private:
    static void ReadRow(const Invocation& call, CircuitReader& reader, Row& r, qint64 nowMs) {
        const CircuitValue v = reader.Read(r.name);
        if (v.ok) {
            r.value = v;
            r.readAtMs = nowMs;
            r.stale = false;
            r.error.clear();
            return;
        }
        // The reason goes to standard error once, when the value turns stale;
        // a table redrawn on the terminal shows it in its own column.
        const bool table = !call.settings.json && call.console.OutTerminal();
        if (!table && (!r.stale || r.error != v.error))
            call.console.ErrLine(r.name + QStringLiteral(": ") + v.error);
        r.stale = true;
        r.error = v.error;
    }

    // Draws one round; returns the number of lines now on the screen.
    static int Show(const Invocation& call, int round, const QList<Row>& rows, qint64 nowMs, int drawn) {
        Console& console = call.console;
        if (call.settings.json) {
            console.OutLine(QString::fromUtf8(
                QJsonDocument(RoundJson(round, rows, nowMs)).toJson(QJsonDocument::Compact)));
            return 0;
        }
        const QStringList lines = Table(rows, nowMs);
        if (!console.OutTerminal()) {
            console.OutLine(lines.join(u'\n') + u'\n');
            return 0;
        }
        // Lines are cut to the terminal's width: a wrapped line would throw the
        // redraw off by a line.
        const int width = console.OutColumns();
        QString text = drawn > 0 ? QStringLiteral("\x1b[%1A").arg(drawn) : QString();
        for (const QString& l : lines)
            text += QStringLiteral("\r\x1b[2K") + (width > 1 ? l.left(width - 1) : l) + u'\n';
        console.Out(text);
        return int(lines.size());
    }

    static void Pause(const Invocation& call, int ms) {
        QElapsedTimer t;
        t.start();
        while (!Stopped(call) && t.elapsed() < ms)
            QThread::msleep(quint32(std::min<qint64>(50, ms - t.elapsed())));
    }
};

} // namespace

std::unique_ptr<Command> MakeWatchCommand() {
    return std::make_unique<WatchCommand>();
}

} // namespace quelnet::cli
