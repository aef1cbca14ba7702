// The tool as a whole: help for itself and every command, usage errors with
// exit status 2 before anything is sent, and the panel check through the
// program, offline and against simulated controllers.
#include "tests/cli/CliProcess.h"

#include <csignal>

using namespace quelnet;
using namespace quelnet::test;

namespace {

const QStringList Commands = {"identify", "get", "set", "watch", "backup", "restore", "panel check"};

// A panel file with the given element blocks after the window's block.
QByteArray Panel(const QStringList& blocks) {
    return ("{\r\nx_tp=scr\r\nx_px=0\r\nx_py=0\r\nx_pw=700\r\nx_ph=400\r\ns_ws=0\r\n}\r\n" + blocks.join(""))
        .toUtf8();
}

QString Lamp(const QString& host, int y, const QString& circuit, const QString& picture) {
    return QString("{\r\nx_tp=idg\r\nx_px=10\r\nx_py=%1\r\nx_pw=20\r\nx_ph=20\r\niden=yes\r\nidho=%2\r\nidpr="
                   "%3\r\n"
                   "idps=3958\r\nidic=%4\r\nidim=0\r\nidil=%5\r\nidih=%5\r\nidfr=200\r\n}\r\n")
        .arg(y)
        .arg(host.section(':', 0, 0), host.section(':', 1, 1), circuit, picture);
}

QString Dial(const QString& host, const QString& circuit, const QString& picture) {
    QString levels;
    for (int i = 1; i <= 8; ++i)
        levels += QString("ial%1=%2\r\niai%1=%3\r\n").arg(i).arg(i * 10).arg(picture);
    return QString("{\r\nx_tp=ian\r\nx_px=100\r\nx_py=10\r\nx_pw=40\r\nx_ph=40\r\niaen=yes\r\niaho=%"
                   "1\r\niapr=%2\r\n"
                   "iaps=3958\r\niaic=%3\r\niaim=0\r\niaid=%4\r\n%5iafr=500\r\n}\r\n")
        .arg(host.section(':', 0, 0), host.section(':', 1, 1), circuit, picture, levels);
}

} // namespace

TEST(CliHelp, TheToolAndEveryCommandHaveHelp) {
    const CtlRun tool = Ctl({"--help"});
    ASSERT_EQ(tool.exit, 0) << tool.Dump();
    EXPECT_TRUE(tool.out.startsWith(U("quelnetctl – obsługa QuelNet-ów z wiersza poleceń.")));
    for (const QString& command : Commands) {
        EXPECT_TRUE(tool.out.contains("\n  " + command + " ")) << command.toStdString();
        const CtlRun help = Ctl(command.split(' ') + QStringList{"--help"});
        EXPECT_EQ(help.exit, 0) << help.Dump();
        EXPECT_TRUE(help.out.startsWith(U("Użycie: quelnetctl ") + command + " ")) << help.Dump();
        EXPECT_TRUE(help.out.contains("--json")) << help.Dump();
    }
    EXPECT_TRUE(Ctl({"identify", "-h"}).out.contains("--hosts FILE"));
    EXPECT_FALSE(Ctl({"restore", "-h"}).out.contains("--hosts"));
}

// Every help line fits 80 columns; the placeholders are in one language; each
// command lists only the options it takes; "panel --help" is the help of
// "panel check".
TEST(CliHelp, HelpFitsEightyColumnsAndListsOnlyWhatACommandTakes) {
    QList<QStringList> lines{Ctl({"--help"}).out.split('\n')};
    for (const QString& command : Commands + QStringList{"resources", "update", "package"})
        lines << Ctl(command.split(' ') + QStringList{"--help"}).out.split('\n');
    for (const QStringList& help : lines)
        for (const QString& line : help) {
            EXPECT_LE(line.size(), 80) << line.toStdString();
            for (const char* polish : {"PLIK", "NAZWA", "KATALOG", "WERSJA", "POLECENIE", "ARGUMENTY", "OPCJE"})
                EXPECT_FALSE(line.contains(polish)) << line.toStdString();
        }
    const QString package = Ctl({"package", "--help"}).out;
    for (const char* notTaken : {"--password", "--timeout", "--yes", "--hosts", "--version"})
        EXPECT_FALSE(package.contains(notTaken)) << notTaken;
    EXPECT_EQ(Ctl({"package", "list", "--password", "x"}).exit, 2);
    EXPECT_FALSE(Ctl({"identify", "--help"}).out.contains("--yes"));
    EXPECT_TRUE(Ctl({"update", "--help"}).out.contains("--yes"));
    EXPECT_TRUE(Ctl({"backup", "--help"}).out.contains("{host}"));

    const CtlRun panel = Ctl({"panel", "--help"});
    EXPECT_EQ(panel.exit, 0) << panel.Dump();
    EXPECT_EQ(panel.out, Ctl({"panel", "check", "--help"}).out);
}

TEST(CliHelp, UsageErrorsEndWithStatus2) {
    const struct {
        QStringList args;
        const char* error;
    } cases[] = {
        {{}, "Brak polecenia."},
        {{"frobnicate"}, "Nieznane polecenie „frobnicate”."},
        {{"panel"}, "Niepełne polecenie „panel”: panel check."},
        {{"get"}, "Brak adresu QuelNet-a (HOST[:PORT]) albo opcji --hosts."},
        {{"get", "127.0.0.1:99999", "IN1"},
         "Niewłaściwy adres QuelNet-a „127.0.0.1:99999” (HOST[:PORT], port od 1 do 65535)."},
        {{"get", "127.0.0.1"}, "Brak nazwy obwodu."},
        {{"get", "127.0.0.1", "TOOLONGNAME"}, "Nazwa obwodu „TOOLONGNAME” ma więcej niż 8 znaków."},
        {{"get", "127.0.0.1", "IN1", "--interval", "5"}, "Opcja „--interval” nie dotyczy polecenia „get”."},
        {{"get", "127.0.0.1", "IN1", "--point", "middle"}, "Opcja --point przyjmuje in albo out."},
        {{"get", "--hosts", "/nonexistent/hosts", "IN1"},
         "Nie mogę odczytać listy QuelNet-ów „/nonexistent/hosts”."},
        {{"get", "127.0.0.1", "IN1", "--jobs", "0"}, "Opcja „--jobs” wymaga liczby od 1 do 64."},
        {{"set", "127.0.0.1", "OUT1", "on", "extra"}, "Nadmiarowy argument „extra”."},
        {{"watch", "127.0.0.1", "IN1", "--count", "x"}, "Opcja „--count” wymaga liczby od 1 do 1000000000."},
        {{"identify", "127.0.0.1", "--timeout", "0"}, "Opcja „--timeout” wymaga liczby od 1 do 600000."},
        {{"identify", "127.0.0.1", "--password", "a", "--password-file", "b"},
         "Hasło podaje się przez --password albo --password-file, nie oba."},
        {{"backup", "127.0.0.1"}, "Podaj --config, --texts albo oba."},
        {{"panel", "check", "a", "b"}, "Nadmiarowy argument „b”."},
    };
    for (const auto& c : cases) {
        const CtlRun r = Ctl(c.args);
        EXPECT_EQ(r.exit, 2) << r.Dump();
        EXPECT_TRUE(r.err.startsWith(U("quelnetctl: ") + U(c.error) + "\n")) << r.Dump();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST_F(CliTest, PanelCheckListsTheProblemsOfTheFile) {
    WriteAll(File("ok.png"), QByteArray::fromHex("89504E470D0A1A0A00"));
    WriteAll(File("panel.cnf"), Panel({Lamp("127.0.0.1:7080", 10, "IN1", File("ok.png")),
                                       Lamp("127.0.0.1:7080", 40, "IN2", File("gone.png"))}));
    const CtlRun r = Ctl({"panel", "check", File("panel.cnf")});
    EXPECT_EQ(r.exit, 1) << r.Dump();
    EXPECT_EQ(
        r.out.split('\n', Qt::SkipEmptyParts),
        (QStringList{
            U("wiersz 26: Wskaźnik cyfrowy (10, 40, 20×20): „Stan - obrazek 0 ( nieaktywny )”: plik „") +
                File("gone.png") + U("” nie istnieje"),
            U("wiersz 26: Wskaźnik cyfrowy (10, 40, 20×20): „Stan - obrazek 1 ( aktywny )”: plik „") +
                File("gone.png") + U("” nie istnieje"),
            U("Elementów: 2, problemów: 2.")}));

    WriteAll(File("clean.cnf"), Panel({Lamp("127.0.0.1:7080", 10, "IN1", File("ok.png"))}));
    const CtlRun clean = Ctl({"panel", "check", File("clean.cnf"), "--json"});
    EXPECT_EQ(clean.exit, 0) << clean.Dump();
    EXPECT_EQ(clean.Json()["elements"], 1);
    EXPECT_EQ(clean.Json()["problems"].toArray().size(), 0);

    const CtlRun none = Ctl({"panel", "check", File("none.cnf")});
    EXPECT_EQ(none.exit, 1);
    EXPECT_TRUE(none.err.contains(U("Nie mogę odczytać pliku panelu"))) << none.Dump();
}

// A file that holds no block of a panel is not taken for an empty panel.
TEST_F(CliTest, PanelCheckRefusesAFileThatIsNoPanel) {
    WriteAll(File("passwd"), "root:x:0:0:root:/root:/bin/bash\ndaemon:x:1:1::/usr/sbin:/bin/false\n");
    WriteAll(File("binary"), QByteArray("\x7F"
                                        "ELF\x02\x01\x01\0",
                                        8) +
                                 QByteArray(4000, '\x90'));
    for (const QString& path : {File("passwd"), File("binary")}) {
        const CtlRun r = Ctl({"panel", "check", path});
        EXPECT_EQ(r.exit, 1) << r.Dump();
        EXPECT_TRUE(r.err.contains(U("„") + path + U("” nie jest plikiem panelu"))) << r.Dump();
        EXPECT_TRUE(r.out.isEmpty()) << r.Dump();
    }
    WriteAll(File("empty.cnf"), ""); // an empty panel, as the window takes it
    const CtlRun empty = Ctl({"panel", "check", File("empty.cnf")});
    EXPECT_EQ(empty.exit, 0) << empty.Dump();
    EXPECT_EQ(empty.out, U("Elementów: 0, problemów: 0.\n"));
}

// The demonstration panel as tools/install-demo.sh installs it passes the
// check that README shows, offline and against a simulator (its controller
// address pointed at the simulator's port).
TEST_F(CliTest, TheDemonstrationPanelPassesItsOwnCheck) {
    QProcess install;
    install.start("bash", {QStringLiteral(QUELNET_SOURCE_DIR "/tools/install-demo.sh"), dir.path()});
    ASSERT_TRUE(install.waitForFinished(60000) && install.exitCode() == 0)
        << install.readAllStandardError().toStdString();
    const QString panel = File("quelnet_scr.cnf");
    const CtlRun offline = Ctl({"panel", "check", panel});
    EXPECT_EQ(offline.exit, 0) << offline.Dump();
    EXPECT_TRUE(offline.out.endsWith(U(", problemów: 0.\n"))) << offline.Dump();

    const sim::SimThread& s = Sim();
    QByteArray bytes = ReadAll(panel);
    bytes.replace("=7080\r\n", "=" + QByteArray::number(s.TcpPort()) + "\r\n");
    WriteAll(panel, bytes);
    const CtlRun online = Ctl({"panel", "check", panel, "--online"});
    EXPECT_EQ(online.exit, 0) << online.Dump();
}

TEST_F(CliTest, PanelCheckOnlineAsksEveryControllerOnceAndEveryCircuitOnce) {
    WriteAll(File("ok.png"), QByteArray::fromHex("89504E470D0A1A0A00"));
    sim::SimThread& s = Sim();
    const QString down = Down();
    WriteAll(File("panel.cnf"), Panel({Lamp(Host(s), 10, "IN1", File("ok.png")),  // type line 10
                                       Lamp(Host(s), 40, "IN1", File("ok.png")),  // 26: same circuit
                                       Lamp(Host(s), 70, "NOPE", File("ok.png")), // 42
                                       Dial(Host(s), "AN1", File("ok.png")),      // 58
                                       Lamp(down, 100, "IN1", File("ok.png"))})); // 89
    const CtlRun offline = Ctl({"panel", "check", File("panel.cnf")});
    EXPECT_EQ(offline.exit, 0) << offline.Dump();

    const CtlRun r = Ctl({"panel", "check", File("panel.cnf"), "--online", "--json"});
    EXPECT_EQ(r.exit, 1) << r.Dump();
    QStringList found;
    for (const QJsonValue& p : r.Json()["problems"].toArray())
        found << QString::number(p["line"].toInt()) + " " + p["code"].toString() + " " + p["text"].toString();
    EXPECT_EQ(
        found,
        (QStringList{
            U("42 circuit-missing Brak wskazanego obwodu cyfrowego „NOPE” w QuelNet-ie. (") + Host(s) + " ).",
            "89 controller-not-identified QuelNet " + down + U(" nie został rozpoznany jako wersja 4.x.x")}))
        << r.Dump();
    // One identification, then IN1, NOPE and AN1 once each.
    EXPECT_EQ(LongCommands(s), (QList<int>{0xAA, 0x12, 0x12, 0x1A}));
}

// Output that cannot be written is a failure: the result did not reach the user.
TEST_F(CliTest, AFailedWriteToStandardOutputExitsWith1) {
    const sim::SimThread& s = Sim();
    for (const QStringList& args :
         {QStringList{"--help"}, QStringList{"identify", Host(s)}, QStringList{"get", Host(s), "IN1"}}) {
        QProcess p;
        p.setStandardOutputFile("/dev/full");
        p.start(QStringLiteral(QUELNETCTL_EXE), args);
        ASSERT_TRUE(p.waitForFinished(30000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_EQ(p.exitCode(), 1) << args.join(' ').toStdString() << err.toStdString();
        EXPECT_TRUE(err.contains(U("Nie mogę pisać na standardowe wyjście"))) << err.toStdString();
    }
    // Only the failed write turns success into failure: a usage error stays 2.
    QProcess usage;
    usage.setStandardOutputFile("/dev/full");
    usage.start(QStringLiteral(QUELNETCTL_EXE), {"identify"});
    ASSERT_TRUE(usage.waitForFinished(30000));
    EXPECT_EQ(usage.exitCode(), 2);
}

// Ctrl+C (SIGINT): the links are shut down at once, the command returns and
// the tool exits with 130; the controller sees its link closed.
TEST_F(CliTest, CtrlCClosesTheLinkAndExitsWith130) {
    sim::SimConfig silent; // the first page read of a backup is never answered
    silent.faults.dropReplyTo = {3};
    const struct {
        const char* what;
        sim::SimThread& sim;
        QStringList args;
        int requests; // received before the signal is sent
    } cases[] = {
        {"watch", Sim(), {"watch", "", "IN1", "--interval", "100"}, 2},
        {"a reply awaited", Sim(silent), {"backup", "", "--config", File("c.QNC"), "--timeout", "60000"}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QStringList args = c.args;
        args[1] = Host(c.sim);
        QProcess p;
        p.start(QStringLiteral(QUELNETCTL_EXE), args);
        ASSERT_TRUE(p.waitForStarted(30000));
        ASSERT_TRUE(WaitUntil([&] { return c.sim.RequestCount() >= c.requests; }));
        ASSERT_EQ(::kill(pid_t(p.processId()), SIGINT), 0);
        ASSERT_TRUE(p.waitForFinished(30000));
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(p.exitCode(), 130) << err.toStdString();
        // Said by the tool once the command returned (not after the grace period).
        EXPECT_TRUE(err.contains(U("Przerwano; połączenia z QuelNet-ami zostały zamknięte.")))
            << err.toStdString();
        EXPECT_TRUE(WaitUntil([&] { return c.sim.OpenConnections() == 0; }));
    }
    EXPECT_FALSE(QFile::exists(File("c.QNC")));
}
