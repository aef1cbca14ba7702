#include "gui/panel/PictureCache.h"

#include <QFileInfo>
#include <QImageReader>

namespace quelnet {

QImage PictureCache::ReadPictureFile(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

QImage PictureCache::Picture(const QString& path) {
    if (path.isEmpty())
        return QImage();
    const QFileInfo info(path); // exists() and the times follow symbolic links
    if (!info.exists() || !info.isFile()) {
        m_entries.remove(path);
        return QImage();
    }
    const QDateTime modified = info.lastModified();
    const qint64 size = info.size();
    auto it = m_entries.find(path);
    if (it != m_entries.end() && it->modified == modified && it->size == size)
        return it->image;
    // A damaged file is remembered as no picture until it changes.
    Entry entry{modified, size, ReadPictureFile(path)};
    m_entries.insert(path, entry);
    return entry.image;
}

} // namespace quelnet
