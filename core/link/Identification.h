#pragma once
// Identification of a controller's generation, each on its own connection
// with the identification time-out. False with empty out-parameters when the
// controller does not answer as that generation does.
//  - new (4.x): long frame with the password, on the TCP port;
//  - mid: short frame without password, on the TCP port;
//  - old: form post to the status page, on the HTTP port.

#include <QChar>
#include <QString>

namespace quelnet {

class IIdentification {
public:
    virtual ~IIdentification() = default;
    virtual bool CheckNewQuelnet(const QString& Host, const QString& PortTcp, const QString& Pass,
                                 QString& Ver, QChar& Boa, bool& Con, QString& Rea, QString& Ser,
                                 QString& Lng) = 0;
    virtual bool CheckMidQuelnet(const QString& Host, const QString& PortTcp, QString& Ver, QChar& Boa,
                                 bool& Con, QString& Rea, QString& Ser, QString& Lng) = 0;
    virtual bool CheckOldQuelnet(const QString& Host, const QString& PortHttp, const QString& Pass,
                                 QString& Ver, QString& Ser, QString& Lng) = 0;
};

} // namespace quelnet
