// identify, get, set and watch as a user runs them: the real program against
// simulated controllers on 127.0.0.1, single and in batches, with the
// failures a user meets (no controller, wrong password, a reply that never
// comes).
#include "tests/cli/CliProcess.h"
#include "tests/core/link/ScriptedPeer.h"

#include <QDir>

using namespace quelnet;
using namespace quelnet::test;

namespace {

QStringList Lines(const QString& text) {
    return text.split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

// --- identify

TEST_F(CliTest, IdentifyPrintsEveryFieldOfA4xController) {
    const sim::SimThread& s = Sim();
    const CtlRun r = Ctl({"identify", Host(s)});
    ASSERT_EQ(r.exit, 0) << r.Dump();
    EXPECT_EQ(Lines(r.out), (QStringList{U("Wykryto QuelNet-a"), "Wersja :V4.0.1", U("Sprzęt :A"),
                                         "Wykonanie :20140612", "Numer :S0817092", U("Język :PL"),
                                         U("Zwora programowania :założona"), "Generacja :nowa (4.x)"}));
}

TEST_F(CliTest, IdentifyTriesTheGenerationsFromTheNewest) {
    const struct {
        sim::Generation generation;
        bool jumper;
        const char* json;
    } cases[] = {
        {sim::Generation::New, false,
         R"({"generation":"new","version":"V4.0.1","board":"A","jumper":false,"build":"20140612",)"
         R"("serial":"S0817092","language":"PL","passwordAccepted":true})"},
        {sim::Generation::Mid, true,
         R"({"generation":"mid","version":"V2.1.4","board":"A","jumper":true,"build":"20140612",)"
         R"("serial":"S0817092","language":"PL","passwordAccepted":true})"},
        {sim::Generation::Old, false,
         R"({"generation":"old","version":"V1.3","serial":"S0817092","language":"PL","passwordAccepted":true})"},
    };
    for (const auto& c : cases) {
        sim::SimConfig config;
        config.generation = c.generation;
        config.jumper = c.jumper;
        const sim::SimThread& s = Sim(config);
        const QString host = c.generation == sim::Generation::Old ? Down() : Host(s);
        const CtlRun r = Ctl({"identify", host, "--json", "--http-port", QString::number(s.HttpPort()),
                              "--config-password", "3958"});
        ASSERT_EQ(r.exit, 0) << r.Dump();
        QJsonObject expected = QJsonDocument::fromJson(c.json).object();
        QJsonObject got = r.Json();
        EXPECT_EQ(got.take("status"), "ok");
        EXPECT_EQ(got.take("host"), "127.0.0.1");
        got.remove("port");
        EXPECT_EQ(got, expected) << r.Dump();
    }
}

// The status page's HTTP client is a module loaded on demand: found in the
// installed layout (<bin>/../lib/<arch>/quelnet), and when it is missing the
// oldest controllers are not identified but nothing else breaks.
TEST_F(CliTest, TheOldestAreIdentifiedThroughTheModuleWhereverItIsInstalled) {
    sim::SimConfig config;
    config.generation = sim::Generation::Old;
    const sim::SimThread& old = Sim(config);
    const sim::SimThread& newer = Sim();
    const QString bin = File("usr/bin"), modules = QDir(bin).filePath(QUELNET_MODULE_FOLDER_FROM_PROGRAM);
    ASSERT_TRUE(QDir().mkpath(bin) && QDir().mkpath(modules));
    const QString program = QDir(bin).filePath("quelnetctl");
    const QString module = QDir::cleanPath(QDir(modules).filePath("libquelnet-http.so"));
    ASSERT_TRUE(QFile::copy(QUELNETCTL_EXE, program) && QFile::copy(QUELNET_HTTP_MODULE, module));
    const QStringList identifyOld = {
        "identify",          Down(), "--json", "--http-port", QString::number(old.HttpPort()),
        "--config-password", "3958"};

    const CtlRun installed = RunCtlProcess(program, identifyOld, {});
    EXPECT_EQ(installed.exit, 0) << installed.Dump();
    EXPECT_EQ(installed.Json()["generation"], "old") << installed.Dump();

    ASSERT_TRUE(QFile::remove(module));
    const CtlRun missing = RunCtlProcess(program, identifyOld, {});
    EXPECT_EQ(missing.exit, 1) << missing.Dump();
    EXPECT_TRUE(missing.err.contains(U("Nie można załadować modułu HTTP"))) << missing.Dump();
    EXPECT_TRUE(missing.err.contains(module)) << "names where it looked: " << missing.Dump();
    const CtlRun unaffected = RunCtlProcess(program, {"identify", Host(newer), "--json"}, {});
    EXPECT_EQ(unaffected.exit, 0) << unaffected.Dump();
    EXPECT_FALSE(unaffected.err.contains(U("modułu HTTP"))) << "loaded only for a status page";
}

TEST_F(CliTest, IdentifyFailsWithoutAControllerAndOnAWrongPassword) {
    const CtlRun none = Ctl({"identify", Down(), "--http-port", QString::number(ClosedPort())});
    EXPECT_EQ(none.exit, 1) << none.Dump();
    EXPECT_TRUE(none.err.contains(U("Nie można wykryć QuelNet-a."))) << none.Dump();

    const sim::SimThread& s = Sim();
    const CtlRun wrong = Ctl({"identify", Host(s), "--password", "wrongpass", "--json"});
    EXPECT_EQ(wrong.exit, 1) << wrong.Dump();
    EXPECT_EQ(wrong.Json()["generation"], "new");
    EXPECT_EQ(wrong.Json()["passwordAccepted"], false);
    EXPECT_EQ(wrong.Json()["error"],
              U("QuelNet wersji 4.x.x odpowiada, ale nie na ramkę z hasłem (niewłaściwe hasło?)."));
    EXPECT_FALSE(wrong.out.contains("wrongpass") || wrong.err.contains("wrongpass")); // never echoed

    // The reply to the long identify frame never comes: the same answer.
    sim::SimConfig dropping;
    dropping.faults.dropReplyTo = {1};
    const CtlRun dropped = Ctl({"identify", Host(Sim(dropping)), "--json"});
    EXPECT_EQ(dropped.exit, 1) << dropped.Dump();
    EXPECT_EQ(dropped.Json()["error"], wrong.Json()["error"]);
}

// A web server that answers anything with "400 Bad Request" is no controller:
// not identified (alone, in JSON, in a batch), and no circuit read from it.
TEST_F(CliTest, AServiceThatIsNotAControllerIsNotIdentified) {
    ScriptedPeer web(ScriptedPeer::Mode::Frames, [](const QByteArray&, int) {
        return PeerAnswer{"HTTP/1.0 400 Bad Request\r\nContent-Type: text/html\r\nContent-Length: 45\r\n"
                          "Connection: close\r\n\r\n<html><body>400 Bad Request</body></html>\r\n"};
    });
    const QString host = "127.0.0.1:" + QString::number(web.Port());
    const QString noHttp = QString::number(ClosedPort());
    const CtlRun r = Ctl({"identify", host, "--http-port", noHttp});
    EXPECT_EQ(r.exit, 1) << r.Dump();
    EXPECT_TRUE(r.err.contains(U("Nie można wykryć QuelNet-a."))) << r.Dump();
    EXPECT_FALSE(r.out.contains("HTTP")) << r.Dump();

    const CtlRun json = Ctl({"identify", host, "--http-port", noHttp, "--json"});
    EXPECT_EQ(json.exit, 1) << json.Dump();
    EXPECT_NE(json.Json()["status"], "ok") << json.Dump();
    EXPECT_FALSE(json.Json().contains("serial")) << json.Dump();

    const CtlRun batch =
        Ctl({"identify", "--hosts", HostsFile({Host(Sim()), host}), "--http-port", noHttp, "--json"});
    EXPECT_EQ(batch.exit, 1) << batch.Dump();
    EXPECT_EQ(batch.Json()["succeeded"], 1) << batch.Dump();

    const CtlRun get = Ctl({"get", host, "IN1", "--timeout", "500"});
    EXPECT_EQ(get.exit, 1) << get.Dump();
    EXPECT_TRUE(get.out.isEmpty()) << get.Dump();
}

TEST_F(CliTest, PasswordComesFromTheEnvironmentOrAFile) {
    sim::SimConfig config;
    config.password = "pw-7";
    const sim::SimThread& s = Sim(config);
    EXPECT_EQ(Ctl({"identify", Host(s)}).exit, 1); // the factory password is refused
    EXPECT_EQ(Ctl({"identify", Host(s)}, {{"QUELNET_PASSWORD", "pw-7"}}).exit, 0);
    WriteAll(File("pw"), "pw-7\n");
    EXPECT_EQ(Ctl({"identify", Host(s), "--password-file", File("pw")}, {{"QUELNET_PASSWORD", "x"}}).exit, 0);
}

TEST_F(CliTest, IdentifyBatchReportsEachControllerAndFailsWhenOneIsDown) {
    sim::SimConfig other;
    other.serial = "S0000002";
    const QString hosts = HostsFile({Host(Sim()), Down(), Host(Sim(other))});
    const CtlRun r = Ctl({"identify", "--hosts", hosts, "--jobs", "2"});
    EXPECT_EQ(r.exit, 1) << r.Dump();
    const QStringList lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4) << r.Dump();
    EXPECT_TRUE(lines[0].contains("  OK  V4.0.1 A 20140612 S0817092 PL, nowa (4.x)")) << r.Dump();
    EXPECT_TRUE(lines[1].contains(U("  BŁĄD  Nie można wykryć QuelNet-a."))) << r.Dump();
    EXPECT_TRUE(lines[2].contains("S0000002")) << r.Dump();
    EXPECT_EQ(lines[3], U("Powiodło się 2 z 3."));

    const CtlRun json = Ctl({"identify", "--hosts", hosts, "--json"});
    EXPECT_EQ(json.exit, 1);
    const QJsonArray results = json.Json()["results"].toArray();
    ASSERT_EQ(results.size(), 3);
    EXPECT_EQ(results[0].toObject()["status"], "ok");
    EXPECT_EQ(results[1].toObject()["status"], "failed");
    EXPECT_EQ(results[2].toObject()["serial"], "S0000002");
    EXPECT_EQ(json.Json()["succeeded"], 2);
}

// --- get

TEST_F(CliTest, GetReadsDigitalAndAnalogCircuitsByNameOnOneLink) {
    sim::SimThread& s = Sim();
    s.SetDigital("IN2", true);
    s.SetAnalog("AN1", 12.5f);
    const CtlRun r = Ctl({"get", Host(s), "IN2", "AN1", "OUT1"});
    ASSERT_EQ(r.exit, 0) << r.Dump();
    EXPECT_EQ(Lines(r.out), (QStringList{U("IN2: włączony"), "AN1: 12.5", U("OUT1: wyłączony")}));
    EXPECT_EQ(s.Connections(), 1);
    // AN1 is asked as a digital circuit first: 0x12 answered "no such circuit", then 0x1A.
    EXPECT_EQ(LongCommands(s), (QList<int>{0x12, 0x12, 0x1A, 0x12}));

    s.ClearRequests();
    const CtlRun json = Ctl({"get", Host(s), "AN1", "--point", "out", "--json"});
    ASSERT_EQ(json.exit, 0) << json.Dump();
    EXPECT_EQ(LongCommands(s), (QList<int>{0x13, 0x1B}));
    const QJsonObject an1 = json.Json()["circuits"].toArray()[0].toObject();
    EXPECT_EQ(an1["kind"], "analog");
    EXPECT_EQ(an1["value"].toDouble(), 12.5);
}

TEST_F(CliTest, GetFailuresNameTheController) {
    sim::SimConfig dropping;
    dropping.faults.dropReplyTo = {1};
    const sim::SimThread& s = Sim();
    const sim::SimThread& d = Sim(dropping);
    const QString down = Down();
    const struct {
        QStringList args;
        QString error;
    } cases[] = {
        {{"get", Host(s), "NOPE"},
         U("Brak wskazanego obwodu cyfrowego ani analogowego „NOPE” w QuelNet-ie. (") + Host(s) + " )."},
        {{"get", down, "IN1"}, U("Nie można nawiązać połączenia ze QuelNet-em (") + down + " )."},
        {{"get", Host(s), "IN1", "--password", "wrong"},
         U("Brak potwierdzenia ze strony QuelNet-a (") + Host(s) + " )."},
    };
    for (const auto& c : cases) {
        const CtlRun r = Ctl(c.args);
        EXPECT_EQ(r.exit, 1) << r.Dump();
        EXPECT_EQ(Lines(r.err).value(0), c.error) << r.Dump();
    }
    // A reply that never comes fails its circuit; the link is reopened for the next.
    const CtlRun dropped = Ctl({"get", Host(d), "IN1", "IN2", "--timeout", "300"});
    EXPECT_EQ(dropped.exit, 1) << dropped.Dump();
    EXPECT_EQ(Lines(dropped.err),
              QStringList{U("Brak potwierdzenia ze strony QuelNet-a (") + Host(d) + " )."});
    EXPECT_EQ(Lines(dropped.out), QStringList{U("IN2: wyłączony")});
}

TEST_F(CliTest, GetBatchReadsEveryControllerInParallel) {
    sim::SimThread& a = Sim();
    sim::SimThread& b = Sim();
    a.SetDigital("IN1", true);
    const CtlRun r = Ctl({"get", "--hosts", HostsFile({Host(a), Host(b), Down()}), "IN1", "--jobs", "3"});
    EXPECT_EQ(r.exit, 1) << r.Dump();
    const QStringList lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 4) << r.Dump();
    EXPECT_EQ(lines[0], Host(a) + U("  OK  IN1=włączony"));
    EXPECT_EQ(lines[1], Host(b) + U("  OK  IN1=wyłączony"));
    EXPECT_TRUE(lines[2].contains(U("  BŁĄD  Nie można nawiązać połączenia"))) << r.Dump();
    EXPECT_EQ(lines[3], U("Powiodło się 2 z 3."));
}

// --- set

TEST_F(CliTest, SetSwitchesDigitalOutputsAndSetsAnalogOnes) {
    sim::SimThread& s = Sim();
    const struct {
        const char* circuit;
        const char* value;
        bool on;
    } digital[] = {
        {"OUT1", "on", true}, {"OUT1", "toggle", false}, {"OUT1", "toggle", true}, {"OUT1", "off", false}};
    for (const auto& c : digital) {
        const CtlRun r = Ctl({"set", Host(s), c.circuit, c.value});
        ASSERT_EQ(r.exit, 0) << r.Dump();
        EXPECT_EQ(s.Digital(c.circuit), c.on) << c.value;
    }
    const CtlRun analog = Ctl({"set", Host(s), "AOUT1", "-1,5"});
    ASSERT_EQ(analog.exit, 0) << analog.Dump();
    EXPECT_EQ(Lines(analog.out), QStringList{"AOUT1: ustawiono -1.5."});
    EXPECT_EQ(s.Analog("AOUT1"), -1.5f);
}

TEST_F(CliTest, SetRefusesInputsAndWrongValues) {
    const sim::SimThread& s = Sim();
    const CtlRun input = Ctl({"set", Host(s), "IN1", "on", "--json"});
    EXPECT_EQ(input.exit, 1);
    EXPECT_EQ(input.Json()["error"],
              U("Brak wskazanego obwodu cyfrowego „IN1” w QuelNet-ie. (") + Host(s) + " ).");
    const CtlRun down = Ctl({"set", Down(), "OUT1", "on"});
    EXPECT_EQ(down.exit, 1);
    EXPECT_TRUE(down.err.startsWith(U("Nie można nawiązać połączenia ze QuelNet-em"))) << down.Dump();
    EXPECT_EQ(Ctl({"set", Host(s), "OUT1", "maybe"}).exit, 2);
    EXPECT_EQ(Ctl({"set", Host(s), "OUT1"}).exit, 2);
    EXPECT_EQ(s.RequestCount(), 1); // the usage errors sent nothing
}

// --- watch

TEST_F(CliTest, WatchMarksAValueStaleWhenItsReadFailsAndGoesOn) {
    sim::SimConfig config;
    // Requests: round 1 IN1, AN1 as digital, AN1 as analog; round 2 IN1 (dropped), AN1; round 3 ...
    config.faults.dropReplyTo = {4};
    sim::SimThread& s = Sim(config);
    s.SetAnalog("AN1", 3.25f);
    const CtlRun r = Ctl(
        {"watch", Host(s), "IN1", "AN1", "--count", "3", "--interval", "10", "--json", "--timeout", "300"});
    EXPECT_EQ(r.exit, 0) << r.Dump();
    const QList<QJsonObject> rounds = r.JsonLines();
    ASSERT_EQ(rounds.size(), 3) << r.Dump();
    const auto circuit = [&](int round, int i) { return rounds[round]["circuits"].toArray()[i].toObject(); };
    EXPECT_EQ(circuit(0, 0)["stale"], false);
    EXPECT_EQ(circuit(0, 1)["value"].toDouble(), 3.25);
    EXPECT_EQ(circuit(1, 0)["stale"], true);
    EXPECT_EQ(circuit(1, 0)["value"], false); // the last value read stays, with its age
    EXPECT_GE(circuit(1, 0)["ageMs"].toInt(), 300);
    EXPECT_TRUE(circuit(1, 0)["error"].toString().startsWith(U("Brak potwierdzenia ze strony QuelNet-a")));
    EXPECT_EQ(circuit(1, 1)["stale"], false);
    EXPECT_EQ(circuit(2, 0)["stale"], false);
    EXPECT_EQ(rounds[2]["round"], 3);
}

TEST_F(CliTest, WatchWithoutAControllerKeepsTryingAndEndsInFailure) {
    const CtlRun r = Ctl({"watch", Down(), "IN1", "--count", "2", "--interval", "10"});
    EXPECT_EQ(r.exit, 1) << r.Dump();
    EXPECT_EQ(r.out.count(U("Obwód")), 2) << r.Dump(); // one table per round
    EXPECT_EQ(r.out.count("NIEAKTUALNA"), 2);
    EXPECT_EQ(r.err.count(U("Nie można nawiązać połączenia")), 1); // the reason once, not every round
}
