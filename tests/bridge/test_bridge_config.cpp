// The bridge's configuration file, the panel import and the command line's
// answers to a bad configuration.

#include "bridge/BridgeConfig.h"
#include "bridge/PanelImport.h"
#include "bridge/Topics.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace quelnet::bridge {
namespace {

const QString Head = QStringLiteral("[broker]\nhost = 127.0.0.1\n");
const QString Hall = QStringLiteral("[controller hall]\naddress = 127.0.0.1\ncircuit = IN1 digital input\n");

TEST(BridgeConfig, TheExampleReadsAsDocumented) {
    const ConfigResult r = ReadBridgeConfig(QStringLiteral(QUELNET_SOURCE_DIR "/bridge/bridge.conf.example"));
    ASSERT_TRUE(r.Ok()) << r.errors.value(0).Text().toStdString();
    ASSERT_EQ(r.config.controllers.size(), 1);
    const ControllerConfig& c = r.config.controllers[0];
    EXPECT_EQ(c.name, QStringLiteral("hall"));
    EXPECT_EQ(c.port, 7080);
    ASSERT_EQ(c.circuits.size(), 4);
    EXPECT_EQ(c.circuits[0].periodMs, 250u);
    EXPECT_FALSE(c.circuits[0].analog);
    EXPECT_FALSE(c.circuits[0].output);
    const CircuitConfig& aout = c.circuits[3];
    EXPECT_TRUE(aout.analog && aout.output);
    EXPECT_EQ(aout.min, 0);
    EXPECT_EQ(aout.max, 10);
    EXPECT_EQ(aout.step, 0.5);
    EXPECT_EQ(r.config.bridge.prefix, QStringLiteral("quelnet"));
    EXPECT_EQ(r.config.broker.port, 1883);

    // What is printed reads back the same.
    const ConfigResult again = ParseBridgeConfig(QStringLiteral("printed"), FormatBridgeConfig(r.config));
    ASSERT_TRUE(again.Ok());
    EXPECT_EQ(FormatBridgeConfig(again.config), FormatBridgeConfig(r.config));
}

struct BadCase {
    const char* name;
    const char* text; // after the [broker] head; %HALL% is a valid controller
    int line;
    const char* field;
};

void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

class BadConfig : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadConfig, NamesFileLineAndField) {
    QString text = Head + QString::fromUtf8(GetParam().text);
    text.replace(QStringLiteral("%HALL%"), Hall);
    const ConfigResult r = ParseBridgeConfig(QStringLiteral("/etc/quelnet/bridge.conf"), text);
    ASSERT_FALSE(r.Ok());
    const ConfigError& e = r.errors[0];
    EXPECT_EQ(e.line, GetParam().line) << e.Text().toStdString();
    EXPECT_EQ(e.field, QString::fromUtf8(GetParam().field)) << e.Text().toStdString();
    EXPECT_TRUE(e.Text().startsWith(QStringLiteral("/etc/quelnet/bridge.conf:%1: field '").arg(e.line)))
        << e.Text().toStdString();
}

const BadCase BadCases[] = {
    {"port_not_a_number", "port = 18x3\n%HALL%", 3, "port"},
    {"port_zero", "port = 0\n%HALL%", 3, "port"},
    {"unknown_key", "hots = a\n%HALL%", 3, "hots"},
    {"missing_equals", "host\n%HALL%", 3, "host"},
    {"unknown_section", "[brokers]\n%HALL%", 3, "[brokers]"},
    {"key_outside_section_after_bad", "[x\n%HALL%", 3, "[x"},
    {"password_file_missing", "password_file = /nonexistent/pass\n%HALL%", 3, "password_file"},
    {"prefix_with_wildcard", "[bridge]\nprefix = a/#\n%HALL%", 4, "prefix"},
    {"controller_without_address", "[controller x]\ncircuit = IN1 digital input\n", 3, "address"},
    {"controller_without_circuit", "[controller x]\naddress = 127.0.0.1\n", 3, "circuit"},
    {"controller_named_bridge", "[controller bridge]\naddress = h\ncircuit = IN1 digital input\n", 3, "controller"},
    {"controller_twice", "%HALL%[controller hall]\naddress = h\ncircuit = IN1 digital input\n", 6, "controller"},
    {"circuit_name_too_long", "%HALL%circuit = INPUT1234 digital input\n", 6, "circuit"},
    {"circuit_name_with_slash", "%HALL%circuit = IN/1 digital input\n", 6, "circuit"},
    {"circuit_twice", "%HALL%circuit = IN1 digital output\n", 6, "circuit"},
    {"circuit_kind", "%HALL%circuit = IN2 digitl input\n", 6, "circuit"},
    {"circuit_direction", "%HALL%circuit = IN2 digital in\n", 6, "circuit"},
    {"circuit_period", "%HALL%circuit = IN2 digital input 0\n", 6, "circuit period"},
    {"range_on_an_input", "%HALL%circuit = AN1 analog input 100 min=1\n", 6, "circuit"},
    {"range_upside_down", "%HALL%circuit = AO analog output 100 min=5 max=1\n", 6, "circuit"},
    {"range_not_a_number", "%HALL%circuit = AO analog output 100 max=ten\n", 6, "circuit max"},
    {"client_certificate_without_key", "cert_file = /etc/hostname\nca_file = /etc/hostname\n%HALL%", 3, "cert_file"},
};
INSTANTIATE_TEST_SUITE_P(Lines, BadConfig, ::testing::ValuesIn(BadCases),
                         [](const auto& info) { return std::string(info.param.name); });

QString WritePanel(const QTemporaryDir& dir, const QString& text) {
    const QString path = dir.filePath(QStringLiteral("quelnet_scr.cnf"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(text.toLatin1());
    return path;
}

TEST(PanelImport, ControllersAndCircuitsComeFromThePanelsElements) {
    QTemporaryDir dir;
    // A button reading IN1 and switching OUT1, an indicator reading OUT1 at its
    // output (faster), an analog indicator, a slider, and an element of
    // another controller.
    const QString panel = QStringLiteral(
        "{\r\nx_tp=scr\r\nx_px=0\r\nx_py=0\r\nx_pw=700\r\nx_ph=400\r\ns_ws=0\r\n}\r\n"
        "{\r\nx_tp=btn\r\nx_px=8\r\nx_py=8\r\nx_pw=40\r\nx_ph=40\r\np_en=yes\r\np_ho=127.0.0.1\r\np_pr=7080\r\n"
        "p_ps=3958\r\np_oc=OUT1\r\np_om=2\r\np_ic=IN1\r\np_im=0\r\np_fr=300\r\n}\r\n"
        "{\r\nx_tp=idg\r\nx_px=60\r\nx_py=8\r\nx_pw=40\r\nx_ph=40\r\niden=yes\r\nidho=127.0.0.1\r\nidpr=7080\r\n"
        "idps=3958\r\nidic=OUT1\r\nidim=1\r\nidfr=150\r\n}\r\n"
        "{\r\nx_tp=ian\r\nx_px=8\r\nx_py=60\r\nx_pw=40\r\nx_ph=40\r\niaen=yes\r\niaho=127.0.0.1\r\niapr=7080\r\n"
        "iaps=3958\r\niaic=AN1\r\niaim=0\r\niafr=0\r\n}\r\n"
        "{\r\nx_tp=zda\r\nx_px=8\r\nx_py=120\r\nx_pw=200\r\nx_ph=40\r\nz_en=yes\r\nz_ho=127.0.0.1\r\nz_pr=7080\r\n"
        "z_ps=3958\r\nz_oc=AOUT1\r\nz_st=10\r\nzvst=2\r\nzvti=0,5\r\n}\r\n"
        "{\r\nx_tp=idg\r\nx_px=120\r\nx_py=8\r\nx_pw=40\r\nx_ph=40\r\nidho=localhost\r\nidpr=7081\r\nidps=x\r\n"
        "idic=IN2\r\n}\r\n"
        "{\r\nx_tp=idg\r\nx_px=180\r\nx_py=8\r\nx_pw=40\r\nx_ph=40\r\nidho=127_0_0_1\r\nidpr=7080\r\n"
        "idic=IN3\r\n}\r\n");
    const PanelImport p = ImportPanel(WritePanel(dir, panel));
    ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    ASSERT_EQ(p.controllers.size(), 3);
    // Another address whose name would come out the same gets a name of its own.
    EXPECT_EQ(p.controllers[2].name, QStringLiteral("127_0_0_1_7080_2"));
    EXPECT_EQ(p.controllers[2].address, QStringLiteral("127_0_0_1"));
    const ControllerConfig& a = p.controllers[0];
    EXPECT_EQ(a.name, QStringLiteral("127_0_0_1_7080"));
    EXPECT_EQ(a.password, QStringLiteral("3958"));
    QStringList got;
    for (const CircuitConfig& c : a.circuits)
        got << QStringLiteral("%1 %2 %3 %4").arg(c.name).arg(c.analog).arg(c.output).arg(c.periodMs);
    EXPECT_EQ(got, (QStringList{"IN1 0 0 300", "OUT1 0 1 150", "AN1 1 0 1000", "AOUT1 1 1 1000"}));
    const CircuitConfig& slider = a.circuits[3];
    EXPECT_EQ(slider.min, 2);
    EXPECT_EQ(slider.max, 7);
    EXPECT_EQ(slider.step, 0.5);
    EXPECT_EQ(p.controllers[1].name, QStringLiteral("localhost_7081"));
    EXPECT_EQ(p.controllers[1].circuits.value(0).name, QStringLiteral("IN2"));
}

TEST(PanelImport, AMissingPanelIsAnError) {
    EXPECT_FALSE(ImportPanel(QStringLiteral("/nonexistent/quelnet_scr.cnf")).error.isEmpty());
}

struct BridgeRun {
    int exit = -1;
    QString out, err;
};
BridgeRun Bridge(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(QUELNET_BRIDGE_EXE), args);
    BridgeRun r;
    if (!p.waitForFinished(30000))
        return r;
    r.exit = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

TEST(BridgeCommandLine, ABadConfigurationExitsTwoNamingTheLine) {
    QTemporaryDir dir;
    const QString conf = dir.filePath(QStringLiteral("bridge.conf"));
    QFile f(conf);
    f.open(QIODevice::WriteOnly);
    f.write((Head + Hall + QStringLiteral("circuit = AN1 analog sideways\n")).toUtf8());
    f.close();
    const BridgeRun r = Bridge({QStringLiteral("--config"), conf});
    EXPECT_EQ(r.exit, 2);
    EXPECT_TRUE(r.err.contains(conf + QStringLiteral(":6: field 'circuit': direction 'sideways'"))) << r.err.toStdString();

    EXPECT_EQ(Bridge({QStringLiteral("--config"), dir.filePath(QStringLiteral("none.conf"))}).exit, 2);
    const BridgeRun good = Bridge({QStringLiteral("--config"), QStringLiteral(QUELNET_SOURCE_DIR "/bridge/bridge.conf.example"),
                                   QStringLiteral("--check")});
    EXPECT_EQ(good.exit, 0);
    EXPECT_EQ(good.out, QStringLiteral("configuration OK: 1 controller(s), 4 circuit(s)\n"));
    EXPECT_EQ(Bridge({QStringLiteral("--shard"), QStringLiteral("3/2")}).exit, 2);
    EXPECT_EQ(Bridge({QStringLiteral("--frobnicate")}).exit, 2);
}

TEST(BridgeCommandLine, FromPanelPrintsAConfigurationThatReadsBack) {
    QTemporaryDir dir;
    const QString panel = WritePanel(
        dir, QStringLiteral("{\nx_tp=idg\nx_px=1\nx_py=1\nx_pw=9\nx_ph=9\nidho=127.0.0.1\nidpr=7080\nidps=3958\n"
                            "idic=IN3\nidfr=250\n}\n"));
    const BridgeRun r = Bridge({QStringLiteral("--from-panel"), panel, QStringLiteral("--print-config")});
    ASSERT_EQ(r.exit, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("[controller 127_0_0_1_7080]\naddress = 127.0.0.1\nport = 7080\n")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("circuit = IN3 digital input 250\n")));
    const ConfigResult back = ParseBridgeConfig(QStringLiteral("printed"), r.out);
    EXPECT_TRUE(back.Ok());
}

TEST(BridgeConfig, ShardsSplitTheControllersWithoutOverlap) {
    QList<ControllerConfig> all;
    for (int i = 0; i < 50; ++i) {
        ControllerConfig c;
        c.name = QStringLiteral("c%1").arg(i);
        all << c;
    }
    QStringList seen;
    for (int shard = 0; shard < 3; ++shard) {
        const QList<ControllerConfig> part = ShardControllers(all, shard, 3);
        EXPECT_GT(part.size(), 5);
        for (const ControllerConfig& c : part)
            seen << c.name;
        // The same split every time.
        EXPECT_EQ(part.size(), ShardControllers(all, shard, 3).size());
    }
    // Each bridge of a group has its own client id, state file and status
    // topic, so that one's will or removals never touch another's entities.
    BridgeConfig config;
    config.controllers = all;
    config.bridge.stateFile = QStringLiteral("/var/lib/quelnet-bridge/entities");
    const BridgeConfig second = Shard(config, 1, 3);
    EXPECT_EQ(second.broker.clientId, QStringLiteral("quelnet-bridge-2of3"));
    EXPECT_EQ(second.bridge.stateFile, QStringLiteral("/var/lib/quelnet-bridge/entities.2of3"));
    EXPECT_EQ(BridgeStatusTopic(second.bridge), QStringLiteral("quelnet/bridge/2of3/status"));
    EXPECT_EQ(BridgeStatusTopic(Shard(config, 0, 1).bridge), QStringLiteral("quelnet/bridge/status"));
    // The others' controllers are known, so that their entities are never removed.
    EXPECT_EQ(second.controllers.size() + second.elsewhere.size(), all.size());

    seen.sort();
    QStringList names;
    for (const ControllerConfig& c : all)
        names << c.name;
    names.sort();
    EXPECT_EQ(seen, names);
}

} // namespace
} // namespace quelnet::bridge
