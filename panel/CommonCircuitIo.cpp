#include "panel/CommonCircuitIo.h"

#include "link/UCommonForm.h"

namespace quelnet {

bool CommonCircuitIo::SetOutDigi(const QString& host, std::uint16_t port, const QString& pass,
                                 const QString& circ, std::uint8_t mode) {
    return m_common.SetOutDigi(host, port, pass, circ, mode);
}

bool CommonCircuitIo::SetOutAnal(const QString& host, std::uint16_t port, const QString& pass,
                                 const QString& circ, float value) {
    return m_common.SetOutAnal(host, port, pass, circ, value);
}

bool CommonCircuitIo::GetInpDigi(const QString& host, std::uint16_t port, const QString& pass,
                                 const QString& circ, std::uint8_t mode, bool& state) {
    return m_common.GetInpDigi(host, port, pass, circ, mode, state);
}

bool CommonCircuitIo::GetInpAnal(const QString& host, std::uint16_t port, const QString& pass,
                                 const QString& circ, std::uint8_t mode, float& state) {
    return m_common.GetInpAnal(host, port, pass, circ, mode, state);
}

QString CommonCircuitIo::GetLastError() const {
    return m_common.GetLastError();
}

} // namespace quelnet
