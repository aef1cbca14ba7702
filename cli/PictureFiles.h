#pragma once
// Whether a picture file of a panel element can be shown, judged without the
// image libraries (the core has no Qt Gui): the file exists, is readable and
// starts with the signature of a format the panel loads: BMP, PNG, ICO, GIF
// or JPEG.

#include <QByteArray>
#include <QString>

namespace quelnet::cli {

enum class PictureState { Ok, Missing, Unreadable, UnknownFormat };

// "bmp", "png", "ico", "gif", "jpeg", or empty when the bytes start with none
// of their signatures.
QString PictureFormat(const QByteArray& head);

PictureState CheckPictureFile(const QString& path);

} // namespace quelnet::cli
