#pragma once
// The simulated 512 KiB DataFlash: 2,048 pages of 256 bytes, erased (0xFF) at
// start, optionally loaded from and saved to a file. Not thread-safe by itself;
// SimController guards it.

#include <QByteArray>
#include <QString>

namespace quelnet::sim {

class SimFlash {
public:
    static constexpr int Size = 2048 * 256;

    SimFlash();

    QByteArray Read(quint32 address, int length) const;  // bytes past the end read as 0xFF
    void Write(quint32 address, const QByteArray& data); // bytes past the end are dropped
    QByteArray All() const { return m_bytes; }
    void SetAll(const QByteArray& image); // shorter images fill from 0, the rest is erased

    // A file larger than the DataFlash is refused rather than cut; a shorter one is
    // loaded from address 0 (a warning tells so). A missing file is not an error:
    // the memory stays erased and the file is created at the first save.
    bool Load(const QString& path, QString* error, QString* warning);
    bool Save(const QString& path, QString* error) const;

private:
    QByteArray m_bytes;
};

} // namespace quelnet::sim
