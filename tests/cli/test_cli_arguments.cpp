// The command line as the tool reads it: options anywhere and in both forms,
// operands that look like negative numbers, addresses with and without a
// port, the list of controllers, and where the password comes from.
#include "cli/Arguments.h"
#include "cli/HostsFile.h"
#include "cli/Tool.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quelnet::cli;

namespace {

const QList<OptionSpec> Known = {{"json", {}, {}},
                                 {"password", "TEXT", {}},
                                 {"hosts", "FILE", {}},
                                 {"interval", "MS", {}},
                                 {"help", {}, {}}};

QStringList L(std::initializer_list<const char*> words) {
    QStringList l;
    for (const char* w : words)
        l << QString::fromUtf8(w);
    return l;
}

} // namespace

TEST(CliArguments, OptionsAnywhereInBothFormsAndOperandsInOrder) {
    const ParsedArguments p = ParseArguments(
        L({"--json", "get", "127.0.0.1:7081", "--password=a=b", "IN1", "--interval", "250", "AN1"}), Known);
    ASSERT_TRUE(p.error.isEmpty()) << p.error.toStdString();
    EXPECT_EQ(p.words, L({"get", "127.0.0.1:7081", "IN1", "AN1"}));
    EXPECT_TRUE(p.Has("json"));
    EXPECT_EQ(p.Value("password"), "a=b"); // only the first "=" separates
    EXPECT_EQ(p.Value("interval"), "250");
}

TEST(CliArguments, NegativeNumbersDashDashAndShortHelp) {
    const ParsedArguments p =
        ParseArguments(L({"set", "h", "AOUT1", "-1.5", "-h", "--", "--json", "-.5"}), Known);
    ASSERT_TRUE(p.error.isEmpty());
    EXPECT_EQ(p.words, L({"set", "h", "AOUT1", "-1.5", "--json", "-.5"}));
    EXPECT_TRUE(p.Has("help"));
    EXPECT_FALSE(p.Has("json"));
}

TEST(CliArguments, MistakesAreNamed) {
    const struct {
        QStringList args;
        const char* error;
    } cases[] = {
        {L({"get", "--nope"}), "Nieznana opcja „--nope”."},
        {L({"get", "--nope=1"}), "Nieznana opcja „--nope”."},
        {L({"get", "-x"}), "Nieznana opcja „-x”."},
        {L({"get", "--password"}), "Opcja „--password” wymaga wartości."},
        {L({"get", "--json=yes"}), "Opcja „--json” nie przyjmuje wartości."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseArguments(c.args, Known).error, QString::fromUtf8(c.error))
            << c.args.join(' ').toStdString();
}

TEST(CliArguments, HostAndPort) {
    const struct {
        const char* text;
        bool ok;
        const char* host;
        int port;
    } cases[] = {
        {"127.0.0.1", true, "127.0.0.1", 7080},
        {"127.0.0.1:7081", true, "127.0.0.1", 7081},
        {"localhost:1", true, "localhost", 1},
        {"localhost:65535", true, "localhost", 65535},
        {"127.0.0.1:0", false, "", 0},
        {"127.0.0.1:65536", false, "", 0},
        {"127.0.0.1:", false, "", 0},
        {"127.0.0.1:70a", false, "", 0},
        {"127.0.0.1:+80", false, "", 0},
        {":7080", false, "", 0},
        {"", false, "", 0},
        {"::1", false, "", 0},
        {"a b", false, "", 0},
    };
    for (const auto& c : cases) {
        const std::optional<HostPort> hp = ParseHostPort(QString::fromUtf8(c.text));
        ASSERT_EQ(hp.has_value(), c.ok) << c.text;
        if (hp) {
            EXPECT_EQ(hp->host, c.host);
            EXPECT_EQ(hp->port, c.port);
        }
    }
}

TEST(CliArguments, AnalogValuesTakeAPointOrAComma) {
    EXPECT_EQ(ParseAnalogValue("1.5"), 1.5f);
    EXPECT_EQ(ParseAnalogValue("-2,25"), -2.25f);
    EXPECT_EQ(ParseAnalogValue("1e3"), 1000.0f);
    for (const char* bad : {"", "on", "1.5x", "nan", "inf", "1e39"})
        EXPECT_FALSE(ParseAnalogValue(bad).has_value()) << bad;
}

TEST(CliArguments, HostsListSkipsCommentsAndBlanksAndNamesAWrongLine) {
    QString error;
    const auto hosts = ParseHostsList("# office\n 127.0.0.1:7081 \n\n127.0.0.1\r\n", "list", error);
    ASSERT_TRUE(hosts) << error.toStdString();
    ASSERT_EQ(hosts->size(), 2);
    EXPECT_EQ((*hosts)[0].Text(), "127.0.0.1:7081");
    EXPECT_EQ((*hosts)[1].Text(), "127.0.0.1:7080");

    EXPECT_FALSE(ParseHostsList("127.0.0.1\n127.0.0.1:99999\n", "list", error));
    EXPECT_EQ(error, QString::fromUtf8("list, wiersz 2: niewłaściwy adres „127.0.0.1:99999”."));
    EXPECT_FALSE(ParseHostsList("# nothing\n\n", "list", error));
    EXPECT_EQ(error, QString::fromUtf8("Lista QuelNet-ów „list” jest pusta."));
}

TEST(CliArguments, PasswordFromOptionFileEnvironmentOrFactory) {
    QTemporaryDir dir;
    const QString file = dir.filePath("pw");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("s3cret\r\nsecond line\n");
    }
    const QList<OptionSpec> known = SharedOptions(~0);
    QString error;
    qunsetenv("QUELNET_PASSWORD");
    EXPECT_EQ(ResolvePassword(ParseArguments({}, known), error), "3958");
    qputenv("QUELNET_PASSWORD", "fromenv");
    EXPECT_EQ(ResolvePassword(ParseArguments({}, known), error), "fromenv");
    EXPECT_EQ(ResolvePassword(ParseArguments({"--password-file", file}, known), error), "s3cret");
    EXPECT_EQ(ResolvePassword(ParseArguments({"--password", "given"}, known), error), "given");
    EXPECT_TRUE(error.isEmpty());
    qunsetenv("QUELNET_PASSWORD");

    ResolvePassword(ParseArguments({"--password", "a", "--password-file", file}, known), error);
    EXPECT_FALSE(error.isEmpty());
    error.clear();
    ResolvePassword(ParseArguments({"--password-file", dir.filePath("none")}, known), error);
    EXPECT_FALSE(error.isEmpty());
}
