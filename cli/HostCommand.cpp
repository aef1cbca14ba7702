#include "cli/HostCommand.h"

#include "cli/CliTexts.h"
#include "cli/HostsFile.h"

#include <QJsonArray>
#include <QThread>
#include <atomic>
#include <memory>
#include <vector>

namespace quelnet::cli {

namespace {

constexpr int DefaultJobs = 4;
constexpr int MaxJobs = 64;

QString StatusWord(Outcome outcome) {
    switch (outcome) {
    case Outcome::Ok:
        return Tx(txt::BatchOk);
    case Outcome::Failed:
        return Tx(txt::BatchFailed);
    case Outcome::Refused:
        return Tx(txt::BatchRefused);
    }
    return {};
}

QString StatusKey(Outcome outcome) {
    switch (outcome) {
    case Outcome::Ok:
        return QStringLiteral("ok");
    case Outcome::Failed:
        return QStringLiteral("failed");
    case Outcome::Refused:
        return QStringLiteral("refused");
    }
    return {};
}

// One line per controller: its summary, or the first line of its reason.
QString BatchLine(const HostPort& target, const HostResult& r) {
    return Tx(txt::BatchLine)
        .arg(target.Text(), StatusWord(r.outcome),
             r.outcome == Outcome::Ok ? r.summary : r.error.section(u'\n', 0, 0));
}

// A failure without a reason of its own takes the job's last box or else the
// last log line that is not a finished step: an error line, or the running
// step (" ...") that was never finished.
void FillError(HostResult& r, const CliMessages& messages, const QStringList& log) {
    if (r.outcome == Outcome::Ok || !r.error.isEmpty())
        return;
    if (!messages.Notices().isEmpty()) {
        r.error = messages.Notices().last();
        return;
    }
    for (qsizetype i = log.size() - 1; i >= 0 && r.error.isEmpty(); --i) {
        const QString& line = log[i];
        if (line.endsWith(QLatin1String(" ...")))
            r.error = Tx(txt::StepNotFinished).arg(line.chopped(4));
        else if (!line.endsWith(QLatin1String(" OK.")))
            r.error = line;
    }
}

// The results in list order, then the count; the worst outcome decides the status.
int PrintBatch(const Invocation& call, const QList<HostPort>& targets,
               const std::vector<HostResult>& results) {
    int succeeded = 0;
    bool failed = false, refused = false;
    QJsonArray array;
    for (qsizetype i = 0; i < targets.size(); ++i) {
        const HostResult& r = results[size_t(i)];
        succeeded += r.outcome == Outcome::Ok ? 1 : 0;
        failed = failed || r.outcome == Outcome::Failed;
        refused = refused || r.outcome == Outcome::Refused;
        if (call.settings.json)
            array.append(ResultJson(targets[i], r));
        else
            call.console.OutLine(BatchLine(targets[i], r));
    }
    const int n = int(targets.size());
    if (call.settings.json)
        call.PrintJson({{QStringLiteral("results"), array},
                        {QStringLiteral("succeeded"), succeeded},
                        {QStringLiteral("total"), n}});
    else
        call.console.OutLine(Tx(txt::BatchSummary).arg(succeeded).arg(n));
    return failed ? ExitFailed : refused ? ExitRefused : ExitOk;
}

} // namespace

int ExitStatusOf(Outcome outcome) {
    switch (outcome) {
    case Outcome::Ok:
        return ExitOk;
    case Outcome::Failed:
        return ExitFailed;
    case Outcome::Refused:
        return ExitRefused;
    }
    return ExitFailed;
}

QJsonObject ResultJson(const HostPort& target, const HostResult& result) {
    QJsonObject o = result.json;
    o.insert(QStringLiteral("host"), target.host);
    o.insert(QStringLiteral("port"), target.port);
    o.insert(QStringLiteral("status"), StatusKey(result.outcome));
    if (!result.error.isEmpty())
        o.insert(QStringLiteral("error"), result.error);
    return o;
}

QString HostCommand::CheckArguments(const Invocation&, const QStringList& operands, bool) const {
    return operands.isEmpty() ? QString() : Tx(txt::ExtraArgument).arg(operands.first());
}

int HostCommand::Run(Invocation& call) {
    QStringList operands = call.operands;
    const bool batch = TakesHostsFile() && call.Has(QStringLiteral("hosts"));
    QList<HostPort> targets;
    QString error;
    const int jobs = call.IntValue(QStringLiteral("jobs"), DefaultJobs, 1, MaxJobs, error);
    if (!error.isEmpty())
        return call.UsageError(error);
    if (batch) {
        const auto list = ReadHostsFile(call.Value(QStringLiteral("hosts")), error);
        if (!list)
            return call.UsageError(error);
        targets = *list;
    } else {
        if (operands.isEmpty())
            return call.UsageError(Tx(TakesHostsFile() ? txt::MissingHostOrList : txt::MissingHost));
        const std::optional<HostPort> target = ParseHostPort(operands.first());
        if (!target)
            return call.UsageError(Tx(txt::BadHost).arg(operands.first()));
        targets << *target;
        operands.removeFirst();
    }
    error = CheckArguments(call, operands, batch);
    if (!error.isEmpty())
        return call.UsageError(error);
    return batch ? RunBatch(call, targets, jobs, operands) : RunOne(call, targets.first(), operands);
}

int HostCommand::RunOne(const Invocation& call, const HostPort& target, const QStringList& operands) const {
    Console& console = call.console;
    TfmCommon link;
    link.SetTimeouts(call.Timeouts());
    ConsoleReporter reporter(console);
    CliMessages messages(
        [&](const QString& text) {
            reporter.Finish();
            console.ErrLine(text);
        },
        console.Interactive() ? &console : nullptr, call.settings.yes);
    messages.BeforePrompt([&reporter] { reporter.Finish(); });
    HostJob job{call, target, link, messages, reporter, reporter, false};
    HostResult result = RunHost(job, operands);
    reporter.Finish();
    FillError(result, messages, reporter.Lines());
    const bool shown = messages.Notices().contains(result.error) || reporter.Lines().contains(result.error) ||
                       (!call.settings.json && result.lines.contains(result.error));
    if (call.settings.json) {
        call.PrintJson(ResultJson(target, result));
    } else {
        for (const QString& line : result.lines)
            console.OutLine(line);
    }
    if (!result.error.isEmpty() && !shown)
        console.ErrLine(result.error);
    return ExitStatusOf(result.outcome);
}

int HostCommand::RunBatch(const Invocation& call, const QList<HostPort>& targets, int jobs,
                          const QStringList& operands) const {
    const int n = int(targets.size());
    std::vector<HostResult> results(size_t(n), HostResult{});
    std::atomic<int> next{0}, finished{0};
    auto worker = [&] {
        TfmCommon link; // one link per thread, created and used on it
        link.SetTimeouts(call.Timeouts());
        for (int i = next++; i < n; i = next++) {
            KeptLog log;
            CliMessages messages([&log](const QString& text) { log.lines << text; }, nullptr,
                                 call.settings.yes);
            HostJob job{call, targets[i], link, messages, log, log, true};
            HostResult r = RunHost(job, operands);
            FillError(r, messages, log.lines);
            call.console.ErrLine(
                Tx(txt::BatchProgress).arg(++finished).arg(n).arg(targets[i].Text(), StatusWord(r.outcome)));
            results[size_t(i)] = std::move(r);
        }
    };
    std::vector<std::unique_ptr<QThread>> threads;
    for (int t = 0; t < std::min(jobs, n); ++t) {
        threads.emplace_back(QThread::create(worker));
        threads.back()->start();
    }
    for (auto& t : threads)
        t->wait();
    return PrintBatch(call, targets, results);
}

} // namespace quelnet::cli
