// The settings back-up and restore against simulated controllers over
// loopback: files byte for byte, the questions and their answers, the file
// rules, and what reaches the controller.
#include "tests/core/link/LinkFixtures.h"
#include "tests/core/link/SimFixture.h"
#include "tests/support/ControllerAreas.h"
#include "tests/support/ScriptedDialogs.h"

#include "core/jobs/SettingsJob.h"
#include "core/jobs/SettingsSummary.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

using namespace quelnet;
using namespace quelnet::test;

namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

Message Warning(const char* text) {
    return {U("Ostrzeżenie"), U(text), MessageIcon::Warning, MessageButtons::Ok};
}
Message Error(const char* text) {
    return {U("Błąd"), U(text), MessageIcon::Error, MessageButtons::Ok};
}
Message Question(const char* text) {
    return {U("Pytanie"), U(text), MessageIcon::Question, MessageButtons::YesNo};
}

const Message OverwriteQuestion = Question("Czy nadpisać ustawienia sieciowe i hasła QuelNet-a ?");
const Message ReplaceQuestion = Question("Czy zastąpić istniejący plik ?");

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

// Command bytes of the long frames a controller received, in order.
QList<int> Commands(const sim::SimThread& s) {
    QList<int> c;
    for (const QByteArray& r : s.Requests())
        c.append(r.size() > 12 && uchar(r[1]) == 0x80 ? uchar(r[12]) : -1);
    return c;
}

QList<int> Repeated(int command, int count) {
    return QList<int>(count, command);
}

class SettingsJobTest : public ::testing::Test {
protected:
    SettingsJobTest() {
        TfmCommon::Timeouts t;
        t.RetryPause = 1;
        common.SetTimeouts(t);
    }

    std::unique_ptr<sim::SimThread> StartController(const QByteArray& flash, bool jumper = true) {
        sim::SimConfig config;
        config.jumper = jumper;
        config.restartDelayMs = 50;
        auto s = std::make_unique<sim::SimThread>(config);
        EXPECT_TRUE(s->Start()) << s->ErrorText().toStdString();
        s->SetFlash(flash);
        return s;
    }
    static ControllerTarget Target(const sim::SimThread& s) {
        return {Loopback, QString::number(s.TcpPort()), SimPassword};
    }
    bool BackUp(const ControllerTarget& target) {
        SettingsJob job(common, {dialogs, dialogs, log, progress, &pump});
        return job.BackUp(target);
    }
    bool Restore(const ControllerTarget& target) {
        SettingsJob job(common, {dialogs, dialogs, log, progress, &pump});
        return job.Restore(target);
    }
    QString Path(const QString& name) const { return dir.filePath(name); }

    TfmCommon common;
    ScriptedDialogs dialogs;
    RecordingLog log;
    RecordingProgress progress;
    CallbackPump pump{[] {}};
    QTemporaryDir dir;

    const QByteArray configA = ConfigArea({QByteArray::fromHex("0a010203"), QByteArray::fromHex("ffff0000"),
                                           QByteArray::fromHex("001a2b3c4d5e"), "3958", "kpnv"},
                                          11);
    const QByteArray textsA = Pattern(TextsBytes, 12);
    const QByteArray configB = ConfigArea({QByteArray::fromHex("c0a800b1"), QByteArray::fromHex("ffffff00"),
                                           QByteArray::fromHex("020000000001"), "1111", "zzzz"},
                                          21);
    const QByteArray textsB = Pattern(TextsBytes, 22);
};

} // namespace

TEST_F(SettingsJobTest, BackUpAndRestoreBetweenTwoControllers) {
    auto a = StartController(FlashWith(configA, textsA));
    dialogs.paths = {Path("Conf.QNC"), Path("Text.QNT")};
    ASSERT_TRUE(BackUp(Target(*a)));
    EXPECT_EQ(ReadAll(Path("Conf.QNC")), configA);
    EXPECT_EQ(ReadAll(Path("Text.QNT")), textsA);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    ASSERT_EQ(dialogs.choices.size(), 2);
    EXPECT_EQ(dialogs.choices[0].title, U("Zapis konfiguracji QuelNet-a."));
    EXPECT_EQ(dialogs.choices[0].filter, U("Ustawienia QuelNet-a|*.QNC"));
    EXPECT_EQ(dialogs.choices[1].title, U("Zapis tekstów QuelNet-a."));
    EXPECT_EQ(dialogs.choices[1].filter, U("Teksty QuelNet-a|*.QNT"));
    EXPECT_EQ(dialogs.trail, QStringList({"save Conf.QNC", "save Text.QNT"}));
    EXPECT_EQ(log.lines, QStringList({U("Przepisywanie konfiguracji OK."), U("Odczyt konfiguracji OK."),
                                      U("Odczyt tekstów OK.")}));
    EXPECT_EQ(Commands(*a).mid(0, 2), QList<int>({0xAA, 0xAF}));

    const Message summary = {U("Ostrzeżenie"),
                             U("Zostaną wprogramowane następujące ustawienia.\r\r"
                               "MAC: 00-1A-2B-3C-4D-5E\rIP: 10.1.2.3\rMaska: 255.255.0.0\rHasło: kpnv\r\r"
                               "Czy nadpisać ustawienia ?"),
                             MessageIcon::Warning, MessageButtons::YesNo};
    struct Row {
        const char* what;
        QList<bool> answers;
        QList<Message> boxes;
        QList<int> takeOver;
        QStringList logEnd;
    };
    const Row rows[] = {
        {"network settings overwritten",
         {true, true},
         {OverwriteQuestion, summary},
         {0xAE, 0xAB},
         {U("Przepisywanie konfiguracji OK."), U("Reset QuelNet-a.")}},
        {"question answered No", {false}, {OverwriteQuestion}, {0xAC}, {U("Przepisywanie konfiguracji OK.")}},
        {"summary answered No",
         {true, false},
         {OverwriteQuestion, summary},
         {0xAC},
         {U("Przepisywanie konfiguracji OK.")}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        auto b = StartController(FlashWith(configB, textsB));
        dialogs = ScriptedDialogs();
        dialogs.paths = {Path("Conf.QNC"), Path("Text.QNT")};
        dialogs.answers = row.answers;
        EXPECT_TRUE(Restore(Target(*b)));
        EXPECT_EQ(dialogs.messages, row.boxes);
        ASSERT_EQ(dialogs.choices.size(), 2);
        EXPECT_EQ(dialogs.choices[0].title, U("Odczyt konfiguracji QuelNet-a."));
        EXPECT_EQ(dialogs.choices[0].filter, U("Ustawienia QuelNet-a|*.QNC"));
        EXPECT_EQ(dialogs.choices[0].fileName, "Conf.QNC");
        EXPECT_EQ(dialogs.choices[1].title, U("Odczyt tekstów QuelNet-a."));
        EXPECT_EQ(dialogs.choices[1].filter, U("Teksty QuelNet-a|*.QNT"));
        EXPECT_EQ(dialogs.choices[1].fileName, "Text.QNT");

        const QList<int> expected = QList<int>{0xAA} + Repeated(0xA1, 160) + row.takeOver;
        EXPECT_TRUE(WaitUntil([&] { return Commands(*b).size() == expected.size(); }));
        EXPECT_EQ(Commands(*b), expected);
        EXPECT_EQ(ConfigOf(b->Flash()), configA);
        EXPECT_EQ(TextsOf(b->Flash()), textsA);
        EXPECT_EQ(log.lines, QStringList({U("Zapis konfiguracji OK."), U("Zapis tekstów OK.")}) + row.logEnd);
    }
}

TEST(SettingsSummaryText, ShowsTheConfigurationPasswordUpToItsOwnZeroByte) {
    struct Row {
        const char* what;
        QByteArray controlPassword, configPassword;
        const char* shown;
    };
    const Row rows[] = {
        {"default passwords", "3958", "kpnv", "kpnv"},
        {"empty control password", "", "kpnv", "kpnv"},
        {"control password longer", "1234567890", "ab", "ab"},
        {"sixteen characters, no zero byte", "3958", "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOP"},
        {"empty configuration password", "3958", "", ""},
        {"code page character", "3958", "\xB9x", "ąx"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        QByteArray config =
            ConfigArea({QByteArray::fromHex("c0a800b1"), QByteArray::fromHex("ffffff00"),
                        QByteArray::fromHex("0a0bfe000102"), row.controlPassword, row.configPassword},
                       3);
        if (QByteArray(row.configPassword).size() == 16)
            config[74] = 'Z'; // the byte after the field is not shown
        const QString controlInUse = QString::fromLatin1(row.controlPassword); // unchanged: no notice
        EXPECT_EQ(SettingsSummary(config, controlInUse),
                  U("Zostaną wprogramowane następujące ustawienia.\r\rMAC: 0A-0B-FE-00-01-02\r"
                    "IP: 192.168.0.177\rMaska: 255.255.255.0\rHasło: ") +
                      U(row.shown) + U("\r\rCzy nadpisać ustawienia ?"));
        EXPECT_EQ(SettingsSummary(config, controlInUse, SummaryPassword::Masked),
                  U("Zostaną wprogramowane następujące ustawienia.\r\rMAC: 0A-0B-FE-00-01-02\r"
                    "IP: 192.168.0.177\rMaska: 255.255.255.0\rHasło: ********\r\rCzy nadpisać ustawienia ?"));
    }
}

// The control password of the file against the one the controller was reached
// with, compared as the controller compares them: the 16-byte blocks in the
// code page, up to their first zero byte. It is never shown.
TEST(SettingsSummaryText, SaysWhenTheControlPasswordChanges) {
    const QString notice = U("\r\rHasło sterowania QuelNet-a zmieni się na hasło zapisane w pliku: panel i "
                             "okna będą się z nim łączyć tylko z tym hasłem.\r\rCzy nadpisać ustawienia ?");
    struct Row {
        const char* what;
        QByteArray inFile;
        const char* inUse;
        bool changes;
    };
    const Row rows[] = {
        {"same", "3958", "3958", false},
        {"other", "1111", "3958", true},
        {"empty in the file", "", "3958", true},
        {"empty in use", "3958", "", true},
        {"a prefix", "395", "3958", true},
        {"typed longer than the field", "ABCDEFGHIJKLMNOP", "ABCDEFGHIJKLMNOPQ", false},
        {"code page character", "\xB9x", "ąx", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const QByteArray config =
            ConfigArea({QByteArray::fromHex("c0a800b1"), QByteArray::fromHex("ffffff00"),
                        QByteArray::fromHex("0a0bfe000102"), row.inFile, "kpnv"},
                       3);
        const QString summary = SettingsSummary(config, U(row.inUse));
        EXPECT_EQ(summary.endsWith(notice), row.changes) << summary.toStdString();
        EXPECT_EQ(ControlPasswordChanges(config, U(row.inUse)), row.changes);
        if (!QByteArray(row.inFile).isEmpty()) {
            EXPECT_FALSE(summary.contains(QString::fromLatin1(row.inFile))) << summary.toStdString();
        }
    }
}

// The window's restore of another controller's file: the summary tells that
// the control password changes.
TEST_F(SettingsJobTest, TheSummaryTellsThatTheControlPasswordChanges) {
    auto a = StartController(FlashWith(configA, textsA));
    WriteAll(Path("Conf.QNC"), configB); // control password 1111, the controller is reached with 3958
    dialogs.paths = {Path("Conf.QNC"), std::nullopt};
    dialogs.answers = {true, false};
    EXPECT_TRUE(Restore(Target(*a)));
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_EQ(
        dialogs.messages[1].text,
        U("Zostaną wprogramowane następujące ustawienia.\r\rMAC: 02-00-00-00-00-01\rIP: 192.168.0.177\r"
          "Maska: 255.255.255.0\rHasło: zzzz\r\rHasło sterowania QuelNet-a zmieni się na hasło zapisane "
          "w pliku: panel i okna będą się z nim łączyć tylko z tym hasłem.\r\rCzy nadpisać ustawienia ?"));
}

TEST_F(SettingsJobTest, UnsuitableControllersAreRefusedBeforeAnyTransfer) {
    auto noJumper = StartController(FlashWith(configA, textsA), false);
    const ControllerTarget nobody = {Loopback, QString::number(ClosedPort()), SimPassword};
    struct Row {
        const char* what;
        ControllerTarget target;
        bool restore;
        Message warning;
    };
    const Row rows[] = {
        {"no controller, back-up", nobody, false, Warning("Nie wykryto QuelNet-a wersji 4.x.x.")},
        {"no controller, restore", nobody, true, Warning("Nie wykryto QuelNet-a wersji 4.x.x.")},
        {"jumper missing, back-up", Target(*noJumper), false,
         Warning("Brak zwory zezwalającej na odczyt konfiguracji.")},
        {"jumper missing, restore", Target(*noJumper), true,
         Warning("Brak zwory zezwalającej na zapis konfiguracji.")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        dialogs = ScriptedDialogs();
        dialogs.paths = {Path("Conf.QNC"), Path("Text.QNT")};
        noJumper->ClearRequests();
        EXPECT_FALSE(row.restore ? Restore(row.target) : BackUp(row.target));
        EXPECT_EQ(dialogs.messages, QList<Message>{row.warning});
        EXPECT_TRUE(dialogs.choices.isEmpty());
        EXPECT_TRUE(log.lines.isEmpty());
        if (row.target.port == Target(*noJumper).port) {
            EXPECT_EQ(Commands(*noJumper), QList<int>{0xAA});
        }
    }
    EXPECT_FALSE(QFile::exists(Path("Conf.QNC")));
}

TEST_F(SettingsJobTest, FileSizeRules) {
    struct Row {
        const char* what;
        bool texts;        // the text file is chosen, the other dialog cancelled
        int size;          // -1: no file at the path; -2: the path is a folder
        const char* error; // nullptr: accepted
    };
    const Row rows[] = {
        {"configuration one byte short", false, 8191, "Nie mogę odczytać pliku."},
        {"configuration exact", false, 8192, nullptr},
        {"configuration one byte long", false, 8193, nullptr},
        {"configuration empty", false, 0, "Nie mogę odczytać pliku."},
        {"configuration missing", false, -1, "Plik nie istnieje."},
        {"configuration is a folder", false, -2, "Nie mogę otworzyć pliku."},
        {"texts one byte short", true, 32767, "Nie mogę odczytać pliku."},
        {"texts one byte long", true, 32769, nullptr},
    };
    auto b = StartController(FlashWith(configB, textsB));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        b->SetFlash(FlashWith(configB, textsB));
        b->ClearRequests();
        const QByteArray content = Pattern(qMax(row.size, 0), row.size & 0xFF);
        const QString path = Path(QString("file%1").arg(row.size));
        if (row.size >= 0)
            WriteAll(path, content);
        if (row.size == -2) {
            ASSERT_TRUE(QDir().mkpath(path));
        }
        dialogs = ScriptedDialogs();
        dialogs.paths = row.texts ? QList<std::optional<QString>>{std::nullopt, path}
                                  : QList<std::optional<QString>>{path, std::nullopt};
        dialogs.answers = {false}; // keep the network settings

        const bool done = Restore(Target(*b));
        if (row.error) {
            EXPECT_FALSE(done);
            EXPECT_EQ(dialogs.messages, QList<Message>{Error(row.error)});
            EXPECT_EQ(Commands(*b), QList<int>{0xAA}); // nothing loaded, nothing sent
            EXPECT_EQ(b->Flash(), FlashWith(configB, textsB));
            continue;
        }
        EXPECT_TRUE(done);
        if (row.texts) {
            EXPECT_TRUE(dialogs.messages.isEmpty());
            EXPECT_EQ(Commands(*b), QList<int>{0xAA} + Repeated(0xA1, 128));
            EXPECT_EQ(TextsOf(b->Flash()), content.left(TextsBytes));
        } else {
            EXPECT_EQ(dialogs.messages, QList<Message>{OverwriteQuestion});
            EXPECT_EQ(Commands(*b), QList<int>{0xAA} + Repeated(0xA1, 32) + QList<int>{0xAC});
            EXPECT_EQ(ConfigOf(b->Flash()), content.left(ConfigBytes));
            EXPECT_EQ(TextsOf(b->Flash()), textsB);
        }
    }
}

TEST_F(SettingsJobTest, AnExistingFileIsReplacedOnlyAfterYes) {
    auto a = StartController(FlashWith(configA, textsA));
    const QByteArray oldConfig(5000, 'c'), oldTexts(40000, 't');
    WriteAll(Path("Conf.QNC"), oldConfig);
    WriteAll(Path("Text.QNT"), oldTexts);
    dialogs.paths = {Path("Conf.QNC"), Path("Text.QNT")};
    dialogs.answers = {false, true};
    EXPECT_TRUE(BackUp(Target(*a)));
    EXPECT_EQ(dialogs.trail, QStringList({"save Conf.QNC", "box " + ReplaceQuestion.text, "save Text.QNT",
                                          "box " + ReplaceQuestion.text}));
    EXPECT_EQ(dialogs.messages, QList<Message>({ReplaceQuestion, ReplaceQuestion}));
    EXPECT_EQ(ReadAll(Path("Conf.QNC")), oldConfig);
    EXPECT_EQ(ReadAll(Path("Text.QNT")), textsA); // written whole: the longer old file is gone
}

// Keeps files written by this process below `bytes` while it lives; a write
// beyond fails (EFBIG) instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

TEST_F(SettingsJobTest, AFailedWriteKeepsTheOldFile) {
    auto a = StartController(FlashWith(configA, textsA));
    const QByteArray oldConfig(ConfigBytes, 'c'), oldTexts(TextsBytes, 't');
    WriteAll(Path("Conf.QNC"), oldConfig);
    WriteAll(Path("Text.QNT"), oldTexts);
    dialogs.paths = {Path("Conf.QNC"), Path("Text.QNT")};
    dialogs.answers = {true, true};
    std::unique_ptr<FileSizeLimit> limit;
    dialogs.onAsk = [&limit] {
        // The areas are read by now; from here on no file can grow beyond 4 KiB.
        if (!limit)
            limit = std::make_unique<FileSizeLimit>(4096);
    };
    EXPECT_FALSE(BackUp(Target(*a)));
    limit.reset();
    EXPECT_EQ(dialogs.messages, QList<Message>({ReplaceQuestion, Error("Nie mogę zapisać pliku."),
                                                ReplaceQuestion, Error("Nie mogę zapisać pliku.")}));
    EXPECT_EQ(ReadAll(Path("Conf.QNC")), oldConfig);
    EXPECT_EQ(ReadAll(Path("Text.QNT")), oldTexts);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"Conf.QNC", "Text.QNT"})); // no leftovers
}

TEST_F(SettingsJobTest, AFileThatCannotBeCreatedLeavesTheOtherOneSaved) {
    auto a = StartController(FlashWith(configA, textsA));
    dialogs.paths = {Path("no-such-folder/Conf.QNC"), Path("Text.QNT")};
    EXPECT_FALSE(BackUp(Target(*a)));
    EXPECT_EQ(dialogs.messages, QList<Message>{Error("Nie mogę utworzyć pliku.")});
    EXPECT_EQ(ReadAll(Path("Text.QNT")), textsA);
}

TEST_F(SettingsJobTest, CancellingOneDialogStillOffersTheOther) {
    auto a = StartController(FlashWith(configA, textsA));
    dialogs.paths = {std::nullopt, Path("Text.QNT")};
    EXPECT_TRUE(BackUp(Target(*a)));
    EXPECT_EQ(dialogs.trail, QStringList({"save Conf.QNC", "save Text.QNT"}));
    EXPECT_FALSE(QFile::exists(Path("Conf.QNC")));
    EXPECT_EQ(ReadAll(Path("Text.QNT")), textsA);

    // Restoring the texts alone: no question, nothing taken over, no restart.
    auto b = StartController(FlashWith(configB, textsB));
    dialogs = ScriptedDialogs();
    dialogs.paths = {std::nullopt, Path("Text.QNT")};
    EXPECT_TRUE(Restore(Target(*b)));
    EXPECT_EQ(dialogs.trail, QStringList({"open Conf.QNC", "open Text.QNT"}));
    EXPECT_EQ(Commands(*b), QList<int>{0xAA} + Repeated(0xA1, 128));
    EXPECT_EQ(b->Flash(), FlashWith(configB, textsA));
    EXPECT_EQ(log.lines, QStringList{U("Zapis tekstów OK.")});

    // Both cancelled: nothing is sent.
    b->ClearRequests();
    dialogs = ScriptedDialogs();
    EXPECT_FALSE(Restore(Target(*b)));
    EXPECT_EQ(dialogs.trail, QStringList({"open Conf.QNC", "open Text.QNT"}));
    EXPECT_EQ(Commands(*b), QList<int>{0xAA});
}
