#pragma once
// A simulated controller on its own thread and the device link talking to it
// over 127.0.0.1.

#include "core/link/DeviceLink.h"
#include "core/protocol/Checksums.h"
#include "sim/SimThread.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QThread>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace quelnet::test {

inline const QString Loopback = "127.0.0.1";
inline const QString SimPassword = "3958";

class SimLinkTest : public ::testing::Test {
protected:
    SimLinkTest() {
        TfmCommon::Timeouts t;
        t.RetryPause = 1;
        common.SetTimeouts(t);
    }

    void StartSim(const sim::SimConfig& config = {}) {
        sim = std::make_unique<sim::SimThread>(config);
        ASSERT_TRUE(sim->Start()) << sim->ErrorText().toStdString();
        port = sim->TcpPort();
    }
    QString PortText() const { return QString::number(port); }
    QString Suffix(const QString& host, quint16 p) const {
        return " (" + host + ":" + QString::number(p) + " ).";
    }

    // Shortens the link time-out for tests that wait for a reply that never comes.
    void ShortenLinkTimeout(int ms = 1000) {
        TfmCommon::Timeouts t = common.GetTimeouts();
        t.Link = ms;
        common.SetTimeouts(t);
    }

    // Command bytes (12 on) of every request the simulator received.
    QList<int> Commands() const {
        QList<int> c;
        for (const QByteArray& r : sim->Requests())
            c.append(r.size() > 12 && uchar(r[1]) == 0x80 ? uchar(r[12]) : -1);
        return c;
    }

    TfmCommon common;
    std::unique_ptr<sim::SimThread> sim;
    quint16 port = 0;
};

// The simulator works on its own thread: what it sees of the link's last step
// (a frame sent without a reply, a close) arrives a moment later. Polls until
// the condition holds, at most a generous 10 s.
inline bool WaitUntil(const std::function<bool()>& condition) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > 10000)
            return false;
        QThread::msleep(2);
    }
    return true;
}

// A port on 127.0.0.1 where nothing listens.
inline quint16 ClosedPort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    const quint16 p = s.serverPort();
    s.close();
    return p;
}

// Request header bytes 0-11 of a long frame, computed here from the digest
// definition rather than by the code under test.
inline QByteArray LongHeaderStart(const QString& pass) {
    QByteArray block = pass.toLatin1().left(16);
    block.append(16 - block.size(), '\0');
    const quint32 d = WordCrc(block.constData(), 16);
    QByteArray h = QByteArray::fromHex("D5800D");
    h.append(char(d >> 24)).append(char(d >> 16)).append(char(d >> 8)).append(char(d));
    return h + QByteArray::fromHex("F0FFFFFFFF");
}

} // namespace quelnet::test
