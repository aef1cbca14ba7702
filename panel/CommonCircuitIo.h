#pragma once
// The device link TfmCommon seen as the run mode's circuit operations.

#include "panel/RunSeams.h"

namespace quelnet {

class TfmCommon;

class CommonCircuitIo : public ICircuitIo {
public:
    explicit CommonCircuitIo(TfmCommon& common) : m_common(common) {}

    bool SetOutDigi(const QString& host, std::uint16_t port, const QString& pass, const QString& circ,
                    std::uint8_t mode) override;
    bool SetOutAnal(const QString& host, std::uint16_t port, const QString& pass, const QString& circ,
                    float value) override;
    bool GetInpDigi(const QString& host, std::uint16_t port, const QString& pass, const QString& circ,
                    std::uint8_t mode, bool& state) override;
    bool GetInpAnal(const QString& host, std::uint16_t port, const QString& pass, const QString& circ,
                    std::uint8_t mode, float& state) override;
    QString GetLastError() const override;

private:
    TfmCommon& m_common;
};

} // namespace quelnet
