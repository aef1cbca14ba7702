#include "sim/SimFlash.h"

#include <QFile>
#include <QSaveFile>

namespace quelnet::sim {

SimFlash::SimFlash() : m_bytes(Size, char(0xFF)) {}

QByteArray SimFlash::Read(quint32 address, int length) const {
    QByteArray out(length, char(0xFF));
    for (int i = 0; i < length; ++i) {
        const quint64 a = quint64(address) + quint64(i);
        if (a < quint64(Size))
            out[i] = m_bytes[int(a)];
    }
    return out;
}

void SimFlash::Write(quint32 address, const QByteArray& data) {
    for (int i = 0; i < data.size(); ++i) {
        const quint64 a = quint64(address) + quint64(i);
        if (a < quint64(Size))
            m_bytes[int(a)] = data[i];
    }
}

void SimFlash::SetAll(const QByteArray& image) {
    m_bytes = image.left(Size);
    m_bytes.append(Size - m_bytes.size(), char(0xFF));
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
