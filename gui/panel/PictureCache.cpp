#include "gui/panel/PictureCache.h"

#include <QFile>
#include <QImageReader>
#include <sys/stat.h>

namespace quelnet {

QImage PictureCache::ReadPictureFile(const QString& path) {
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

QImage PictureCache::Picture(const QString& path) {
    if (path.isEmpty())
        return QImage();
    // One stat() per look (symbolic links followed): this runs for every due
    // element at every poll tick.
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode)) {
        m_entries.remove(path);
        return QImage();
    }
    const Stamp stamp{qint64(st.st_mtim.tv_sec), qint64(st.st_mtim.tv_nsec), qint64(st.st_size)};
    auto it = m_entries.find(path);
    if (it != m_entries.end() && it->stamp == stamp)
        return it->image;
    // A damaged file is remembered as no picture until it changes.
    Entry entry{stamp, ReadPictureFile(path)};
    m_entries.insert(path, entry);
    return entry.image;
}

} // namespace quelnet
