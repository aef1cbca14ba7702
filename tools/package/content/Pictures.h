#pragma once
// The package's pictures: small icons (lamps, buttons, arrows, level bars, digits)
// as GIF files and blocky grey photographs as JPEG files, each made exactly as
// large as the package plan asks, by choosing the picture size and filling the
// rest with a comment.

#include <QByteArray>

namespace quelnet::content {

enum class Icon { Lamp, Button, Arrow, Bar, Digit };

// Empty when no picture of this kind fits in size bytes.
QByteArray IconGif(Icon icon, int variant, int size);
QByteArray PhotoJpeg(int variant, int size);

} // namespace quelnet::content
