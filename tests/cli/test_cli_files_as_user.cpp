// backup into a folder where the user may write the old files but create no
// new one (folder 0555, files 0644 of that user): the files are rewritten in
// place, and a rewrite that cannot be finished puts the old bytes back. Root
// passes every permission test, so when the tests run as root the program
// runs as the unprivileged uid 65534, and the test first checks that the
// folder is really closed to that user.
#include "tests/cli/CliProcess.h"
#include "tests/support/ControllerAreas.h"

#include <QDir>
#include <sys/stat.h>

using namespace quelnet;
using namespace quelnet::test;

namespace {

const ConfigFields Fields{QByteArray::fromHex("C0A80A14"), QByteArray::fromHex("FFFFFF00"),
                          QByteArray::fromHex("001A2B3C4D5E"), "3958", "kpnv"};

class BackupAsUser : public CliTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        ASSERT_EQ(chmod(QFile::encodeName(dir.path()).constData(), 0755), 0); // others may pass
        folder = File("closed");
        ASSERT_TRUE(QDir().mkdir(folder));
        WriteAll(Config(), oldConfig);
        WriteAll(Texts(), oldTexts);
        for (const QString& path : {folder, Config(), Texts()})
            ASSERT_EQ(chown(QFile::encodeName(path).constData(), TestUser(), TestUser()), 0);
        ASSERT_EQ(chmod(QFile::encodeName(folder).constData(), 0555), 0);
        // The test shows nothing when the user may create files in the folder.
        ASSERT_EQ(RunAsTestUser("test", {"-w", folder}).exit, 1) << "the folder is open to the test user";
    }
    void TearDown() override { chmod(QFile::encodeName(folder).constData(), 0755); }

    QString Config() const { return folder + "/Conf.QNC"; }
    QString Texts() const { return folder + "/Text.QNT"; }
    QStringList Entries() const { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }
    CtlRun Backup(const sim::SimThread& s, qint64 fileSizeLimit = -1) {
        return CtlAsTestUser({"backup", Host(s), "--config", Config(), "--texts", Texts(), "--yes"},
                             fileSizeLimit);
    }

    QString folder;
    const QByteArray oldConfig = QByteArray(100, 'c');  // shorter than the area
    const QByteArray oldTexts = QByteArray(40000, 't'); // longer than the area
};

} // namespace

TEST_F(BackupAsUser, OldFilesAreRewrittenInPlace) {
    sim::SimThread& s = Sim();
    s.SetFlash(FlashWith(ConfigArea(Fields, 4), Pattern(TextsBytes, 9)));
    const CtlRun r = Backup(s);
    ASSERT_EQ(r.exit, 0) << r.Dump();
    EXPECT_EQ(ReadAll(Config()), ConfigOf(s.Flash()));
    EXPECT_EQ(ReadAll(Texts()), TextsOf(s.Flash())); // nothing of the longer old file left
    EXPECT_EQ(Entries(), QStringList({"Conf.QNC", "Text.QNT"}));
}

// The new content cannot be written whole (a file size limit, as on a full
// disk): the old bytes are put back and the error texts are the usual ones.
TEST_F(BackupAsUser, ARewriteThatFailsPutsTheOldBytesBack) {
    sim::SimThread& s = Sim();
    s.SetFlash(FlashWith(ConfigArea(Fields, 4), Pattern(TextsBytes, 9)));
    const CtlRun r = Backup(s, 4096);
    EXPECT_EQ(r.exit, 1) << r.Dump();
    EXPECT_EQ(r.err.count(U("Błąd: Nie mogę zapisać pliku.")), 2) << r.Dump();
    EXPECT_EQ(ReadAll(Config()), oldConfig);
    EXPECT_EQ(ReadAll(Texts()), oldTexts);
    EXPECT_EQ(Entries(), QStringList({"Conf.QNC", "Text.QNT"}));
}

// A new file in the closed folder still cannot be made.
TEST_F(BackupAsUser, ANewFileInTheClosedFolderCannotBeCreated) {
    sim::SimThread& s = Sim();
    const CtlRun r = CtlAsTestUser({"backup", Host(s), "--config", folder + "/New.QNC"});
    EXPECT_EQ(r.exit, 1) << r.Dump();
    EXPECT_TRUE(r.err.contains(U("Błąd: Nie mogę utworzyć pliku."))) << r.Dump();
    EXPECT_EQ(Entries(), QStringList({"Conf.QNC", "Text.QNT"}));
}
