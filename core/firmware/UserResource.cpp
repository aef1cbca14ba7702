#include "core/firmware/UserResource.h"

#include "core/firmware/PackageFormat.h"

#include <QFile>

namespace quelnet {

qint64 LoadFileToBuffer(const QString& path, QByteArray& buffer) {
    buffer.clear();
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return 0;
    const qint64 size = file.size();
    if (size > package::MaxFileSize)
        return -1;
    if (size <= 0)
        return 0;
    buffer = file.readAll();
    if (buffer.size() != size) {
        buffer.clear();
        return 0;
    }
    return size;
}

QString SubstitutePath(const TUser_Resource& resource, const QString& fileName) {
    for (int k = 1; k <= 8; ++k) {
        const QString& page = resource.Html_U[size_t(k - 1)];
        if (!page.isEmpty() && fileName.contains(QStringLiteral("u%1.html").arg(k)))
            return page;
        const QString& graphic = resource.Gif_S[size_t(k - 1)];
        if (!graphic.isEmpty() && fileName.contains(QStringLiteral("s%1.gif").arg(k)))
            return graphic;
    }
    return {};
}

} // namespace quelnet
