#pragma once
// One command of the tool ("identify", "panel check", ...). The dispatcher
// (Tool.h) finds the command by its words, checks that every option given is
// one the command takes, resolves the options every command shares, and runs
// it with an Invocation.
//
// Adding a command: see CommandRegistry.h.

#include "cli/Arguments.h"
#include "cli/Console.h"

#include "core/link/DeviceLink.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

namespace quelnet::cli {

enum ExitStatus : int {
    ExitOk = 0,      // everything asked for was done
    ExitFailed = 1,  // a controller, a file or a transfer failed
    ExitUsage = 2,   // the command line is wrong; nothing was done
    ExitRefused = 3, // a question was answered no (or could not be asked), or
                     // the controller does not allow it (programming jumper)
};

// The options every command shares, resolved.
struct Settings {
    bool json = false;
    bool yes = false;
    QString password; // the control password; never printed
    int linkTimeoutMs = 5000;
};

class Invocation {
public:
    Invocation(Console& console, const ParsedArguments& args, const Settings& settings, QStringList operands,
               QString commandName)
        : console(console), args(args), settings(settings), operands(std::move(operands)),
          commandName(std::move(commandName)) {}

    Console& console;
    const ParsedArguments& args;
    const Settings settings;
    const QStringList operands; // the words after the command's own
    const QString commandName;

    bool Has(const QString& option) const { return args.Has(option); }
    QString Value(const QString& option, const QString& fallback = {}) const {
        return args.Value(option, fallback);
    }
    // The option's integer value (or the fallback when not given); a usage
    // error text in `error` when it is not a number from min to max.
    int IntValue(const QString& option, int fallback, int min, int max, QString& error) const;

    // A device link with the time-outs of the command line.
    TfmCommon::Timeouts Timeouts() const;

    // "quelnetctl: <text>" on standard error; returns ExitUsage.
    int UsageError(const QString& text) const;
    void PrintJson(const QJsonObject& object) const;
};

// The options every command may share; each command takes those it uses.
enum SharedOption : int {
    SharedJson = 1,     // --json
    SharedYes = 2,      // --yes: the command asks questions
    SharedPassword = 4, // --password, --password-file: it talks to controllers
    SharedTimeout = 8,  // --timeout
    SharedForControllers = SharedJson | SharedPassword | SharedTimeout,
};

class Command {
public:
    virtual ~Command() = default;
    virtual QStringList Words() const = 0; // {"panel", "check"}
    virtual int HelpOrder() const = 0;     // place in the tool's list of commands
    virtual QString Operands() const = 0;  // "HOST[:PORT] CIRCUIT…", for the usage line
    virtual QString Summary() const = 0;   // one line for the tool's help
    virtual QString Details() const { return {}; }
    virtual QList<OptionSpec> Options() const { return {}; } // beyond the shared ones
    virtual bool TakesHostsFile() const { return false; }    // --hosts and --jobs
    virtual int SharedOptionsTaken() const { return SharedForControllers; } // SharedOption bits
    virtual int Run(Invocation& call) = 0;

    QString Name() const { return Words().join(u' '); }
};

} // namespace quelnet::cli
