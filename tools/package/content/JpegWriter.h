#pragma once
// A minimal baseline JPEG writer for grey pictures made of flat 8x8 blocks: each
// block carries only its DC coefficient (its mean), every AC run ends at once.

#include <QByteArray>
#include <vector>

namespace quelnet::content {

struct BlockPicture {
    int blocksWide = 0;
    int blocksHigh = 0;
    std::vector<int> levels; // grey level 0-255 of every block, row by row
};

QByteArray EncodeJpeg(const BlockPicture& picture);

// Makes a JPEG exactly size bytes long with comment segments after its JFIF
// header; needs at least 4 bytes to add (or none). Empty when it cannot.
QByteArray PadJpeg(const QByteArray& jpeg, int size, const QByteArray& commentText);

} // namespace quelnet::content
