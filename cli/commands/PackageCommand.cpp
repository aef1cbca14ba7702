// package list|extract|image: the firmware package offline, without a
// controller. list: the groups (language, version) and their files in
// directory order; extract NAME: one file, inflated and checked against both
// checksums and its size; image: the DataFlash image of one group, with the
// user's pages and graphics, as the resources install sends it.
#include "cli/CliTexts.h"
#include "cli/FirmwareOptions.h"

#include "core/base/FileReplace.h"
#include "core/firmware/FirmwarePackage.h"
#include "core/firmware/ImageBuilder.h"
#include "core/firmware/PackageFormat.h"
#include "core/jobs/UpdateJob.h"

#include <QJsonArray>
#include <algorithm>

namespace quelnet::cli {

namespace {

const QString LangOption = QStringLiteral("lang");
const QString FirmwareOption = QStringLiteral("firmware");
const QString OutputOption = QStringLiteral("output");

bool WriteFile(const QString& path, const QByteArray& bytes) {
    return ReplaceFileContent(path, bytes) == FileReplaceResult::Written;
}

// The package's tag of --firmware ("V401f" for "V4.0.1f" ...); checked before.
QString TagOf(const Invocation& call) {
    return UpdateJob::PackageTag(FirmwareVersionIndex(call.Value(FirmwareOption)).value_or(-1));
}

// The files common to every language are kept under two spaces.
QString LangOf(const Invocation& call) {
    return call.Value(LangOption, QLatin1String(package::CommonLang));
}

struct Group {
    QString lang, version;
    QList<TPackageEntry> files;
};

QList<Group> Groups(PackageReader& package) {
    QList<Group> groups;
    TPackageEntry e;
    for (int i = 0; package.ReadEntry(i, e); ++i) {
        auto it = std::find_if(groups.begin(), groups.end(),
                               [&](const Group& g) { return g.lang == e.Lang && g.version == e.Version; });
        if (it == groups.end())
            it = groups.insert(groups.end(), Group{e.Lang, e.Version, {}});
        it->files << e;
    }
    return groups;
}

int List(const Invocation& call) {
    QJsonArray array;
    for (const Group& g : Groups(ProcessPackage())) {
        QJsonArray files;
        if (!call.settings.json)
            call.console.OutLine(Tx(txt::PackageGroup).arg(g.lang, g.version).arg(g.files.size()));
        for (const TPackageEntry& e : g.files) {
            if (!call.settings.json)
                call.console.OutLine(Tx(txt::PackageFileLine).arg(e.FileName).arg(e.Size));
            files.append(QJsonObject{{QStringLiteral("name"), e.FileName},
                                     {QStringLiteral("idx"), e.Idx},
                                     {QStringLiteral("size"), e.Size},
                                     {QStringLiteral("packedSize"), e.PackedSize}});
        }
        array.append(QJsonObject{{QStringLiteral("lang"), g.lang},
                                 {QStringLiteral("version"), g.version},
                                 {QStringLiteral("files"), files}});
    }
    if (call.settings.json)
        call.PrintJson({{QStringLiteral("groups"), array}});
    return ExitOk;
}

int Extract(const Invocation& call, const QString& name) {
    const QString lang = LangOf(call), version = TagOf(call);
    QByteArray bytes;
    const qint32 size = ProcessPackage().Extract(name, -1, lang, version, bytes);
    if (size <= 0) {
        call.console.ErrLine(Tx(txt::PackageNoFile).arg(name, lang.trimmed(), version));
        return ExitFailed;
    }
    const QString output = call.Value(OutputOption);
    if (!WriteFile(output, bytes)) {
        call.console.ErrLine(Tx(txt::CannotWrite).arg(output));
        return ExitFailed;
    }
    if (call.settings.json)
        call.PrintJson({{QStringLiteral("file"), output}, {QStringLiteral("size"), size}});
    else
        call.console.OutLine(Tx(txt::PackageExtracted).arg(output).arg(size));
    return ExitOk;
}

int Image(const Invocation& call) {
    QString error;
    const TUser_Resource resource = ResourcesOf(call, error);
    if (!error.isEmpty())
        return call.UsageError(error);
    const QString lang = call.Value(LangOption), version = TagOf(call);
    int free = 0;
    DataFlashImage image;
    if (!BuildDataFlashImage(ProcessPackage(), image, lang, version, free, &resource)) {
        call.console.ErrLine(Tx(txt::ImageNotBuilt).arg(lang, version));
        return ExitFailed;
    }
    const QString output = call.Value(OutputOption);
    if (!WriteFile(output, image.Bytes())) {
        call.console.ErrLine(Tx(txt::CannotWrite).arg(output));
        return ExitFailed;
    }
    if (call.settings.json)
        call.PrintJson({{QStringLiteral("file"), output},
                        {QStringLiteral("size"), int(image.Bytes().size())},
                        {QStringLiteral("free"), free}});
    else
        call.console.OutLine(Tx(txt::PackageImageSaved).arg(output).arg(image.Bytes().size()).arg(free));
    return ExitOk;
}

class PackageCommand : public Command {
public:
    QStringList Words() const override { return {QStringLiteral("package")}; }
    int HelpOrder() const override { return 90; }
    QString Operands() const override { return QStringLiteral("list|extract NAME|image"); }
    int SharedOptionsTaken() const override { return SharedJson; }
    QString Details() const override {
        return QStringLiteral("  package list\n"
                              "  package extract NAME --firmware VERSION --output FILE [--lang LL]\n"
                              "  package image --lang LL --firmware VERSION --output FILE\n"
                              "                [--page K=FILE]… [--graphic K=FILE]…");
    }
    QString Summary() const override { return Tx(txt::PackageSummary); }
    QList<OptionSpec> Options() const override {
        return QList<OptionSpec>{PackageSpec(),
                                 {LangOption, QStringLiteral("LL"), Tx(txt::OptLang)},
                                 {FirmwareOption, QStringLiteral("V4.0.1f|V2.1.4"), Tx(txt::OptPkgVersion)},
                                 {OutputOption, QStringLiteral("FILE"), Tx(txt::OptOutput)}} +
               ResourceSpecs();
    }

    int Run(Invocation& call) override {
        const QString action = call.operands.value(0);
        const qsizetype expected = action == QLatin1String("extract") ? 2 : 1;
        const QStringList known = {QStringLiteral("list"), QStringLiteral("extract"),
                                   QStringLiteral("image")};
        if (!known.contains(action) || call.operands.size() < expected)
            return call.UsageError(Tx(txt::PackageNeedsAction));
        if (call.operands.size() > expected)
            return call.UsageError(Tx(txt::ExtraArgument).arg(call.operands[expected]));
        if (action != QLatin1String("list")) {
            if (!call.Has(OutputOption))
                return call.UsageError(Tx(txt::PackageNeedOutput));
            if (!call.Has(FirmwareOption) || (action == QLatin1String("image") && !call.Has(LangOption)))
                return call.UsageError(Tx(txt::PackageNeedGroup));
            if (!FirmwareVersionIndex(call.Value(FirmwareOption)))
                return call.UsageError(Tx(txt::BadFirmware));
        }
        const QString error = SelectPackage(call);
        if (!error.isEmpty()) {
            call.console.ErrLine(error);
            return ExitFailed;
        }
        if (action == QLatin1String("list"))
            return List(call);
        return action == QLatin1String("extract") ? Extract(call, call.operands[1]) : Image(call);
    }
};

} // namespace

std::unique_ptr<Command> MakePackageCommand() {
    return std::make_unique<PackageCommand>();
}

} // namespace quelnet::cli
