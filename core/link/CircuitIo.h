#pragma once
// Circuit I/O: reads and sets of named circuits over the persistent link.
// Every call blocks until it has a result; after false, GetLastError() tells
// why (a Polish text ending in the controller's address). The device link
// implements it; the run mode's poll logic uses it (and tests give it a fake).

#include <QString>
#include <cstdint>

namespace quelnet {

class ICircuitIo {
public:
    virtual ~ICircuitIo() = default;
    // Mode of SetOutDigi: 0 switch off, 1 switch on, 2 toggle. Mode of the
    // reads: 0 the circuit's input, 1 its output.
    virtual bool SetOutDigi(const QString& Host, std::uint16_t Port, const QString& Pass, const QString& Circ,
                            std::uint8_t Mode) = 0;
    virtual bool SetOutAnal(const QString& Host, std::uint16_t Port, const QString& Pass, const QString& Circ,
                            float Value) = 0;
    virtual bool GetInpDigi(const QString& Host, std::uint16_t Port, const QString& Pass, const QString& Circ,
                            std::uint8_t Mode, bool& State) = 0;
    virtual bool GetInpAnal(const QString& Host, std::uint16_t Port, const QString& Pass, const QString& Circ,
                            std::uint8_t Mode, float& State) = 0;
    virtual QString GetLastError() const = 0;
};

} // namespace quelnet
