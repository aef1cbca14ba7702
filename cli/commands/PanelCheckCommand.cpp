// panel check [FILE] [--online]: the problems of a panel file, and with
// --online those its controllers reveal.
#include "cli/CliTexts.h"
#include "cli/Command.h"
#include "cli/PanelCheck.h"
#include "cli/PanelOnline.h"

#include "core/panel/PanelFile.h"

#include <QFile>

namespace quelnet::cli {

namespace {

const QString OnlineOption = QStringLiteral("online");

class PanelCheckCommand : public Command {
public:
    QStringList Words() const override { return {QStringLiteral("panel"), QStringLiteral("check")}; }
    int HelpOrder() const override { return 70; }
    QString Operands() const override { return QStringLiteral("[FILE]"); }
    int SharedOptionsTaken() const override { return SharedJson | SharedTimeout; }
    QString Summary() const override { return Tx(txt::PanelCheckSummary); }
    QList<OptionSpec> Options() const override { return {{OnlineOption, {}, Tx(txt::OptOnline)}}; }

    int Run(Invocation& call) override {
        if (call.operands.size() > 1)
            return call.UsageError(Tx(txt::ExtraArgument).arg(call.operands[1]));
        const QString path = call.operands.isEmpty() ? PanelFilePath() : call.operands.first();
        if (!QFile(path).open(QIODevice::ReadOnly)) {
            call.console.ErrLine(Tx(txt::PanelFileUnreadable).arg(path));
            return ExitFailed;
        }
        // The file as the panel window takes it: within its limits, and only
        // a file with a block the program knows is a panel file at all.
        QStringList lines;
        const PanelLoadResult read = ReadPanelFileLines(path, lines);
        switch (read.Status) {
        case PanelLoadStatus::Read:
            break;
        case PanelLoadStatus::Damaged: // checked as the window reads it, but a failure
            call.console.ErrLine(Tx(txt::PanelFileWarning).arg(path, read.Why));
            break;
        case PanelLoadStatus::Unreadable:
            call.console.ErrLine(Tx(txt::NotAPanelFile).arg(path));
            return ExitFailed;
        case PanelLoadStatus::Missing: // gone since it was opened
        case PanelLoadStatus::Refused:
            call.console.ErrLine(read.Why.isEmpty() ? Tx(txt::PanelFileUnreadable).arg(path)
                                                    : Tx(txt::PanelFileWarning).arg(path, read.Why));
            return ExitFailed;
        }
        PanelReport report = CheckPanelLines(lines);
        if (call.Has(OnlineOption)) {
            TfmCommon link;
            link.SetTimeouts(call.Timeouts());
            CheckPanelOnline(report, link);
            std::stable_sort(report.problems.begin(), report.problems.end(),
                             [](const PanelProblem& a, const PanelProblem& b) { return a.line < b.line; });
        }
        if (call.settings.json) {
            QJsonObject o = report.Json();
            o.insert(QStringLiteral("file"), path);
            call.PrintJson(o);
        } else {
            for (const QString& line : report.Lines())
                call.console.OutLine(line);
        }
        const bool damaged = read.Status == PanelLoadStatus::Damaged;
        return report.problems.isEmpty() && !damaged ? ExitOk : ExitFailed;
    }
};

} // namespace

std::unique_ptr<Command> MakePanelCheckCommand() {
    return std::make_unique<PanelCheckCommand>();
}

} // namespace quelnet::cli
