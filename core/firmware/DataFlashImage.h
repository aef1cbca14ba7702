#pragma once
// The 512 KiB image of the controller's DataFlash: 2,048 pages of 256 bytes.
//
//   0x000000-0x0005FF  file table: 192 slots of 8 bytes
//                      (0, offset 24-bit big-endian, 0, length 24-bit big-endian)
//   0x000600-          the files in slot order; the first five of every group:
//   0x000600 cnfdef.bin (configuration area, 8,192 bytes), 0x002600 errsys.bin,
//   0x002700 errnet.bin, 0x002800 errlnk.bin, 0x002900 prog.bin (the program
//   copy, 0x1D800 bytes; pages 41-168 are also the text area). Web files follow
//   from 0x020100.
//
// In V401f the files lie back to back; in V214 each starts on a 256-byte boundary.

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace quelnet {

class DataFlashImage {
public:
    static constexpr int Size = 0x80000;
    static constexpr int PageSize = 256;
    static constexpr int PageCount = Size / PageSize;
    static constexpr int SlotCount = 192;
    static constexpr int SlotSize = 8;
    static constexpr int FirstFileOffset = SlotCount * SlotSize; // 0x600

    DataFlashImage() : m_bytes(Size, '\0') {}

    // Every byte zero again (a fresh image already is: not filled twice).
    void Clear() {
        if (!m_clean)
            m_bytes.fill('\0');
        m_clean = true;
    }

    // Puts one file into a slot (0...191), after compacting it when it is an HTML
    // page. The file starts where the previous slot's file ends (V401f; the start
    // must not lie above 0x7FFFF) or at the next 256-byte boundary after it
    // (V214); slot 0 starts at 0x600. free = 0x80000 - (start + length), or 0 when
    // the placement fails before the start is known.
    //
    // False for a slot out of range or already written, a previous slot with zero
    // offset or length, an unknown version, or empty data (the slot is then
    // written). A file that would end beyond the image is refused: nothing is
    // written, and free comes out negative.
    bool PlaceFile(int slot, const QByteArray& data, const QString& version, int& free);

    quint32 SlotOffset(int slot) const; // 0 for a slot out of range
    quint32 SlotLength(int slot) const;

    // Writes bytes at an address (e.g. the program copy at 0x2900); false, and
    // nothing written, when they do not fit in the image.
    bool Overwrite(quint32 address, const QByteArray& bytes);

    const QByteArray& Bytes() const { return m_bytes; }
    QByteArray Page(int page) const { return m_bytes.mid(qsizetype(page) * PageSize, PageSize); }

private:
    bool StartOffset(int slot, const QString& version, qint64& offset) const;
    quint32 ReadBe32(qsizetype at) const;

    QByteArray m_bytes;
    bool m_clean = true; // nothing written since the image was made or cleared
};

} // namespace quelnet
