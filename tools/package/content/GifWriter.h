#pragma once
// A small GIF89a writer: one image, a global colour table, real LZW coding.

#include "IndexedPicture.h"

#include <QByteArray>

namespace quelnet::content {

QByteArray EncodeGif(const IndexedPicture& picture);

// Makes a GIF exactly size bytes long by putting a comment extension before its
// trailer; needs at least 5 bytes to add (or none). Empty when it cannot.
QByteArray PadGif(const QByteArray& gif, int size, const QByteArray& commentText);

} // namespace quelnet::content
