#pragma once
// Runs the built quelnetctl as a subprocess against simulated controllers on
// 127.0.0.1, and reads back what it printed.

#include "sim/SimThread.h"
#include "tests/core/link/SimFixture.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace quelnet::test {

struct CtlRun {
    int exit = -1;
    QString out, err;

    QJsonObject Json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
    // One JSON document a line (watch --json).
    QList<QJsonObject> JsonLines() const {
        QList<QJsonObject> list;
        for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts))
            list << QJsonDocument::fromJson(line.toUtf8()).object();
        return list;
    }
    std::string Dump() const {
        return ("exit " + QString::number(exit) + "\nout:\n" + out + "err:\n" + err).toStdString();
    }
};

// Standard input is a pipe, never a terminal: questions are refused unless --yes.
inline CtlRun Ctl(const QStringList& args, const QMap<QString, QString>& env = {}) {
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.remove(QStringLiteral("QUELNET_PASSWORD"));
    for (auto it = env.cbegin(); it != env.cend(); ++it)
        e.insert(it.key(), it.value());
    p.setProcessEnvironment(e);
    p.start(QStringLiteral(QUELNETCTL_EXE), args);
    CtlRun r;
    if (!p.waitForStarted(30000))
        return r;
    p.closeWriteChannel();
    if (!p.waitForFinished(180000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

inline QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

inline QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Command bytes of the long frames a controller received, in order.
inline QList<int> LongCommands(const sim::SimThread& s) {
    QList<int> c;
    for (const QByteArray& r : s.Requests())
        if (r.size() > 12 && uchar(r[1]) == 0x80)
            c.append(uchar(r[12]));
    return c;
}

class CliTest : public ::testing::Test {
protected:
    sim::SimThread& Sim(sim::SimConfig config = {}) {
        config.restartDelayMs = 50;
        sims.push_back(std::make_unique<sim::SimThread>(config));
        EXPECT_TRUE(sims.back()->Start()) << sims.back()->ErrorText().toStdString();
        return *sims.back();
    }
    static QString Host(const sim::SimThread& s) { return "127.0.0.1:" + QString::number(s.TcpPort()); }
    static QString Down() { return "127.0.0.1:" + QString::number(ClosedPort()); }
    QString File(const QString& name) const { return dir.filePath(name); }
    QString HostsFile(const QStringList& hosts) {
        const QString path = File("hosts.txt");
        WriteAll(path, ("# three controllers\n" + hosts.join('\n') + '\n').toUtf8());
        return path;
    }

    std::vector<std::unique_ptr<sim::SimThread>> sims;
    QTemporaryDir dir;
};

} // namespace quelnet::test
