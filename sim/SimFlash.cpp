#include "sim/SimFlash.h"

#include <cstring>

#include <QFile>
#include <QSaveFile>

namespace quelnet::sim {

SimFlash::SimFlash() : m_bytes(Size, char(0xFF)) {}

// Bytes within the memory, at most `length` from `address`.
static int InRange(quint32 address, qint64 length) {
    return address >= quint32(SimFlash::Size) ? 0
                                              : int(qMin<qint64>(length, SimFlash::Size - qint64(address)));
}

QByteArray SimFlash::Read(quint32 address, int length) const {
    QByteArray out(qMax(0, length), char(0xFF));
    if (const int n = InRange(address, out.size()))
        std::memcpy(out.data(), m_bytes.constData() + address, size_t(n));
    return out;
}

void SimFlash::Write(quint32 address, const QByteArray& data) {
    if (const int n = InRange(address, data.size()))
        std::memcpy(m_bytes.data() + address, data.constData(), size_t(n));
}

// In place: the memory keeps its one buffer.
void SimFlash::SetAll(const QByteArray& image) {
    const int n = int(qMin<qsizetype>(image.size(), Size));
    char* bytes = m_bytes.data();
    std::memcpy(bytes, image.constData(), size_t(n));
    std::memset(bytes + n, 0xFF, size_t(Size - n));
}

bool SimFlash::Load(const QString& path, QString* error, QString* warning) {
    QFile f(path);
    if (!f.exists())
        return true;
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QString("cannot read the DataFlash file %1: %2").arg(path, f.errorString());
        return false;
    }
    if (f.size() > Size) {
        *error = QString("the DataFlash file %1 has %2 bytes, more than the %3 of the DataFlash")
                     .arg(path)
                     .arg(f.size())
                     .arg(Size);
        return false;
    }
    const QByteArray bytes = f.readAll();
    if (bytes.size() < Size)
        *warning = QString("the DataFlash file %1 has only %2 bytes; the rest reads as erased (0xFF)")
                       .arg(path)
                       .arg(bytes.size());
    SetAll(bytes);
    return true;
}

bool SimFlash::Save(const QString& path, QString* error) const {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(m_bytes) != m_bytes.size() || !f.commit()) {
        *error = QString("cannot save the DataFlash file %1: %2").arg(path, f.errorString());
        return false;
    }
    return true;
}

} // namespace quelnet::sim
