#pragma once
// A simulated controller serving on its own thread, for tests and tools that call
// the blocking device link from the thread that would otherwise run the server.
// All accessors are thread-safe.

#include "sim/SimConfig.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <memory>

namespace quelnet::sim {

class SimThread {
public:
    explicit SimThread(const SimConfig& config = {});
    ~SimThread(); // stops the server, saves the DataFlash file if one is set
    SimThread(const SimThread&) = delete;
    SimThread& operator=(const SimThread&) = delete;

    // Starts the thread and returns once the server listens (false when it cannot,
    // see ErrorText). Binds to config.bindAddress, 127.0.0.1 by default.
    bool Start();
    QString ErrorText() const;

    quint16 TcpPort() const; // 0 for the old generation (no control protocol)
    quint16 HttpPort() const;

    QList<QByteArray> Requests() const; // raw request frames in order, every connection
    void ClearRequests();
    int RequestCount() const;               // requests since start (the numbering of dropReplyTo)
    QList<QByteArray> HttpRequests() const; // raw HTTP requests (head and body) in order

    void SetFaults(const Faults& faults);

    bool Digital(const QString& name) const; // false for an unknown circuit
    void SetDigital(const QString& name, bool on);
    float Analog(const QString& name) const; // 0 for an unknown circuit
    void SetAnalog(const QString& name, float value);

    QByteArray Flash() const;               // the whole 512 KiB
    void SetFlash(const QByteArray& image); // shorter images fill from address 0

    int Connections() const;     // TCP connections accepted since start
    int OpenConnections() const; // TCP connections open now
    bool Listening() const;      // false while restarting after 0xAD/0xAB
    int Restarts() const;        // restarts begun since start (0xAB, 0xAD)
    SimEvents Events() const;    // what the limits did since start

    // The settings as they are now: an installed update changes the version,
    // the generation and, after a configuration reset, the password.
    SimConfig Settings() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

} // namespace quelnet::sim
