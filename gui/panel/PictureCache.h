#pragma once
// PictureCache: the state pictures of the run mode, each file read and decoded
// once. An entry is keyed by the path as written in the element record and
// remembers the file's modification time and size; a file that changes on
// disk (either differs) is read again, a file that vanished or cannot be
// decoded gives no picture. Owned by PanelViews, so it lives as long as the
// panel window.

#include <QHash>
#include <QImage>
#include <QString>

namespace quelnet {

class PictureCache {
public:
    // The decoded picture of the file (symbolic links followed), null image
    // when the path is empty, names no regular file or the file is unreadable.
    // Copies of a picture share its data (same QImage::cacheKey()) until the
    // file changes.
    QImage Picture(const QString& path);
    void Clear() { m_entries.clear(); }

    // Reads any format QImageReader knows, deciding from the content.
    static QImage ReadPictureFile(const QString& path);

private:
    struct Stamp {
        qint64 seconds = 0, nanoseconds = 0, size = -1; // modification time and size
        bool operator==(const Stamp&) const = default;
    };
    struct Entry {
        Stamp stamp;
        QImage image;
    };
    QHash<QString, Entry> m_entries;
};

} // namespace quelnet
