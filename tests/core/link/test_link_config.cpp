// Reading and writing the configuration and text areas of the simulated
// controller: content, log lines, progress, retries, refusals.
#include "tests/core/link/LinkFixtures.h"
#include "tests/core/link/SimFixture.h"

#include "core/base/InterfaceTexts.h"

using namespace quelnet;
using namespace quelnet::test;

namespace {

constexpr int ConfigAddress = 0x0600, ConfigSize = 8192;
constexpr int TextsAddress = 0x2900, TextsSize = 32768;

QByteArray Pattern(int size, int seed) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 7 + i / 256 + seed) & 0xFF);
    return b;
}

QString Retry(int page) {
    return Pl(lt::RetryPage) + QString("%1").arg(page, 3, 16, QChar('0')).toUpper() + ".";
}

class ConfigTransfer : public SimLinkTest {
protected:
    void SetUp() override {
        StartSim();
        sim->SetFlash(Pattern(512 * 1024, 1));
    }
    bool Get() {
        return common.GetConfig(Loopback, PortText(), SimPassword, log, progress, config, texts, &pump);
    }
    bool Set(bool wrConfig, bool wrNet, bool wrTexts) {
        return common.SetConfig(Loopback, PortText(), SimPassword, log, progress, wrConfig, wrNet, wrTexts,
                                newConfig, newTexts, &pump);
    }
    // Page numbers of the page reads (0xA0) or writes (0xA1) the simulator received.
    QList<int> Pages(int command) const {
        QList<int> pages;
        for (const QByteArray& r : sim->Requests())
            if (uchar(r[1]) == 0x80 && uchar(r[12]) == command)
                pages.append(uchar(r[16]) << 8 | uchar(r[17]));
        return pages;
    }
    static QList<int> Range(int first, int end) {
        QList<int> r;
        for (int p = first; p < end; ++p)
            r.append(p);
        return r;
    }

    RecordingLog log;
    RecordingProgress progress;
    int pumped = 0;
    CallbackPump pump{[this] { ++pumped; }};
    QByteArray config, texts;
    QByteArray newConfig = Pattern(ConfigSize, 50), newTexts = Pattern(TextsSize, 90);
};

TEST_F(ConfigTransfer, GetConfigReadsBothAreas) {
    ASSERT_TRUE(Get());
    EXPECT_EQ(config, sim->Flash().mid(ConfigAddress, ConfigSize));
    EXPECT_EQ(texts, sim->Flash().mid(TextsAddress, TextsSize));
    EXPECT_EQ(log.lines,
              QStringList({Pl(lt::TakeOverConfigOk), Pl(lt::ReadingConfigOk), Pl(lt::ReadingTextsOk)}));
    EXPECT_EQ(Commands().value(0), 0xAF);
    EXPECT_EQ(Pages(0xA0), Range(0x06, 0x26) + Range(0x29, 0xA9));
    EXPECT_EQ(sim->Requests().value(1).mid(12), QByteArray::fromHex("A0000003"
                                                                    "000600"));
    EXPECT_GE(pumped, 160);
    EXPECT_TRUE(WaitUntil([&] { return sim->OpenConnections() == 0; }));
}

TEST_F(ConfigTransfer, ProgressGoesFromZeroTo160AndBack) {
    progress.SetPosition(33);
    progress.positions.clear();
    ASSERT_TRUE(Get());
    EXPECT_EQ(progress.Maximum(), 160);
    ASSERT_FALSE(progress.positions.isEmpty());
    EXPECT_EQ(progress.positions.first(), 0);
    EXPECT_EQ(progress.positions.last(), 0);
    QList<int> climb = progress.positions.mid(1, progress.positions.size() - 2);
    EXPECT_EQ(climb, Range(1, 161));
}

TEST_F(ConfigTransfer, NineFailuresThenSuccessOnTwoPagesInARow) {
    // Page 6 echoes a wrong address nine times, then page 7 nine times.
    int retries6 = 0, retries7 = 0;
    sim::Faults f;
    f.wrongEchoOnPage = {6};
    sim->SetFaults(f);
    log.onAppend = [&](const QString& line) {
        if (line == Retry(6) && ++retries6 == 9) {
            sim::Faults next;
            next.wrongEchoOnPage = {7};
            sim->SetFaults(next);
        }
        if (line == Retry(7) && ++retries7 == 9)
            sim->SetFaults({});
    };
    ASSERT_TRUE(Get());
    EXPECT_EQ(config, sim->Flash().mid(ConfigAddress, ConfigSize));
    QStringList expected = {Pl(lt::TakeOverConfigOk), Pl(lt::ReadingConfig)};
    for (int i = 0; i < 9; ++i)
        expected << Retry(6);
    for (int i = 0; i < 8; ++i) // the ninth is replaced by the OK line
        expected << Retry(7);
    expected << Pl(lt::ReadingConfigOk) << Pl(lt::ReadingTextsOk);
    EXPECT_EQ(log.lines, expected);
    EXPECT_EQ(Pages(0xA0).count(6), 10);
    EXPECT_EQ(Pages(0xA0).count(7), 10);
}

TEST_F(ConfigTransfer, TenFailuresOnOnePageEndTheRead) {
    struct Case {
        int page;
        QString error;
        QString stepLine;
    } cases[] = {
        {0x0A, Pl(lt::ReadConfigError), Pl(lt::ReadingConfig)},
        {0x50, Pl(lt::ReadVariablesError), Pl(lt::ReadingTexts)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        sim::Faults f;
        f.wrongEchoOnPage = {c.page};
        sim->SetFaults(f);
        sim->ClearRequests();
        EXPECT_FALSE(Get());
        EXPECT_EQ(log.Count(Retry(c.page)), 10);
        EXPECT_EQ(log.lines.last(), c.error);
        EXPECT_EQ(log.lines[log.lines.size() - 12], c.stepLine);
        EXPECT_EQ(Pages(0xA0).count(c.page), 10);
        EXPECT_EQ(Pages(0xA0).last(), c.page);
        EXPECT_EQ(progress.Position(), 0);
    }
}

TEST_F(ConfigTransfer, LostRepliesReconnectWithoutALogLine) {
    ShortenLinkTimeout();
    sim::Faults f;
    const int n = sim->RequestCount();
    f.dropReplyTo = {n + 3, n + 4}; // the second configuration page, twice
    sim->SetFaults(f);
    ASSERT_TRUE(Get());
    EXPECT_EQ(config, sim->Flash().mid(ConfigAddress, ConfigSize));
    EXPECT_EQ(log.lines,
              QStringList({Pl(lt::TakeOverConfigOk), Pl(lt::ReadingConfigOk), Pl(lt::ReadingTextsOk)}));
    EXPECT_EQ(sim->Connections(), 3);
    EXPECT_EQ(Pages(0xA0).count(7), 3);
}

TEST_F(ConfigTransfer, PrepareRefusedOrNobodyThere) {
    EXPECT_FALSE(common.GetConfig(Loopback, QString::number(ClosedPort()), SimPassword, log, progress, config,
                                  texts, nullptr));
    EXPECT_EQ(log.lines, QStringList({Pl(lt::ConnectFailedLog)}));
    EXPECT_FALSE(common.SetConfig(Loopback, QString::number(ClosedPort()), SimPassword, log, progress, true,
                                  true, true, newConfig, newTexts, nullptr));
    EXPECT_EQ(log.lines, QStringList({Pl(lt::ConnectFailedLog)}));

    // A wrong password: the controller hangs up on 0xAF.
    EXPECT_FALSE(common.GetConfig(Loopback, PortText(), "0000", log, progress, config, texts, nullptr));
    EXPECT_EQ(log.lines, QStringList({Pl(lt::TakeOverConfig), Pl(lt::TakeOverConfigError)}));
    EXPECT_EQ(Commands(), QList<int>({0xAF}));
}

TEST_F(ConfigTransfer, SetConfigWithNetworkSettingsRestarts) {
    ASSERT_TRUE(Set(true, true, true));
    ASSERT_TRUE(WaitUntil([&] { return Commands().size() == 162; })); // 0xAB gets no reply
    EXPECT_EQ(sim->Flash().mid(ConfigAddress, ConfigSize), newConfig);
    EXPECT_EQ(sim->Flash().mid(TextsAddress, TextsSize), newTexts);
    EXPECT_EQ(log.lines, QStringList({Pl(lt::WritingConfigOk), Pl(lt::WritingTextsOk),
                                      Pl(lt::TakeOverConfigOk), Pl(lt::ResetQuelnet)}));
    EXPECT_EQ(Pages(0xA1), Range(0x06, 0x26) + Range(0x29, 0xA9));
    EXPECT_EQ(Commands().mid(160), QList<int>({0xAE, 0xAB}));
    EXPECT_EQ(progress.Maximum(), 160);
    EXPECT_EQ(progress.positions.last(), 0);
    EXPECT_TRUE(progress.positions.contains(160));
    EXPECT_EQ(sim->Requests().value(0).mid(12, 7), QByteArray::fromHex("A1000103"
                                                                       "000600"));
}

TEST_F(ConfigTransfer, SetConfigKeepingNetworkSettings) {
    ASSERT_TRUE(Set(true, false, false));
    EXPECT_EQ(sim->Flash().mid(ConfigAddress, ConfigSize), newConfig);
    EXPECT_EQ(log.lines, QStringList({Pl(lt::WritingConfigOk), Pl(lt::TakeOverConfigOk)}));
    EXPECT_EQ(Pages(0xA1), Range(0x06, 0x26));
    EXPECT_EQ(Commands().mid(32), QList<int>({0xAC}));
}

TEST_F(ConfigTransfer, TextsOnlyTakeNothingOver) {
    ASSERT_TRUE(Set(false, true, true));
    EXPECT_EQ(sim->Flash().mid(TextsAddress, TextsSize), newTexts);
    EXPECT_EQ(sim->Flash().mid(ConfigAddress, ConfigSize),
              Pattern(512 * 1024, 1).mid(ConfigAddress, ConfigSize));
    EXPECT_EQ(log.lines, QStringList({Pl(lt::WritingTextsOk)}));
    EXPECT_EQ(Pages(0xA1), Range(0x29, 0xA9));
    EXPECT_EQ(Commands().size(), 128); // no 0xAC, 0xAE or 0xAB
    EXPECT_EQ(progress.Maximum(), 128);
    EXPECT_TRUE(progress.positions.contains(128));
    EXPECT_EQ(progress.positions.last(), 0);
}

TEST_F(ConfigTransfer, WriteRetriesThenSucceeds) {
    sim::Faults f;
    f.wrongEchoOnPage = {0x30};
    sim->SetFaults(f);
    int retries = 0;
    log.onAppend = [&](const QString& line) {
        if (line == Retry(0x30) && ++retries == 9)
            sim->SetFaults({});
    };
    ASSERT_TRUE(Set(true, false, true));
    EXPECT_EQ(sim->Flash().mid(TextsAddress, TextsSize), newTexts);
    EXPECT_EQ(log.lines.mid(0, 2), QStringList({Pl(lt::WritingConfigOk), Pl(lt::WritingTexts)}));
    EXPECT_EQ(log.Count(Retry(0x30)), 8);
    EXPECT_EQ(log.lines.mid(10), QStringList({Pl(lt::WritingTextsOk), Pl(lt::TakeOverConfigOk)}));
}

TEST_F(ConfigTransfer, FailedConfigurationWriteIsNeverTakenOver) {
    sim::Faults f;
    f.wrongEchoOnPage = {0x07};
    sim->SetFaults(f);
    for (const bool wrNet : {false, true}) {
        SCOPED_TRACE(wrNet);
        sim->ClearRequests();
        EXPECT_FALSE(Set(true, wrNet, true));
        QStringList expected = {Pl(lt::WritingConfig)};
        for (int i = 0; i < 10; ++i)
            expected << Retry(7);
        expected << Pl(lt::TakeOverConfigError);
        EXPECT_EQ(log.lines, expected);
        EXPECT_EQ(Pages(0xA1), QList<int>({6, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7}));
        for (const int c : Commands())
            EXPECT_TRUE(c == 0xA1) << c;
        EXPECT_EQ(progress.Position(), 0);
    }
}

TEST_F(ConfigTransfer, CallsDuringATransferAreRefused) {
    int refused = 0;
    RecordingLog otherLog;
    otherLog.lines = {"keep"};
    CallbackPump nested([&] {
        ASSERT_TRUE(common.Busy());
        bool on = true;
        float value = 3;
        QString ver = "v", rea, ser, lng;
        QChar boa;
        bool con;
        QByteArray c, t;
        refused += !common.GetInpDigi(Loopback, port, SimPassword, "IN1", 0, on) && on;
        refused += !common.GetInpAnal(Loopback, port, SimPassword, "AN1", 0, value) && value == 3;
        refused += !common.SetOutDigi(Loopback, port, SimPassword, "OUT1", 1);
        refused += !common.CheckNewQuelnet(Loopback, PortText(), SimPassword, ver, boa, con, rea, ser, lng) &&
                   ver == "v";
        refused += !common.GetConfig(Loopback, PortText(), SimPassword, otherLog, progress, c, t, nullptr);
        common.EndComm(); // must not cut the transfer's link
    });
    const int connections = sim->Connections();
    ASSERT_TRUE(common.GetConfig(Loopback, PortText(), SimPassword, log, progress, config, texts, &nested));
    EXPECT_EQ(refused, 5 * 160);
    EXPECT_EQ(common.GetLastError(), "");
    EXPECT_EQ(otherLog.lines, QStringList({"keep"}));
    EXPECT_FALSE(sim->Digital("OUT1"));
    EXPECT_EQ(sim->Connections(), connections + 1);
    EXPECT_FALSE(common.Busy());
    bool on;
    EXPECT_TRUE(common.GetInpDigi(Loopback, port, SimPassword, "IN1", 0, on)); // free again afterwards
}

} // namespace
