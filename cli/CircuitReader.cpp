#include "cli/CircuitReader.h"

#include "cli/CliTexts.h"

#include "core/base/InterfaceTexts.h"

namespace quelnet::cli {

QString AnalogText(float value) {
    QString s = QString::number(double(value), 'f', 4);
    while (s.contains(u'.') && (s.endsWith(u'0') || s.endsWith(u'.')))
        s.chop(1);
    return s;
}

bool IsMissingCircuit(const QString& error, bool analog) {
    return error.startsWith(Pl(analog ? lt::NoAnalogCircuit : lt::NoDigitalCircuit));
}

QString CircuitValue::Text() const {
    if (analog)
        return AnalogText(value);
    return Tx(on ? txt::StateOn : txt::StateOff);
}

QJsonValue CircuitValue::Json() const {
    return analog ? QJsonValue(double(value)) : QJsonValue(on);
}

QString CircuitValue::KindKey() const {
    return analog ? QStringLiteral("analog") : QStringLiteral("digital");
}

CircuitValue CircuitReader::ReadAs(const QString& name, bool analog) {
    CircuitValue v;
    v.analog = analog;
    v.ok = analog ? m_io.GetInpAnal(m_target.host, m_target.port, m_password, name, m_point, v.value)
                  : m_io.GetInpDigi(m_target.host, m_target.port, m_password, name, m_point, v.on);
    if (!v.ok) {
        v.error = m_io.GetLastError();
        v.missing = IsMissingCircuit(v.error, analog);
    }
    return v;
}

CircuitValue CircuitReader::Read(const QString& name) {
    if (const auto known = m_analog.constFind(name); known != m_analog.constEnd())
        return ReadAs(name, *known);
    CircuitValue v = ReadAs(name, false);
    if (v.missing)
        v = ReadAs(name, true);
    if (v.ok) {
        m_analog.insert(name, v.analog);
    } else if (v.missing) {
        v.error = Tx(txt::NoSuchCircuit).arg(name) + QStringLiteral(" (%1 ).").arg(m_target.Text());
    }
    return v;
}

} // namespace quelnet::cli
