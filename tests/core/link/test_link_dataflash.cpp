// Programming the whole DataFlash of the simulated controller: the resources
// upload over long frames, the firmware update over short frames with its
// start, restart, reconnection and clearing of the text area.
#include "tests/core/link/LinkFixtures.h"
#include "tests/core/link/SimFixture.h"

#include "core/base/InterfaceTexts.h"
#include "core/firmware/ProgramSeal.h"

using namespace quelnet;
using namespace quelnet::test;

namespace {

constexpr int FlashSize = 512 * 1024;
constexpr int ConfigAddress = 0x0600, ConfigSize = 8192;
constexpr int TextsAddress = 0x2900, TextsSize = 32768;

QByteArray Pattern(int size, int seed) {
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char((i * 13 + i / 256 + seed) & 0xFF);
    return b;
}

QString Retry(int page) {
    return "Błąd ponawiam stronę 0x" + QString("%1").arg(page, 3, 16, QChar('0')).toUpper() + ".";
}

QList<int> Range(int first, int end) {
    QList<int> r;
    for (int p = first; p < end; ++p)
        r.append(p);
    return r;
}

// The short page write as the controllers expect it: D5 A1 00 A2 A1 A0, data.
QByteArray ShortPageFrame(int page, const QByteArray& data) {
    return QByteArray::fromHex("d5a100") + char(page >> 8) + char(page & 0xFF) + '\0' + data;
}

const QByteArray PrepareFrame = QByteArray::fromHex("d5ae00000000");
const QByteArray StartFrame = QByteArray::fromHex("d5ad00000000");

// Page numbers of the page writes a simulator received: A2 A1 of the address,
// in bytes 3-4 of a short frame, 16-17 of a long one.
QList<int> WrittenPages(const sim::SimThread& s) {
    QList<int> pages;
    for (const QByteArray& r : s.Requests()) {
        if (uchar(r[1]) == 0xA1)
            pages.append(uchar(r[3]) << 8 | uchar(r[4]));
        else if (uchar(r[1]) == 0x80 && uchar(r[12]) == 0xA1)
            pages.append(uchar(r[16]) << 8 | uchar(r[17]));
    }
    return pages;
}

class DataFlash : public SimLinkTest {
protected:
    DataFlash() {
        TfmCommon::Timeouts t = common.GetTimeouts();
        t.RestartWait = 0; // the tests wait for the simulator's restart themselves
        common.SetTimeouts(t);
    }
    void StartWith(sim::SimConfig config = {}) {
        config.restartDelayMs = 0;
        StartSim(config);
    }
    bool Update(const QString& version, bool updConfig) {
        return common.UpdateDataFlash(Loopback, PortText(), version, image, log, progress, updConfig, &pump);
    }
    bool Send() { return common.SendDataFlash(Loopback, PortText(), image, log, progress, &pump); }
    // The reconnection must find the simulator up again: the log line of the
    // wait holds the procedure until the restart is over.
    void WaitForRestartOf(sim::SimThread& s) {
        log.onAppend = [&s](const QString& line) {
            if (line == Pl(lt::WaitingReconnect)) {
                ASSERT_TRUE(WaitUntil([&] { return s.Restarts() == 1 && s.Listening(); }));
            }
        };
    }
    void PointFactoryTargetAt(quint16 p) { common.SetFactoryTarget({Loopback, QString::number(p)}); }

    QByteArray image = Pattern(FlashSize, 3);
    RecordingLog log;
    RecordingProgress progress;
    int pumped = 0;
    std::function<void()> onPump;
    CallbackPump pump{[this] {
        ++pumped;
        if (onPump)
            onPump();
    }};
};

TEST_F(DataFlash, UpdateWritesEveryPageWithShortFramesThenStarts) {
    StartWith();
    ASSERT_TRUE(Update("V214", false));
    EXPECT_EQ(common.LastUpdateEnd(), UpdateEnd::Started);
    EXPECT_EQ(sim->Flash(), image);
    EXPECT_EQ(log.lines, QStringList({"Programowanie DataFlash-a OK.", "Aktualizacja OK.",
                                      "Restart QuelNet-a na koniec aktualizacji."}));
    ASSERT_TRUE(WaitUntil([&] { return sim->Restarts() == 1; })); // 0xAD has no reply
    const QList<QByteArray> requests = sim->Requests();
    ASSERT_EQ(requests.size(), 2049); // no 0xAE without UpdConfig
    int wrong = 0;
    for (int page = 0; page < 2048; ++page)
        wrong += requests[page] != ShortPageFrame(page, image.mid(page * 256, 256));
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(requests.last(), StartFrame);
    EXPECT_EQ(progress.Maximum(), 2048);
    EXPECT_EQ(progress.positions, QList<int>{0} + Range(0, 2048));
    EXPECT_GE(pumped, 2048);
    EXPECT_EQ(sim->Connections(), 1); // V214: the user restarts, nothing reconnects
}

TEST_F(DataFlash, SendWritesEveryPageWithTheFixedPassword) {
    sim::SimConfig config;
    config.password = "tajne"; // what the user typed; the pages carry 3958
    StartWith(config);
    ASSERT_TRUE(Send());
    EXPECT_EQ(sim->Flash(), image);
    EXPECT_EQ(log.lines, QStringList({"Programowanie DataFlash-a ..."})); // the caller reports the outcome
    const QList<QByteArray> requests = sim->Requests();
    ASSERT_EQ(requests.size(), 2048);
    const QByteArray head = LongHeaderStart("3958") + QByteArray::fromHex("a1000103");
    int wrong = 0;
    for (int page = 0; page < 2048; ++page)
        wrong +=
            requests[page] != head + char(page >> 8) + char(page & 0xFF) + '\0' + image.mid(page * 256, 256);
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(progress.Maximum(), 2048);
    EXPECT_EQ(progress.Position(), 2047);
    EXPECT_TRUE(WaitUntil([&] { return sim->OpenConnections() == 0; }));
    EXPECT_EQ(sim->Restarts(), 0);
}

TEST_F(DataFlash, RetryCounterIsRestoredAfterEveryGoodPage) {
    StartWith();
    // Page 0x100 echoes the wrong address nine times, then page 0x101 nine times.
    sim::Faults f;
    f.wrongEchoOnPage = {0x100};
    sim->SetFaults(f);
    int first = 0, second = 0;
    log.onAppend = [&](const QString& line) {
        if (line == Retry(0x100) && ++first == 9) {
            sim::Faults next;
            next.wrongEchoOnPage = {0x101};
            sim->SetFaults(next);
        }
        if (line == Retry(0x101) && ++second == 9)
            sim->SetFaults({});
    };
    ASSERT_TRUE(Update("V214", false));
    EXPECT_EQ(sim->Flash(), image);
    QStringList expected = {"Programowanie DataFlash-a ..."};
    for (int i = 0; i < 9; ++i)
        expected << Retry(0x100);
    for (int i = 0; i < 8; ++i) // the ninth gives way to the OK line
        expected << Retry(0x101);
    expected << "Programowanie DataFlash-a OK."
             << "Aktualizacja OK."
             << "Restart QuelNet-a na koniec aktualizacji.";
    EXPECT_EQ(log.lines, expected);
    EXPECT_EQ(WrittenPages(*sim).count(0x100), 10);
    EXPECT_EQ(WrittenPages(*sim).count(0x101), 10);
}

TEST_F(DataFlash, TenFailuresOnOnePageEndEitherProcedure) {
    for (const bool update : {false, true}) {
        SCOPED_TRACE(update ? "UpdateDataFlash" : "SendDataFlash");
        StartWith();
        sim::Faults f;
        f.wrongEchoOnPage = {0x7F};
        sim->SetFaults(f);
        log.lines.clear();
        EXPECT_FALSE(update ? Update("V401f", true) : Send());
        QStringList expected = {"Programowanie DataFlash-a ..."};
        for (int i = 0; i < 10; ++i)
            expected << "Błąd ponawiam stronę 0x07F.";
        expected << "Błąd ładowania strony 0x07F.";
        EXPECT_EQ(log.lines, expected);
        EXPECT_EQ(WrittenPages(*sim), Range(0, 0x7F) + QList<int>(10, 0x7F));
        EXPECT_EQ(sim->Requests().size(), 0x7F + 10); // neither 0xAE nor 0xAD
        EXPECT_EQ(progress.Position(), 0x7E);         // the last acknowledged page
        EXPECT_TRUE(WaitUntil([&] { return sim->OpenConnections() == 0; }));
        EXPECT_EQ(sim->Connections(), 1);
    }
}

// A reply that never comes, or a link the controller has closed, is reopened
// and the same page sent again, without a log line.
TEST_F(DataFlash, LostReplyOrClosedLinkIsReopened) {
    struct Case {
        const char* what;
        sim::Faults faults;
        int connections;
        int resent; // pages the simulator received twice
    } cases[2];
    cases[0] = {"reply to page 4 lost", {}, 2, 1};
    cases[0].faults.dropReplyTo = {5};
    cases[1] = {"link closed after every 100 pages", {}, 21, 0}; // a closed link takes nothing in
    cases[1].faults.closeAfterRequests = 100;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartWith();
        ShortenLinkTimeout(300);
        sim->SetFaults(c.faults);
        log.lines.clear();
        ASSERT_TRUE(Update("V214", false));
        EXPECT_EQ(sim->Flash(), image);
        EXPECT_EQ(log.lines.first(), "Programowanie DataFlash-a OK.");
        EXPECT_EQ(sim->Connections(), c.connections);
        const QList<int> pages = WrittenPages(*sim);
        EXPECT_EQ(pages.size(), 2048 + c.resent);
        EXPECT_EQ(QSet<int>(pages.begin(), pages.end()).size(), 2048);
    }
}

TEST_F(DataFlash, ConfigurationMustBePreparedWithExactlyOK) {
    ShortenLinkTimeout(300);
    struct Case {
        QByteArray reply;
        bool accepted;
    } cases[] = {{"ok", false}, {"O", false}, {"", false}, {"OKAY", true}, {"OK", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply.toStdString());
        sim::SimConfig config;
        config.faults.prepareReply = c.reply;
        StartWith(config);
        log.lines.clear();
        EXPECT_EQ(Update("V214", true), c.accepted);
        if (c.accepted) {
            ASSERT_TRUE(WaitUntil([&] { return sim->Restarts() == 1; })); // 0xAD has no reply
        }
        const QList<QByteArray> requests = sim->Requests();
        ASSERT_GE(requests.size(), 2049);
        EXPECT_EQ(requests[2048], PrepareFrame);
        if (c.accepted) {
            EXPECT_EQ(requests.mid(2049), QList<QByteArray>({StartFrame}));
            EXPECT_EQ(log.lines.mid(1),
                      QStringList({"Aktualizacja OK.", "Restart QuelNet-a na koniec aktualizacji."}));
        } else {
            EXPECT_EQ(requests.size(), 2049); // the update is not started
            EXPECT_EQ(log.lines,
                      QStringList({"Programowanie DataFlash-a OK.", "Błąd przygotowywania konfiguracji."}));
        }
    }
}

// V401f: after the update start the controller restarts; the tool reconnects
// to the same address, or to the factory address when the configuration was
// prepared, and clears the text area there.
TEST_F(DataFlash, V401fReconnectsWhereTheControllerComesBackAndClearsTheTexts) {
    enum class Back { SameAddress, FactoryAddress, Nowhere };
    struct Case {
        const char* what;
        bool updConfig;
        Back back;
    } cases[] = {
        {"without UpdConfig: the same simulator", false, Back::SameAddress},
        {"with UpdConfig: the factory target", true, Back::FactoryAddress},
        {"with UpdConfig, nobody at the factory target", true, Back::Nowhere},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartWith();
        sim::SimThread factory; // a second controller, standing in for the factory address
        ASSERT_TRUE(factory.Start());
        factory.SetFlash(image);
        PointFactoryTargetAt(c.back == Back::Nowhere ? ClosedPort() : factory.TcpPort());
        WaitForRestartOf(*sim);
        log.lines.clear();
        progress.positions.clear();

        EXPECT_TRUE(Update("V401f", c.updConfig));
        EXPECT_EQ(common.LastUpdateEnd(),
                  c.back == Back::Nowhere ? UpdateEnd::TextsNotCleared : UpdateEnd::Finished);
        sim::SimThread& cleared = c.back == Back::FactoryAddress ? factory : *sim;
        const QList<QByteArray> requests = sim->Requests();
        ASSERT_GE(requests.size(), 2049 + c.updConfig);
        EXPECT_EQ(requests[2048 + c.updConfig], StartFrame);
        const QList<QByteArray> clearing =
            cleared.Requests().mid(c.back == Back::FactoryAddress ? 0 : 2049 + c.updConfig);
        if (c.back == Back::Nowhere) {
            EXPECT_EQ(log.lines, QStringList({"Programowanie DataFlash-a OK.", "Aktualizacja OK.",
                                              "Restart QuelNet-a.", "Ponowne łączenie ...",
                                              "Błąd : nie można nawiązać połączenia ze QuelNet-em."}));
            EXPECT_EQ(requests.size(), 2049 + c.updConfig);
            EXPECT_TRUE(factory.Requests().isEmpty());
            continue;
        }
        EXPECT_EQ(log.lines, QStringList({"Programowanie DataFlash-a OK.", "Aktualizacja OK.",
                                          "Restart QuelNet-a.", "Ponowne łączenie OK.",
                                          "Zerowanie tekstów OK.", "Aktualizacja zakończona OK."}));
        ASSERT_EQ(clearing.size(), 128);
        int wrong = 0;
        for (int i = 0; i < 128; ++i)
            wrong += clearing[i] != ShortPageFrame(0x29 + i, QByteArray(256, '\0'));
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(cleared.Flash().mid(TextsAddress, TextsSize), QByteArray(TextsSize, '\0'));
        if (c.back == Back::SameAddress) {
            EXPECT_TRUE(factory.Requests().isEmpty());
        }
        EXPECT_EQ(progress.Maximum(), 2048);
        EXPECT_EQ(progress.positions.mid(2049), Range(0x29, 0xA9));
        EXPECT_TRUE(WaitUntil([&] { return cleared.OpenConnections() == 0; }));
    }
}

TEST_F(DataFlash, UpdateThatCannotStartIsNotReportedAsDone) {
    for (const bool updConfig : {false, true}) {
        SCOPED_TRACE(updConfig);
        sim::SimConfig config;
        config.faults.closeAfterRequests = 2048; // the link is gone after the last page
        StartWith(config);
        onPump = [&] {
            if (pumped == 2048) {
                ASSERT_TRUE(WaitUntil([&] { return !common.Link().Connected(); }));
            }
        };
        pumped = 0;
        log.lines.clear();
        EXPECT_FALSE(Update("V401f", updConfig));
        EXPECT_EQ(log.lines, updConfig ? QStringList({"Programowanie DataFlash-a OK.",
                                                      "Błąd przygotowywania konfiguracji."})
                                       : QStringList({"Programowanie DataFlash-a OK.", "Aktualizuję ...",
                                                      "Błąd : QuelNet nie rozpoczął aktualizacji (nie "
                                                      "wykryto jego restartu)."}));
        EXPECT_EQ(sim->Requests().size(), 2048);
        EXPECT_EQ(sim->Connections(), 1); // no reconnection, no clearing
        EXPECT_EQ(sim->Flash(), image);
    }
}

// The controller loses the link right after the reply to the last page, so
// the update start never reaches it: it keeps its program and does not
// restart. The start written into the local TCP stack is not taken for a
// started update, and the text area is not cleared.
TEST_F(DataFlash, UpdateStartThatNeverArrivesIsNotDone) {
    for (const char* version : {"V401f", "V214"}) {
        SCOPED_TRACE(version);
        sim::SimConfig config;
        config.faults.closeBeforeUpdateStart = true;
        StartWith(config);
        ShortenLinkTimeout(1000);
        log.lines.clear();
        EXPECT_FALSE(Update(version, false));
        EXPECT_EQ(common.LastUpdateEnd(), UpdateEnd::NotStarted);
        EXPECT_EQ(log.lines, QStringList({"Programowanie DataFlash-a OK.", "Aktualizuję ...",
                                          "Błąd : QuelNet nie rozpoczął aktualizacji (nie wykryto jego "
                                          "restartu)."}));
        EXPECT_EQ(sim->Requests().size(), 2048); // the start never arrived
        EXPECT_EQ(sim->Restarts(), 0);
        EXPECT_EQ(sim->Flash(), image);
    }
}

TEST_F(DataFlash, NothingIsSentWithoutALinkOrAWholeImage) {
    StartWith();
    const QString closed = QString::number(ClosedPort());
    EXPECT_FALSE(common.SendDataFlash(Loopback, closed, image, log, progress, &pump));
    EXPECT_EQ(log.lines, QStringList({"Błąd : nie można nawiązać połączenia ze QuelNet-em."}));
    log.lines.clear();
    EXPECT_FALSE(common.UpdateDataFlash(Loopback, closed, "V401f", image, log, progress, true, &pump));
    EXPECT_EQ(log.lines, QStringList({"Błąd : nie można nawiązać połączenia ze QuelNet-em."}));

    log.lines.clear();
    for (const int size : {0, FlashSize - 1, FlashSize + 256}) {
        image = Pattern(size, 1);
        EXPECT_FALSE(Send());
        EXPECT_FALSE(Update("V214", false));
    }
    EXPECT_TRUE(log.lines.isEmpty());
    EXPECT_EQ(sim->Connections(), 0);
}

TEST_F(DataFlash, NoSecondTransferWhileOneRuns) {
    StartWith();
    sim::Faults f;
    f.wrongEchoOnPage = {3}; // ends the transfer after a few pages
    sim->SetFaults(f);
    RecordingLog otherLog;
    RecordingProgress otherProgress;
    int refused = 0;
    onPump = [&] {
        EXPECT_TRUE(common.Busy());
        refused += !common.SendDataFlash(Loopback, PortText(), image, otherLog, otherProgress, nullptr);
        refused += !common.UpdateDataFlash(Loopback, PortText(), "V401f", image, otherLog, otherProgress,
                                           true, nullptr);
        QByteArray c, t;
        refused +=
            !common.GetConfig(Loopback, PortText(), SimPassword, otherLog, otherProgress, c, t, nullptr);
    };
    EXPECT_FALSE(Update("V214", false));
    EXPECT_EQ(refused, 3 * pumped);
    EXPECT_GT(pumped, 3);
    EXPECT_TRUE(otherLog.lines.isEmpty());
    EXPECT_TRUE(otherProgress.positions.isEmpty());
    EXPECT_EQ(sim->Connections(), 1);
    EXPECT_FALSE(common.Busy());
}

// A middle-generation controller taken to V4.0.1f: with a sealed program copy
// it comes back as the new generation at its factory settings; with a broken
// seal it stays what it was.
TEST_F(DataFlash, MidGenerationUpdatedToV401f) {
    for (const bool sealed : {true, false}) {
        SCOPED_TRACE(sealed ? "sealed" : "seal broken");
        sim::SimConfig config;
        config.generation = sim::Generation::Mid;
        config.password = "1234";
        StartWith(config);
        QByteArray program = Pattern(0x20000, 9);
        program.replace(0x4321, 9, QByteArray("V4.0.1f\0\0", 9));
        ASSERT_TRUE(firmware::SealProgram(program));
        if (!sealed)
            program[0x1D7FC] = char(program[0x1D7FC] ^ 1);
        image.replace(0x2900, 0x1D800, program.left(0x1D800));
        PointFactoryTargetAt(port); // the factory address of this test is the simulator itself
        WaitForRestartOf(*sim);
        log.lines.clear();

        EXPECT_TRUE(Update("V401f", true));
        EXPECT_EQ(log.lines.last(), "Aktualizacja zakończona OK.");
        const sim::SimConfig now = sim->Settings();
        EXPECT_EQ(now.EffectiveVersion(), sealed ? "V4.0.1f" : "V2.1.4");
        EXPECT_EQ(now.generation, sealed ? sim::Generation::New : sim::Generation::Mid);

        QString ver, rea, ser, lng;
        QChar boa;
        bool con = false;
        EXPECT_EQ(common.CheckNewQuelnet(Loopback, PortText(), "3958", ver, boa, con, rea, ser, lng), sealed);
        EXPECT_EQ(ver, sealed ? "V4.0.1" : ""); // the version field has six characters
        EXPECT_TRUE(common.CheckMidQuelnet(Loopback, PortText(), ver, boa, con, rea, ser, lng));

        const QByteArray flash = sim->Flash();
        const QByteArray configArea = flash.mid(ConfigAddress, ConfigSize);
        if (sealed) {
            EXPECT_EQ(configArea.left(8).toHex(), "c0a800b1ffffff00"); // 192.168.0.177/24
            EXPECT_EQ(configArea.mid(42, 5), QByteArray("3958\0", 5));
            EXPECT_EQ(configArea.mid(58, 5), QByteArray("kpnv\0", 5));
        } else {
            EXPECT_EQ(configArea, image.mid(ConfigAddress, ConfigSize));
        }
        EXPECT_EQ(flash.mid(TextsAddress, TextsSize), QByteArray(TextsSize, '\0'));
        EXPECT_EQ(flash.mid(TextsAddress + TextsSize), image.mid(TextsAddress + TextsSize));
        EXPECT_EQ(flash.left(ConfigAddress), image.left(ConfigAddress));
    }
}

} // namespace
