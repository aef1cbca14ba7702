#include "sim/SimController.h"

#include "core/protocol/Frames.h"

#include <QMutexLocker>

namespace quelnet::sim {

using namespace quelnet::proto;

namespace {
constexpr uchar FrameStart = 0xD5;
constexpr uchar LongMarker = 0x80;
constexpr int ShortWritePageSize = ShortHeaderSize + PageSize; // 262
} // namespace

SimController::SimController(const SimConfig& config) : m_config(config), m_circuits(config.circuits) {}

int SimController::FrameLength(const QByteArray& buffer) {
    if (buffer.isEmpty())
        return 0;
    if (uchar(buffer[0]) != FrameStart)
        return -1;
    if (buffer.size() < 2)
        return 0;
    int length = 0;
    if (uchar(buffer[1]) == LongMarker) {
        if (buffer.size() < LongHeaderSize)
            return 0;
        length = LongHeaderSize + GetU16(buffer, 14);
    } else {
        length = uchar(buffer[1]) == ShortWritePage ? ShortWritePageSize : ShortHeaderSize;
    }
    return buffer.size() >= length ? length : 0;
}

bool SimController::IsPageRequest(const QByteArray& frame) {
    if (frame.size() < 2 || uchar(frame[0]) != FrameStart)
        return false;
    if (uchar(frame[1]) != LongMarker)
        return uchar(frame[1]) == ShortWritePage;
    return frame.size() > 12 && (uchar(frame[12]) == CmdReadPage || uchar(frame[12]) == CmdWritePage);
}

Outcome SimController::Handle(const QByteArray& frame, const Faults& faults) {
    QMutexLocker lock(&m_mutex);
    // Only whole frames as FrameLength delimits them are answered.
    if (frame.isEmpty() || FrameLength(frame) != frame.size())
        return {{},
                AfterReply::Stay,
                QString("%1 bytes that are not one whole frame: no reply").arg(frame.size())};
    if (uchar(frame[1]) == LongMarker)
        return HandleLong(frame, faults.wrongEchoOnPage);
    return HandleShort(frame, faults);
}

QByteArray EchoAddress(quint32 address, const QSet<int>& wrongEchoPages) {
    if (wrongEchoPages.contains(int(address >> 8)))
        address += PageSize;
    QByteArray a(3, '\0');
    a[0] = char((address >> 16) & 0xFF);
    a[1] = char((address >> 8) & 0xFF);
    a[2] = char(address & 0xFF);
    return a;
}

bool SimController::Digital(const QString& name) const {
    QMutexLocker lock(&m_mutex);
    const Circuit* c = m_circuits.FindByName(name);
    return c && !c->def.analog && c->on;
}

void SimController::SetDigital(const QString& name, bool on) {
    QMutexLocker lock(&m_mutex);
    if (Circuit* c = m_circuits.FindByName(name); c && !c->def.analog)
        c->on = on;
}

float SimController::Analog(const QString& name) const {
    QMutexLocker lock(&m_mutex);
    const Circuit* c = m_circuits.FindByName(name);
    return c && c->def.analog ? float(double(c->raw) / 10000.0) : 0.0f;
}

void SimController::SetAnalog(const QString& name, float value) {
    QMutexLocker lock(&m_mutex);
    if (Circuit* c = m_circuits.FindByName(name); c && c->def.analog)
        c->raw = qint32(GetU32(EncodeAnalog(value), 0));
}

QList<CircuitSpec> SimController::Circuits() const {
    QMutexLocker lock(&m_mutex);
    QList<CircuitSpec> list;
    for (const QByteArray& key : m_circuits.Order())
        list.append(m_circuits.Find(key)->def);
    return list;
}

SimConfig SimController::Settings() const {
    QMutexLocker lock(&m_mutex);
    return m_config;
}

QByteArray SimController::Flash() const {
    QMutexLocker lock(&m_mutex);
    return m_flash.All();
}

QByteArray SimController::ReadFlash(quint32 address, int length) const {
    QMutexLocker lock(&m_mutex);
    return m_flash.Read(address, length);
}

void SimController::SetFlash(const QByteArray& image) {
    QMutexLocker lock(&m_mutex);
    m_flash.SetAll(image);
}

void SimController::CorruptPage(int page) {
    QMutexLocker lock(&m_mutex);
    const quint32 address = quint32(page) * PageSize;
    m_flash.Write(address, QByteArray(1, char(~uchar(m_flash.Read(address, 1)[0]))));
}

bool SimController::LoadFlash(const QString& path, QString* error, QString* warning) {
    QMutexLocker lock(&m_mutex);
    return m_flash.Load(path, error, warning);
}

bool SimController::SaveFlash(const QString& path, QString* error) const {
    QMutexLocker lock(&m_mutex);
    return m_flash.Save(path, error);
}

} // namespace quelnet::sim
