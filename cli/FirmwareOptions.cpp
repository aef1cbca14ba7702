#include "cli/FirmwareOptions.h"

#include "cli/CliTexts.h"

#include "core/firmware/FirmwarePackage.h"
#include "core/jobs/UpdateJob.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace quelnet::cli {

namespace {

// "K=FILE" into slot K-1 of `paths`; false when it does not read or the file
// cannot be opened.
bool PlaceResource(const QString& option, const QString& value, std::array<QString, 8>& paths,
                   QString& error) {
    const qsizetype eq = value.indexOf(u'=');
    const std::optional<int> k = eq > 0 ? ParseInt(value.left(eq), 1, 8) : std::nullopt;
    const QString path = eq > 0 ? value.mid(eq + 1) : QString();
    if (!k || path.isEmpty()) {
        error = Tx(txt::BadResource).arg("--" + option, value);
        return false;
    }
    if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable()) {
        error = Tx(txt::ResourceMissing).arg(path);
        return false;
    }
    paths[size_t(*k - 1)] = path;
    return true;
}

} // namespace

OptionSpec PackageSpec() {
    return {PackageOption, QStringLiteral("FILE"), Tx(txt::OptPackage)};
}

QList<OptionSpec> ResourceSpecs() {
    return {{PageOption, QStringLiteral("K=FILE"), Tx(txt::OptPage)},
            {GraphicOption, QStringLiteral("K=FILE"), Tx(txt::OptGraphic)}};
}

QString PackagePath(const Invocation& call) {
    if (call.Has(PackageOption))
        return call.Value(PackageOption);
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("quelnet"));
}

QString SelectPackage(const Invocation& call) {
    const QString path = PackagePath(call);
    ProcessPackage() = PackageReader::OfFile(path);
    return ProcessPackage().Open() ? QString() : Tx(txt::PackageMissing).arg(path);
}

TUser_Resource ResourcesOf(const Invocation& call, QString& error) {
    TUser_Resource r;
    for (const QString& value : call.args.Values(PageOption))
        if (!PlaceResource(PageOption, value, r.Html_U, error))
            return r;
    for (const QString& value : call.args.Values(GraphicOption))
        if (!PlaceResource(GraphicOption, value, r.Gif_S, error))
            return r;
    return r;
}

int ResourceCount(const TUser_Resource& resource, bool pages) {
    int n = 0;
    for (const QString& path : pages ? resource.Html_U : resource.Gif_S)
        n += path.isEmpty() ? 0 : 1;
    return n;
}

std::optional<int> FirmwareVersionIndex(const QString& text) {
    const QStringList& names = UpdateJob::VersionNames();
    for (int i = 0; i < names.size(); ++i)
        if (text == names[i] || text == UpdateJob::PackageTag(i))
            return i;
    return std::nullopt;
}

} // namespace quelnet::cli
