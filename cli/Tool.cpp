#include "cli/Tool.h"

#include "cli/CliTexts.h"
#include "cli/Command.h"
#include "cli/CommandRegistry.h"

#include <QCoreApplication>
#include <QFile>

namespace quelnet::cli {

namespace {

const QString FactoryPassword = QStringLiteral("3958");
constexpr int HelpWidth = 80;  // every help line fits a terminal of 80 columns
constexpr int HelpColumn = 30; // where an option's text begins
constexpr int SummaryIndent = 6;

QList<OptionSpec> HostsOptions() {
    return {{QStringLiteral("hosts"), QStringLiteral("FILE"), Tx(txt::OptHosts)},
            {QStringLiteral("jobs"), QStringLiteral("N"), Tx(txt::OptJobs)}};
}

// `first` followed by the words of `text`, broken into lines of HelpWidth
// columns; lines after the first begin with `indent` blanks. A word longer
// than a line stands on a line of its own.
QStringList Wrapped(const QString& first, const QString& text, int indent) {
    QStringList lines;
    QString line = first;
    bool bare = true; // no word on the line yet
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        if (!bare && line.size() + 1 + word.size() > HelpWidth) {
            lines << line;
            line = QString(indent, u' ');
            bare = true;
        }
        line += (bare ? QString() : QStringLiteral(" ")) + word;
        bare = false;
    }
    lines << line;
    return lines;
}

void OutWrapped(Console& console, const QString& first, const QString& text, int indent) {
    for (const QString& line : Wrapped(first, text, indent))
        console.OutLine(line);
}

// Paragraph lines of a text (it may hold line ends of its own), each wrapped.
void OutText(Console& console, const QString& text, int indent = 0) {
    for (const QString& paragraph : text.split(u'\n')) {
        qsizetype lead = 0;
        while (lead < paragraph.size() && paragraph[lead] == u' ')
            ++lead;
        OutWrapped(console, paragraph.left(lead), paragraph.mid(lead), int(qMax<qsizetype>(lead, indent)));
    }
}

void OutOption(Console& console, const OptionSpec& o) {
    QString left = "  --" + o.name + (o.TakesValue() ? u' ' + o.valueName : QString());
    if (o.name == QLatin1String("help"))
        left += QStringLiteral(", -h");
    if (left.size() >= HelpColumn - 1) { // the text begins on a line of its own
        console.OutLine(left);
        left.clear();
    }
    OutWrapped(console, left.leftJustified(HelpColumn), o.help, HelpColumn);
}

void PrintOptions(Console& console, const QString& heading, const QList<OptionSpec>& options) {
    if (options.isEmpty())
        return;
    console.OutLine(heading);
    for (const OptionSpec& o : options)
        if (!o.help.isEmpty()) // options without a text are test seams, not listed
            OutOption(console, o);
    console.OutLine(QString());
}

void PrintFooter(Console& console, bool controllers) {
    if (controllers) {
        OutText(console, Tx(txt::HostHelp));
        OutText(console, Tx(txt::PasswordHelp));
    }
    OutText(console, Tx(txt::ExitHelp));
}

QList<OptionSpec> ToolOptions() {
    return {{QStringLiteral("help"), {}, Tx(txt::OptHelp)}, {QStringLiteral("version"), {}, Tx(txt::OptVersion)}};
}

void PrintToolHelp(Console& console, const std::vector<std::unique_ptr<Command>>& commands) {
    console.OutLine(Tx(txt::ToolTitle));
    console.OutLine(Tx(txt::Usage));
    console.OutLine(QString());
    console.OutLine(Tx(txt::CommandsHeading));
    for (const auto& c : commands) {
        console.OutLine("  " + c->Name() + u' ' + c->Operands());
        OutWrapped(console, QString(SummaryIndent, u' '), c->Summary(), SummaryIndent);
    }
    console.OutLine(QString());
    PrintOptions(console, Tx(txt::ToolOptionsHeading), ToolOptions());
    PrintFooter(console, true);
    OutText(console, Tx(txt::HelpHint));
}

void PrintCommandHelp(Console& console, const Command& c) {
    OutText(console, Tx(txt::CommandUsage).arg(c.Name(), c.Operands()), 7);
    OutText(console, c.Summary());
    if (!c.Details().isEmpty())
        OutText(console, c.Details());
    console.OutLine(QString());
    QList<OptionSpec> own = c.Options();
    if (c.TakesHostsFile())
        own += HostsOptions();
    PrintOptions(console, Tx(txt::OptionsHeading), own);
    PrintOptions(console, Tx(txt::CommonHeading), SharedOptions(c.SharedOptionsTaken()));
    PrintFooter(console, c.SharedOptionsTaken() & SharedPassword);
}

// Every option any command takes, for reading the line before the command is known.
QList<OptionSpec> KnownOptions(const std::vector<std::unique_ptr<Command>>& commands) {
    QList<OptionSpec> known = ToolOptions() + SharedOptions(~0) + HostsOptions();
    for (const auto& c : commands)
        for (const OptionSpec& o : c->Options())
            if (std::none_of(known.begin(), known.end(),
                             [&](const OptionSpec& k) { return k.name == o.name; }))
                known << o;
    return known;
}

// The command whose words begin the line, the longest match first.
Command* FindCommand(const std::vector<std::unique_ptr<Command>>& commands, const QStringList& words) {
    Command* found = nullptr;
    for (const auto& c : commands) {
        const QStringList w = c->Words();
        if (words.mid(0, w.size()) == w && (!found || w.size() > found->Words().size()))
            found = c.get();
    }
    return found;
}

QString OptionNotTaken(const ParsedArguments& args, const Command& c) {
    QStringList allowed;
    for (const OptionSpec& o : ToolOptions() + SharedOptions(c.SharedOptionsTaken()) + c.Options() +
                                   (c.TakesHostsFile() ? HostsOptions() : QList<OptionSpec>{}))
        allowed << o.name;
    for (auto it = args.values.cbegin(); it != args.values.cend(); ++it)
        if (!allowed.contains(it.key()))
            return Tx(txt::OptionNotHere).arg("--" + it.key(), c.Name());
    return {};
}

int RunCommand(const QStringList& arguments, Console& console);

int Usage(Console& console, const QString& text) {
    console.ErrLine(Tx(txt::ErrorPrefix).arg(text));
    console.ErrLine(Tx(txt::HelpHint));
    return ExitUsage;
}

} // namespace

QList<OptionSpec> SharedOptions(int taken) {
    QList<OptionSpec> options{{QStringLiteral("help"), {}, Tx(txt::OptHelp)}};
    if (taken & SharedJson)
        options << OptionSpec{QStringLiteral("json"), {}, Tx(txt::OptJson)};
    if (taken & SharedYes)
        options << OptionSpec{QStringLiteral("yes"), {}, Tx(txt::OptYes)};
    if (taken & SharedPassword)
        options << OptionSpec{QStringLiteral("password"), QStringLiteral("TEXT"), Tx(txt::OptPassword)}
                << OptionSpec{QStringLiteral("password-file"), QStringLiteral("FILE"), Tx(txt::OptPasswordFile)};
    if (taken & SharedTimeout)
        options << OptionSpec{QStringLiteral("timeout"), QStringLiteral("MS"), Tx(txt::OptTimeout)};
    return options;
}

QString ResolvePassword(const ParsedArguments& args, QString& error) {
    const QString fileOption = QStringLiteral("password-file");
    if (args.Has(QStringLiteral("password")) && args.Has(fileOption)) {
        error = Tx(txt::PasswordTwice);
        return {};
    }
    if (args.Has(QStringLiteral("password")))
        return args.Value(QStringLiteral("password"));
    if (args.Has(fileOption)) {
        QFile file(args.Value(fileOption));
        if (!file.open(QIODevice::ReadOnly)) {
            error = Tx(txt::PasswordFileError).arg(args.Value(fileOption));
            return {};
        }
        QString first = QString::fromUtf8(file.readLine());
        while (first.endsWith(u'\n') || first.endsWith(u'\r'))
            first.chop(1);
        return first;
    }
    if (qEnvironmentVariableIsSet("QUELNET_PASSWORD"))
        return qEnvironmentVariable("QUELNET_PASSWORD");
    return FactoryPassword;
}

int RunTool(const QStringList& arguments, Console& console) {
    const int status = RunCommand(arguments, console);
    // What was asked for includes its output: a result that could not be
    // written is a failure, whatever the command did.
    const QString failure = console.OutFailure();
    if (failure.isEmpty() || status != ExitOk)
        return status;
    console.ErrLine(Tx(txt::ErrorPrefix).arg(Tx(txt::OutputFailed).arg(failure)));
    return ExitFailed;
}

namespace {

int RunCommand(const QStringList& arguments, Console& console) {
    const std::vector<std::unique_ptr<Command>> commands = AllCommands();
    const ParsedArguments args = ParseArguments(arguments, KnownOptions(commands));
    if (!args.error.isEmpty())
        return Usage(console, args.error);
    if (args.Has(QStringLiteral("version"))) {
        console.OutLine(Tx(txt::ToolVersion).arg(QCoreApplication::applicationVersion()));
        return ExitOk;
    }
    if (args.words.isEmpty()) {
        if (args.Has(QStringLiteral("help"))) {
            PrintToolHelp(console, commands);
            return ExitOk;
        }
        return Usage(console, Tx(txt::NoCommand));
    }
    Command* command = FindCommand(commands, args.words);
    if (!command) {
        // The first words of commands ("panel" of "panel check"): their help
        // when asked for, else which commands they begin.
        QStringList names;
        const Command* only = nullptr;
        for (const auto& c : commands)
            if (c->Words().mid(0, args.words.size()) == args.words) {
                names << c->Name();
                only = c.get();
            }
        if (names.size() == 1 && args.Has(QStringLiteral("help"))) {
            PrintCommandHelp(console, *only);
            return ExitOk;
        }
        if (!names.isEmpty())
            return Usage(console, Tx(txt::IncompleteCommand).arg(args.words.join(u' '), names.join(", ")));
        return Usage(console, Tx(txt::UnknownCommand).arg(args.words.first()));
    }
    if (args.Has(QStringLiteral("help"))) {
        PrintCommandHelp(console, *command);
        return ExitOk;
    }
    Settings settings;
    settings.json = args.Has(QStringLiteral("json"));
    settings.yes = args.Has(QStringLiteral("yes"));
    QString error = OptionNotTaken(args, *command);
    if (error.isEmpty())
        settings.password = ResolvePassword(args, error);
    if (error.isEmpty() && args.Has(QStringLiteral("timeout"))) {
        constexpr int MaxTimeout = 600000;
        const std::optional<int> t = ParseInt(args.Value(QStringLiteral("timeout")), 1, MaxTimeout);
        if (t)
            settings.linkTimeoutMs = *t;
        else
            error = Tx(txt::BadNumber).arg(QStringLiteral("--timeout")).arg(1).arg(MaxTimeout);
    }
    if (!error.isEmpty())
        return Usage(console, error);
    Invocation call(console, args, settings, args.words.mid(command->Words().size()), command->Name());
    return command->Run(call);
}

} // namespace

} // namespace quelnet::cli
