#pragma once
// The pieces of a bridge test, all on 127.0.0.1: a broker, simulated
// controllers on their own threads, and the bridge as a process.

#include "sim/SimThread.h"
#include "tests/bridge/BridgeProcesses.h"
#include "tests/bridge/MqttProbe.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace quelnet::test {

// One simulated controller (the default circuits: IN1-4, OUT1-4, AN1, AN2, AOUT1).
inline std::unique_ptr<sim::SimThread> StartSim(quint16 port = 0, const QString& serial = QStringLiteral("S0817092")) {
    sim::SimConfig config;
    config.tcpPort = port;
    config.serial = serial;
    auto s = std::make_unique<sim::SimThread>(config);
    if (!s->Start())
        return nullptr;
    return s;
}

class BridgeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }
    QString Path(const QString& name) const { return dir.filePath(name); }

    // A configuration for the broker's first port and the given controllers
    // ("[controller NAME]" sections); the state file lives in the test folder.
    QString WriteConfig(const QString& controllers, const QString& broker = {}, const QString& bridge = {},
                        const QString& name = QStringLiteral("bridge.conf")) {
        const QString text = QStringLiteral("[broker]\nhost = 127.0.0.1\nport = %1\nclient_id = test-bridge\n%2\n"
                                            "[bridge]\nprefix = quelnet\nstate_file = %3\nlink_timeout_ms = 1000\n"
                                            "retry_max_ms = 400\n%4\n%5")
                                 .arg(broker.contains(QStringLiteral("port =")) ? 0 : this->broker.Port())
                                 .arg(broker, Path(QStringLiteral("entities")), bridge, controllers);
        QString fixed = text;
        if (broker.contains(QStringLiteral("port =")))
            fixed.replace(QStringLiteral("port = 0\n"), QString());
        WriteText(Path(name), fixed);
        return Path(name);
    }
    static QString Controller(const QString& name, quint16 port, const QString& circuits) {
        return QStringLiteral("[controller %1]\naddress = 127.0.0.1\nport = %2\npassword = 3958\n%3\n")
            .arg(name)
            .arg(port)
            .arg(circuits);
    }

    QTemporaryDir dir;
    Broker broker{dir.path()};
};

} // namespace quelnet::test
