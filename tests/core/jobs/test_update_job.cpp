// The firmware update job against simulated controllers of every generation
// over loopback, with the package quelnet carries: identification texts, the
// refusals and questions with the UpdConfig they lead to, whole updates
// compared byte for byte with the DataFlash a controller must end up with,
// and the failures of each step.
#include "tests/core/firmware/PackageFixtures.h"
#include "tests/core/link/LinkFixtures.h"
#include "tests/core/link/SimFixture.h"
#include "tests/support/ProgramPackage.h"
#include "tests/support/ScriptedDialogs.h"

#include "core/jobs/UpdateJob.h"

using namespace quelnet;
using namespace quelnet::test;

namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

const Message LanguageWarning = {U("Ostrzeżenie"), U("Proszę wybrać wersję językową."), MessageIcon::Warning,
                                 MessageButtons::Ok};
const Message OldVersionBox = {U("Ostrzeżenie"), U("Nie można przeprowadzić aktualizacji z wersji V2.1.3"),
                               MessageIcon::None, MessageButtons::Ok};
const Message ConfigLossQuestion = {
    U("Ostrzeżenie"),
    U("Aktualizacja QuelNet-a do wersji 4.x.x spowoduje utratę konfiguracji i przywrócenie ustawień "
      "fabrycznych. QuelNet w wersji 4.x.x nie obsługuje formatu zapisu konfiguracji z wcześniejszych "
      "wersji. "
      "Czy kontynuować ?"),
    MessageIcon::Warning, MessageButtons::YesNo};
const Message SameVersionQuestion = {
    U("Ostrzeżenie"), U("Próbujesz załadować aktualnie zainstalowaną wersję programu. Czy kontynuować ?"),
    MessageIcon::Warning, MessageButtons::YesNo};

constexpr int TextsAddress = 0x2900, TextsEnd = 0xA900;
constexpr int ConfigAddress = 0x0600, ConfigEnd = 0x2600;

sim::SimConfig Controller(sim::Generation generation, const char* version = "", bool jumper = true) {
    sim::SimConfig c;
    c.generation = generation;
    c.version = QString::fromLatin1(version);
    c.jumper = jumper;
    c.restartDelayMs = 0;
    c.password = "kpnv"; // the oldest controllers' status page wants the configuration password
    return c;
}

class UpdateJobTest : public SimLinkTest {
protected:
    static void SetUpTestSuite() { UseProgramPackage(); }

    UpdateJobTest() {
        TfmCommon::Timeouts t = common.GetTimeouts();
        t.Identify = 500;
        t.RestartWait = 0; // the log line of the wait holds the job until the simulator is back
        common.SetTimeouts(t);
        common.SetFactoryTarget({Loopback, QString::number(ClosedPort())});
    }
    void Start(const sim::SimConfig& config) {
        StartSim(config);
        log.onAppend = [this](const QString& line) {
            if (line == U("Oczekiwanie na ponowne połączenie ...")) {
                ASSERT_TRUE(WaitUntil([&] { return sim->Restarts() == 1 && sim->Listening(); }));
            }
        };
    }
    UpdateTarget Target() const { return {Loopback, PortText(), httpPort, "kpnv"}; }
    UpdateJob Job(bool service) {
        return UpdateJob(common, {dialogs, dialogs, log, progress, &pump, &dialogs}, service);
    }
    // Identification, questions and installation as the window runs them.
    std::optional<UpdateStep> Run(bool service, const UpdateChoice& choice) {
        UpdateJob job = Job(service);
        identity = job.Identify(Target());
        EXPECT_TRUE(identity.Ready());
        const std::optional<bool> updConfig = job.Confirm(identity, choice);
        if (!updConfig)
            return std::nullopt;
        return job.Install(Target(), identity, choice, *updConfig);
    }
    QByteArray SealedProgram(const char* name, const char* lang, const char* version) {
        return SealedCopy(PackageFile(name, lang, version));
    }
    bool Sent(quint8 command) const {
        for (const QByteArray& r : sim->Requests())
            if (r.size() == 6 && uchar(r[0]) == 0xD5 && uchar(r[1]) == command)
                return true;
        return false;
    }

    ScriptedDialogs dialogs;
    RecordingLog log;
    RecordingProgress progress;
    CallbackPump pump{[] {}};
    QString httpPort = QString::number(ClosedPort());
    UpdateIdentity identity;
};

TEST_F(UpdateJobTest, IdentificationTextsOfEachGeneration) {
    struct Case {
        const char* what;
        sim::SimConfig controller;
        UpdateIdentity::Found found;
        bool ready;
        const char* status;
        const char* details;
    };
    const Case cases[] = {
        {"4.x, jumper fitted", Controller(sim::Generation::New), UpdateIdentity::Found::ShortFrames, true,
         "Wykryto QuelNet-a",
         "Wersja :V4.0.1\rSprzęt :A\rWykonanie :20140612\rNumer :S0817092\rJęzyk :PL\r\r"
         "QuelNet jest gotowy do aktualizacji."},
        {"V2.1.4, jumper missing", Controller(sim::Generation::Mid, "", false),
         UpdateIdentity::Found::ShortFrames, false, "Wykryto QuelNet-a",
         "Wersja :V2.1.4\rSprzęt :A\rWykonanie :20140612\rNumer :S0817092\rJęzyk :PL\r\r"
         "Brak zwory zezwalającej na programowanie."},
        {"status page only", Controller(sim::Generation::Old), UpdateIdentity::Found::StatusPage, false,
         "Wykryto QuelNet-a",
         "Wersja :V1.3\rNumer :S0817092\rJęzyk :PL\r\rProgram nie może dokonać aktualizacji QuelNet-a w "
         "wersji "
         "„V1.3”. Należy użyć programu \"Quelnet V3.1.4\" i zaktualizować QuelNet-a do wersji V2.1.4 i "
         "następnie ponowić aktualizację do kolejnej wersji."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start(c.controller);
        httpPort = QString::number(sim->HttpPort());
        if (port == 0)
            port = ClosedPort(); // the oldest controllers have no control port
        const UpdateIdentity id = Job(false).Identify(Target());
        EXPECT_EQ(id.found, c.found);
        EXPECT_EQ(id.Ready(), c.ready);
        EXPECT_EQ(id.status, U(c.status));
        EXPECT_EQ(id.details, U(c.details));
    }

    port = ClosedPort();
    httpPort = QString::number(ClosedPort());
    const UpdateIdentity none = Job(false).Identify(Target());
    EXPECT_EQ(none.found, UpdateIdentity::Found::Nothing);
    EXPECT_EQ(none.status, U("Nie można wykryć QuelNet-a."));
    EXPECT_EQ(none.details, U("Proszę zweryfikować adres QuelNet-a, ustawienia sieciowe komputera itp."));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// Controller version x target x service mode: the boxes in their order, the
// answers given, and the UpdConfig that results (none: refused).
TEST_F(UpdateJobTest, RefusalsAndQuestionsInTheirOrder) {
    struct Case {
        const char* what;
        sim::SimConfig controller;
        int version;
        const char* language;
        bool service;
        QList<bool> answers;
        QList<Message> boxes;
        std::optional<bool> updConfig;
    };
    const auto mid = Controller(sim::Generation::Mid);
    const auto v4 = Controller(sim::Generation::New);
    const Case cases[] = {
        {"no language chosen", v4, 1, "", false, {}, {LanguageWarning}, std::nullopt},
        {"no language, service mode", mid, 1, "", true, {true}, {LanguageWarning}, std::nullopt},
        {"V2.1.4 to V4.0.1f, normal mode", mid, 1, "PL", false, {}, {OldVersionBox}, std::nullopt},
        {"V2.1.4 to V2.1.4, normal mode", mid, 0, "PL", false, {}, {OldVersionBox}, std::nullopt},
        {"V2.1.4 to V4.0.1f, service, Yes", mid, 1, "PL", true, {true}, {ConfigLossQuestion}, true},
        {"V2.1.4 to V4.0.1f, service, No", mid, 1, "PL", true, {false}, {ConfigLossQuestion}, std::nullopt},
        {"V2.1.4 to V2.1.4, service, Yes", mid, 0, "LT", true, {true}, {SameVersionQuestion}, false},
        {"V2.1.4 to V2.1.4, service, No", mid, 0, "PL", true, {false}, {SameVersionQuestion}, std::nullopt},
        {"V2.1.3 to V2.1.4, service",
         Controller(sim::Generation::Mid, "V2.1.3"),
         0,
         "PL",
         true,
         {},
         {},
         true},
        {"V4.0.1 to V4.0.1f", v4, 1, "PL", false, {}, {}, false},
        {"V4.0.1 to V2.1.4, service", v4, 0, "PL", true, {}, {}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Start(c.controller);
        dialogs = ScriptedDialogs();
        dialogs.answers = c.answers;
        UpdateJob job = Job(c.service);
        const UpdateIdentity id = job.Identify(Target());
        EXPECT_EQ(job.Confirm(id, {c.version, U(c.language)}), c.updConfig);
        EXPECT_EQ(dialogs.messages, c.boxes);
        EXPECT_EQ(sim->Requests().size(), 1); // the identification only
    }
    EXPECT_TRUE(log.lines.isEmpty());
}

// Service mode takes a V2.1.4 controller to V4.0.1f: the configuration is
// prepared, the controller comes back at its factory address with the new
// program and factory settings, and its texts are cleared there.
TEST_F(UpdateJobTest, ServiceUpdateFromV214ToV401f) {
    Start(Controller(sim::Generation::Mid));
    common.SetFactoryTarget({Loopback, PortText()}); // the factory address of this test
    dialogs.answers = {true};
    ASSERT_EQ(Run(true, {1, "PL"}), UpdateStep::Done);

    EXPECT_EQ(dialogs.messages, QList<Message>({ConfigLossQuestion}));
    EXPECT_EQ(log.lines, QStringList({U("Ładowanie programu OK."), U("Ładowanie zawartości DataFlash OK."),
                                      U("Programowanie DataFlash-a OK."), U("Aktualizacja OK."),
                                      U("Restart QuelNet-a."), U("Ponowne łączenie OK."),
                                      U("Zerowanie tekstów OK."), U("Aktualizacja zakończona OK.")}));
    EXPECT_TRUE(Sent(0xAE));
    EXPECT_EQ(sim->Settings().EffectiveVersion(), "V4.0.1f");
    EXPECT_EQ(sim->Settings().generation, sim::Generation::New);

    const QByteArray expected = GroupImage("PL", "V401f", SealedProgram("IP_QueL.hex", "  ", "V401f"));
    ASSERT_EQ(expected.size(), 0x80000);
    const QByteArray flash = sim->Flash();
    EXPECT_EQ(flash.left(ConfigAddress), expected.left(ConfigAddress));
    EXPECT_EQ(flash.mid(ConfigAddress, 8).toHex(), "c0a800b1ffffff00"); // factory settings
    EXPECT_EQ(flash.mid(ConfigEnd, TextsAddress - ConfigEnd),
              expected.mid(ConfigEnd, TextsAddress - ConfigEnd));
    EXPECT_EQ(flash.mid(TextsAddress, TextsEnd - TextsAddress), QByteArray(TextsEnd - TextsAddress, '\0'));
    EXPECT_EQ(flash.mid(TextsEnd),
              expected.mid(TextsEnd)); // the rest of the sealed program and the web files
    EXPECT_EQ(progress.Position(), 0);
    EXPECT_EQ(dialogs.alarms, 0);
}

// Within version 4 nothing is asked and the configuration stays; the tool
// reconnects to the address it was given.
TEST_F(UpdateJobTest, UpdateFromV401ToV401fKeepsTheConfiguration) {
    Start(Controller(sim::Generation::New));
    ASSERT_EQ(Run(false, {1, "PL"}), UpdateStep::Done);

    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_FALSE(Sent(0xAE));
    EXPECT_EQ(log.lines.last(), U("Aktualizacja zakończona OK."));
    EXPECT_EQ(sim->Settings().EffectiveVersion(), "V4.0.1f");
    QByteArray expected = GroupImage("PL", "V401f", SealedProgram("IP_QueL.hex", "  ", "V401f"));
    expected.replace(TextsAddress, TextsEnd - TextsAddress, QByteArray(TextsEnd - TextsAddress, '\0'));
    EXPECT_EQ(sim->Flash(), expected);
}

// V2.1.4 reinstalled in service mode: the program of the controller's hardware
// variant and the chosen language, no reconnection, the texts left as written.
TEST_F(UpdateJobTest, ServiceReinstallOfV214UsesTheVariantsProgram) {
    sim::SimConfig controller = Controller(sim::Generation::Mid);
    controller.board = 'C';
    Start(controller);
    dialogs.answers = {true};
    ASSERT_EQ(Run(true, {0, "LT"}), UpdateStep::Done);

    EXPECT_EQ(dialogs.messages, QList<Message>({SameVersionQuestion}));
    EXPECT_FALSE(Sent(0xAE));
    EXPECT_EQ(log.lines.mid(2), QStringList({U("Programowanie DataFlash-a OK."), U("Aktualizacja OK."),
                                             U("Restart QuelNet-a na koniec aktualizacji.")}));
    ASSERT_TRUE(WaitUntil([&] { return sim->Restarts() == 1; })); // the update start has no reply
    EXPECT_EQ(sim->Flash(), GroupImage("LT", "V214", SealedProgram("IP_QueL_C_LT.hex", "LT", "V214")));
    EXPECT_EQ(sim->Settings().EffectiveVersion(), "V2.1.4");
    EXPECT_EQ(sim->Connections(), 2); // identification, programming
}

// The program or the DataFlash content cannot be loaded: the alarm sounds and
// nothing reaches the controller beyond its identification.
TEST_F(UpdateJobTest, LoadingFailuresSoundTheAlarmAndSendNothing) {
    struct Case {
        const char* what;
        QChar board;
        UpdateChoice choice;
        std::vector<package::PackageFile> package; // empty: quelnet's
        UpdateStep step;
        QStringList lines;
    };
    const QStringList programFailed = {U("Ładowanie programu ..."),
                                       U("Błąd : nie można załadować programu.")};
    auto files = [](int programSize) {
        std::vector<package::PackageFile> f = SmallPackageFiles();
        for (package::PackageFile& file : f)
            if (file.name == "IP_QueL.hex")
                file.data = QByteArray(programSize, 'Q');
        return f;
    };
    const Case cases[] = {
        {"hardware variant B has no V2.1.4 program",
         'B',
         {0, "PL"},
         {},
         UpdateStep::ProgramNotLoaded,
         programFailed},
        {"program one byte short",
         'A',
         {1, "PL"},
         files(131071),
         UpdateStep::ProgramNotLoaded,
         programFailed},
        {"program one byte long", 'A', {1, "PL"}, files(131073), UpdateStep::ProgramNotLoaded, programFailed},
        {"no content for the language",
         'A',
         {1, "XX"},
         {},
         UpdateStep::ContentNotBuilt,
         {U("Ładowanie programu OK."), U("Ładowanie zawartości DataFlash ..."),
          U("Błąd przetwarzania zawartość DataFlash.")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.package.empty())
            UseProgramPackage();
        else
            ProcessPackage() = PackageReader::OfBytes(Executable(c.package));
        sim::SimConfig controller = Controller(sim::Generation::New);
        controller.board = c.board;
        Start(controller);
        dialogs = ScriptedDialogs();
        log.lines.clear();
        EXPECT_EQ(Run(true, c.choice), c.step);
        EXPECT_EQ(log.lines, c.lines);
        EXPECT_EQ(dialogs.alarms, 1);
        EXPECT_EQ(sim->Requests().size(), 1);
        EXPECT_EQ(UpdateJob::StatusAfter(c.step), QString()); // the status line keeps its text
    }
    UseProgramPackage();
}

TEST_F(UpdateJobTest, FailedProgrammingIsNotReportedAsDone) {
    Start(Controller(sim::Generation::New));
    sim::Faults faults;
    faults.wrongEchoOnPage = {0x40};
    sim->SetFaults(faults);
    ASSERT_EQ(Run(false, {1, "PL"}), UpdateStep::ProgrammingFailed);
    EXPECT_EQ(log.lines.mid(log.lines.size() - 2),
              QStringList({U("Błąd ładowania strony 0x040."), U("Błąd programowania DataFlash.")}));
    EXPECT_EQ(UpdateJob::StatusAfter(UpdateStep::ProgrammingFailed), U("Aktualizacja nie powiodła się."));
    EXPECT_EQ(UpdateJob::StatusAfter(UpdateStep::Done), U("Aktualizacja zakończona OK."));
    EXPECT_FALSE(Sent(0xAD));
    EXPECT_EQ(sim->Settings().EffectiveVersion(), "V4.0.1");
    EXPECT_EQ(progress.Position(), 0);
}

// The controller loses the link right after the last page: the update start
// never reaches it, it keeps its program and does not restart. Not done, and
// the text area keeps what was written there.
TEST_F(UpdateJobTest, UpdateStartThatNeverArrivedIsNotDone) {
    sim::SimConfig controller = Controller(sim::Generation::New);
    controller.faults.closeBeforeUpdateStart = true;
    Start(controller);
    ShortenLinkTimeout(1000);
    ASSERT_EQ(Run(false, {1, "PL"}), UpdateStep::ProgrammingFailed);
    EXPECT_EQ(log.lines.mid(2), QStringList({U("Programowanie DataFlash-a OK."), U("Aktualizuję ..."),
                                             U("Błąd : QuelNet nie rozpoczął aktualizacji (nie wykryto jego "
                                               "restartu)."),
                                             U("Błąd programowania DataFlash.")}));
    EXPECT_FALSE(Sent(0xAD)); // it never arrived
    EXPECT_EQ(sim->Restarts(), 0);
    EXPECT_EQ(sim->Settings().EffectiveVersion(), "V4.0.1");
    const QByteArray expected = GroupImage("PL", "V401f", SealedProgram("IP_QueL.hex", "  ", "V401f"));
    EXPECT_EQ(sim->Flash(), expected); // the texts were not cleared
}

// V4.0.1f installed, but the controller is not back in time to clear the
// texts: an outcome of its own, with a status that says so.
TEST_F(UpdateJobTest, TextsNotClearedAfterTheRestartIsAnOutcomeOfItsOwn) {
    sim::SimConfig controller = Controller(sim::Generation::New);
    controller.restartDelayMs = 60000;
    StartSim(controller);
    ASSERT_EQ(Run(false, {1, "PL"}), UpdateStep::TextsNotCleared);
    EXPECT_EQ(log.lines.mid(2), QStringList({U("Programowanie DataFlash-a OK."), U("Aktualizacja OK."),
                                             U("Restart QuelNet-a."), U("Ponowne łączenie ..."),
                                             U("Błąd : nie można nawiązać połączenia ze QuelNet-em.")}));
    EXPECT_EQ(UpdateJob::StatusAfter(UpdateStep::TextsNotCleared),
              U("Aktualizacja zakończona z błędami – teksty nie zostały wyczyszczone."));
    EXPECT_EQ(sim->Settings().EffectiveVersion(), "V4.0.1f");
}

TEST(UpdateJobPackage, LanguagesOfEachTargetVersion) {
    UseProgramPackage();
    EXPECT_EQ(UpdateJob::VersionNames(), QStringList({"V2.1.4", "V4.0.1f"}));
    EXPECT_EQ(UpdateJob::Languages(0), QStringList({"PL", "LT"}));
    EXPECT_EQ(UpdateJob::Languages(1), QStringList({"PL"}));
    EXPECT_TRUE(UpdateJob::Languages(2).isEmpty());
}

} // namespace
