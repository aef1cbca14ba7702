#pragma once
// Panel files and pictures for the benchmarks with windows.
#include "core/base/CodePage.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

namespace bench {

struct Block {
    QString tag;
    QRect rect;
    QStringList keys;
};

inline bool WritePanel(const QString& path, const QList<Block>& blocks) {
    QStringList lines;
    for (const Block& b : blocks) {
        lines << "{"
              << "x_tp=" + b.tag << QString("x_px=%1").arg(b.rect.x()) << QString("x_py=%1").arg(b.rect.y())
              << QString("x_pw=%1").arg(b.rect.width()) << QString("x_ph=%1").arg(b.rect.height()) << b.keys
              << "}";
    }
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(quelnet::ToAnsi(lines.join("\r\n") + "\r\n")) > 0;
}

inline bool WritePicture(const QString& path, QColor colour, int side = 32) {
    QImage img(side, side, QImage::Format_RGB32);
    img.fill(colour);
    return img.save(path, "PNG");
}

// A rectangle on a grid inside the designed client area, so that elements overlap
// the way a crowded panel does.
inline QRect GridRect(int i, int w, int h) {
    return QRect((i * 24) % 640, (i * 16 / 640 * 16 + (i % 7) * 8) % 340, w, h);
}

// A cell of a grid of 64 columns of 56 x 40 pixels, one element a cell, none
// overlapping: a panel laid out over a large window.
constexpr int CellColumns = 64, CellWidth = 56, CellHeight = 40;
inline QRect CellRect(int i, int w, int h) {
    return QRect((i % CellColumns) * CellWidth + 4, (i / CellColumns) * CellHeight + 4, qMin(w, CellWidth - 8),
                 qMin(h, CellHeight - 8));
}
inline QSize CellWindowSize(int n) {
    return QSize(CellColumns * CellWidth + 8, (n + CellColumns - 1) / CellColumns * CellHeight + 8);
}

} // namespace bench
