#pragma once
// TfmCommon: the device link. One TCP client for the control protocol and one
// HTTP client for the oldest controllers. Every operation blocks the calling
// thread within its time-outs and reports failure by its result (never by an
// exception).

#include <QObject>
#include <QString>

namespace quelnet {

class TfmCommon : public QObject {
    Q_OBJECT
public:
    explicit TfmCommon(QObject* parent = nullptr);
    ~TfmCommon() override;

    QString GetLastError() const { return LastError; }
    void EndComm();

private:
    QString LastError;
};

} // namespace quelnet
