// quelnet-pack: writes a firmware package and appends it to an executable.
//
//   quelnet-pack write MANIFEST PACKAGE    package from the files a manifest lists
//   quelnet-pack append EXECUTABLE PACKAGE  append (or replace) the package at the end
//   quelnet-pack check FILE                 open the package at the end of FILE, list its groups
#include "PackageWriter.h"

#include "core/firmware/PackageReader.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <cstdio>

using namespace quelnet;

namespace {

int Fail(const QString& message) {
    std::fprintf(stderr, "quelnet-pack: %s\n", qPrintable(message));
    return 1;
}

int Write(const QString& manifest, const QString& output) {
    std::vector<package::PackageFile> files;
    QString error;
    if (!package::ReadManifest(manifest, files, &error))
        return Fail(error);
    if (!package::WriteIfChanged(output, package::WritePackage(files), &error))
        return Fail(error);
    return 0;
}

int Check(const QString& path) {
    PackageReader reader = PackageReader::OfFile(path);
    if (!reader.Open())
        return Fail(QStringLiteral("no package at the end of %1").arg(path));
    QMap<QString, int> groups;
    QStringList order;
    TPackageEntry e;
    for (int i = 0; reader.ReadEntry(i, e); ++i) {
        const QString group = QStringLiteral("\"%1\" %2").arg(e.Lang, e.Version);
        if (!groups.contains(group))
            order.append(group);
        ++groups[group];
    }
    std::printf("package at %lld: %d records, directory %u bytes, data %u bytes\n",
                static_cast<long long>(reader.MarkerPos()), reader.EntryCount(), reader.DirectoryLength(),
                reader.DataLength());
    for (const QString& group : order)
        std::printf("  %s: %d\n", qPrintable(group), groups[group]);
    return 0;
}

int Append(const QString& executable, const QString& packagePath) {
    QFile file(packagePath);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read %1").arg(packagePath));
    QString error;
    if (!package::AppendPackage(executable, file.readAll(), &error))
        return Fail(error);
    PackageReader reader = PackageReader::OfFile(executable);
    return reader.Open() ? 0 : Fail(QStringLiteral("the package does not open in %1").arg(executable));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    const QString command = args.value(0);
    if (command == QLatin1String("write") && args.size() == 3)
        return Write(args[1], args[2]);
    if (command == QLatin1String("append") && args.size() == 3)
        return Append(args[1], args[2]);
    if (command == QLatin1String("check") && args.size() == 2)
        return Check(args[1]);
    std::fprintf(stderr, "usage: quelnet-pack write MANIFEST PACKAGE\n"
                         "       quelnet-pack append EXECUTABLE PACKAGE\n"
                         "       quelnet-pack check FILE\n");
    return 2;
}
