#pragma once
// A command that works on controllers: on the one named by its first operand
// (HOST[:PORT]), or, for commands that take a list, on every controller of
// "--hosts FILE" with "--jobs N" links in parallel, each worker thread with a
// device link of its own.
//
// One controller: the command's lines on standard output (or its JSON object),
// the job's log and progress on standard error, questions on the terminal.
// A batch: one summary line per controller in list order and a count (or one
// JSON document); no questions are asked ("--yes" answers them, otherwise they
// are refused), and the log of each controller is kept for its summary.

#include "cli/Command.h"
#include "cli/FrontEnd.h"

#include "core/jobs/JobInterfaces.h"

namespace quelnet::cli {

enum class Outcome { Ok, Failed, Refused };

struct HostResult {
    Outcome outcome = Outcome::Ok;
    QStringList lines; // standard output for one controller
    QString summary;   // the text of its batch line when it succeeded
    QString error;     // why it failed or was refused
    QJsonObject json;  // the command's fields of its JSON object
};

// Everything the work on one controller talks to.
struct HostJob {
    const Invocation& call;
    HostPort target;
    TfmCommon& link;
    CliMessages& messages;
    ILog& log;
    IProgress& progress;
    bool batch;

    ControllerTarget Controller() const { return {target.host, target.PortText(), call.settings.password}; }
    JobFrontEnd FrontEnd(IFileChooser& files) const { return {messages, files, log, progress}; }
};

class HostCommand : public Command {
public:
    int Run(Invocation& call) final;

protected:
    // A usage error in the operands after the address or in the command's own
    // options; empty when there is none. `batch`: the controllers come from --hosts.
    virtual QString CheckArguments(const Invocation& call, const QStringList& operands, bool batch) const;
    // The work on one controller. Runs on several threads at once in a batch.
    virtual HostResult RunHost(HostJob& job, const QStringList& operands) const = 0;

private:
    int RunOne(const Invocation& call, const HostPort& target, const QStringList& operands) const;
    int RunBatch(const Invocation& call, const QList<HostPort>& targets, int jobs,
                 const QStringList& operands) const;
};

// The JSON object of one controller's result: host, port, status, error and
// the command's fields.
QJsonObject ResultJson(const HostPort& target, const HostResult& result);
int ExitStatusOf(Outcome outcome);

} // namespace quelnet::cli
