#include "PackageWriter.h"

#include "core/base/CodePage.h"
#include "core/firmware/PackageFormat.h"
#include "core/protocol/Checksums.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QPair>
#include <zlib.h>

namespace quelnet::package {

namespace {

QByteArray Compress(const QByteArray& data) {
    uLongf length = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(length), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef*>(out.data()), &length, reinterpret_cast<const Bytef*>(data.constData()),
              uLong(data.size()), Z_DEFAULT_COMPRESSION);
    out.truncate(qsizetype(length));
    return out;
}

QString Hex(quint32 value, int digits) {
    return QLatin1Char('$') + QString::number(value, 16).toUpper().rightJustified(digits, QLatin1Char('0'));
}

void AppendLe32(QByteArray& out, quint32 v) {
    for (int i = 0; i < 4; ++i)
        out.append(char(v >> (8 * i)));
}

} // namespace

QString DirectoryLine(const TPackageEntry& e) {
    return QStringList{Hex(quint32(e.Idx), 3),
                       e.Lang,
                       e.Version,
                       Hex(quint32(e.Offset), 8),
                       Hex(quint32(e.Size), 8),
                       Hex(quint32(e.PackedSize), 8),
                       Hex(e.DataCrc, 8),
                       Hex(e.PackedCrc, 8),
                       e.FileName}
        .join(QLatin1Char('|'));
}

QByteArray WritePackage(const std::vector<PackageFile>& files) {
    QByteArray directory, dataArea;
    QMap<QPair<QString, QString>, int> nextIdx;
    for (const PackageFile& file : files) {
        const QByteArray packed = Compress(file.data);
        int& idx = nextIdx[{file.lang, file.version}];
        const TPackageEntry entry{idx++,
                                  file.lang,
                                  file.version,
                                  qint32(dataArea.size()),
                                  qint32(file.data.size()),
                                  qint32(packed.size()),
                                  CrcUpdate(file.data.constData(), quint32(file.data.size())),
                                  CrcUpdate(packed.constData(), quint32(packed.size())),
                                  file.name};
        const QString line = DirectoryLine(entry);
        directory.append(ToAnsi(line)).append('\r');
        dataArea.append(packed);
    }
    QByteArray out = Magic();
    AppendLe32(out, quint32(directory.size()));
    AppendLe32(out, quint32(dataArea.size()));
    return out + directory + dataArea;
}

bool AppendPackage(const QString& executable, const QByteArray& package, QString* error) {
    QFile file(executable);
    if (!file.open(QIODevice::ReadWrite)) {
        *error = QStringLiteral("cannot open %1: %2").arg(executable, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    const qsizetype previous = bytes.indexOf(Magic());
    const qint64 cut = previous < 0 ? bytes.size() : previous;
    if (!file.resize(cut) || !file.seek(cut) || file.write(package) != package.size() || !file.flush()) {
        *error = QStringLiteral("cannot write %1: %2").arg(executable, file.errorString());
        return false;
    }
    return true;
}

bool ReadManifest(const QString& manifestPath, std::vector<PackageFile>& files, QString* error) {
    QFile manifest(manifestPath);
    if (!manifest.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(manifestPath, manifest.errorString());
        return false;
    }
    const QDir base = QFileInfo(manifestPath).absoluteDir();
    const QStringList lines = QString::fromUtf8(manifest.readAll()).split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines[n].endsWith(QLatin1Char('\r')) ? lines[n].chopped(1) : lines[n];
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList f = line.split(QLatin1Char('|'));
        QFile data(base.filePath(f.value(3)));
        if (f.size() != 4 || !data.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("%1:%2: bad line or unreadable file").arg(manifestPath).arg(n + 1);
            return false;
        }
        files.push_back({f[0], f[1], f[2], data.readAll()});
    }
    return true;
}

bool WriteIfChanged(const QString& path, const QByteArray& data, QString* error) {
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.size() == data.size() && file.readAll() == data)
        return true;
    file.close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size()) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

} // namespace quelnet::package
