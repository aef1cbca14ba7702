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
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

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

// Runs a program with standard input a pipe (never a terminal: questions are
// refused unless --yes). `prepare`, when given, runs in the child before exec.
inline CtlRun RunCtlProcess(const QString& program, const QStringList& args,
                            const QMap<QString, QString>& env, const std::function<void()>& prepare = {}) {
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.remove(QStringLiteral("QUELNET_PASSWORD"));
    for (auto it = env.cbegin(); it != env.cend(); ++it)
        e.insert(it.key(), it.value());
    p.setProcessEnvironment(e);
    if (prepare)
        p.setChildProcessModifier(prepare);
    p.start(program, args);
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

inline CtlRun Ctl(const QStringList& args, const QMap<QString, QString>& env = {}) {
    return RunCtlProcess(QStringLiteral(QUELNETCTL_EXE), args, env);
}

// The user the permission tests run as: root passes every permission test, so
// when the tests run as root the program runs as the unprivileged uid 65534
// (setpriv); otherwise as the current user.
inline constexpr uid_t UnprivilegedUid = 65534;
inline uid_t TestUser() {
    return geteuid() == 0 ? UnprivilegedUid : geteuid();
}

// `program` with `args` as TestUser(). A file size limit (bytes, -1: none)
// makes every write beyond it fail, as on a full disk (SIGXFSZ ignored).
inline CtlRun RunAsTestUser(const QString& program, const QStringList& args, qint64 fileSizeLimit = -1) {
    QStringList line = QStringList{program} + args;
    QString runner = line.takeFirst();
    if (geteuid() == 0) {
        line = QStringList{"--reuid=" + QString::number(UnprivilegedUid),
                           "--regid=" + QString::number(UnprivilegedUid), "--clear-groups", runner} +
               line;
        runner = QStringLiteral("setpriv");
    }
    std::function<void()> prepare;
    if (fileSizeLimit >= 0)
        prepare = [fileSizeLimit] {
            std::signal(SIGXFSZ, SIG_IGN); // kept across exec
            rlimit limit{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
            setrlimit(RLIMIT_FSIZE, &limit);
        };
    return RunCtlProcess(runner, line, {}, prepare);
}

inline CtlRun CtlAsTestUser(const QStringList& args, qint64 fileSizeLimit = -1) {
    return RunAsTestUser(QStringLiteral(QUELNETCTL_EXE), args, fileSizeLimit);
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
