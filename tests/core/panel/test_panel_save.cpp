// Saving the panel file as a user who may write the file but not its folder
// (folder 0555, file 0644 of that user): no temporary file can be made beside
// it, so the file is rewritten in place. Root passes every permission test, so
// when the tests run as root (as in CI) the save runs in a probe process under
// the unprivileged uid 65534 (setpriv), and the probe reports that the folder
// is really closed to it: the test cannot pass on root's rights.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr uid_t Unprivileged = 65534;

QByteArray Lines(char letter, int count) {
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += QByteArray(30, letter) + "\r\n";
    return out;
}

class PanelSaveAsUser : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_folder = m_dir.filePath("panel");
        m_path = m_folder + "/quelnet_scr.cnf";
        ASSERT_TRUE(QDir().mkdir(m_folder));
        Write(m_old);
        ASSERT_EQ(chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0); // others may pass
        if (geteuid() == 0) {
            ASSERT_EQ(chown(QFile::encodeName(m_folder).constData(), Unprivileged, Unprivileged), 0);
            ASSERT_EQ(chown(QFile::encodeName(m_path).constData(), Unprivileged, Unprivileged), 0);
        }
        ASSERT_EQ(chmod(QFile::encodeName(m_path).constData(), 0644), 0);
        ASSERT_EQ(chmod(QFile::encodeName(m_folder).constData(), 0555), 0);
    }
    void TearDown() override { chmod(QFile::encodeName(m_folder).constData(), 0755); }

    void Write(const QByteArray& bytes) {
        QFile f(m_path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    std::string Content() const {
        QFile f(m_path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "(unreadable)";
    }

    // Runs the probe as the file's owner; its output lines.
    QStringList Save(const QByteArray& bytes, qint64 fileSizeLimit = -1) {
        QStringList args{QString::fromLocal8Bit(QUELNET_SAVE_PROBE), m_path};
        if (fileSizeLimit >= 0)
            args << QString::number(fileSizeLimit);
        QString program = args.takeFirst();
        if (geteuid() == 0) {
            args.prepend(program);
            args = QStringList{"--reuid=" + QString::number(Unprivileged),
                               "--regid=" + QString::number(Unprivileged), "--clear-groups"} +
                   args;
            program = "setpriv";
        }
        QProcess probe;
        probe.start(program, args);
        probe.write(bytes);
        probe.closeWriteChannel();
        if (!probe.waitForFinished(30000))
            return {"probe did not finish: " + probe.errorString()};
        const QStringList out =
            QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
        if (!out.contains("folder-writable=0"))
            ADD_FAILURE() << "the folder is open to the saving user, the test shows nothing: "
                          << out.join(" | ").toStdString() << probe.readAllStandardError().toStdString();
        return out;
    }

    QStringList Entries() const { return QDir(m_folder).entryList(QDir::Files | QDir::Hidden); }
    void ProtectFile() { ASSERT_EQ(chmod(QFile::encodeName(m_path).constData(), 0444), 0); }

    const QByteArray m_old = Lines('o', 10);

private:
    QTemporaryDir m_dir;
    QString m_folder;
    QString m_path;
};

TEST_F(PanelSaveAsUser, FileIsRewrittenInPlaceWhenTheFolderIsClosed) {
    const QByteArray longer = Lines('n', 40), shorter = Lines('s', 2);
    EXPECT_TRUE(Save(longer).contains("saved"));
    EXPECT_EQ(Content(), longer.toStdString());
    EXPECT_TRUE(Save(shorter).contains("saved"));
    EXPECT_EQ(Content(), shorter.toStdString()); // nothing of the longer text left behind
    EXPECT_EQ(Entries(), QStringList({"quelnet_scr.cnf"}));
}

TEST_F(PanelSaveAsUser, WriteProtectedFileStaysAsItWas) {
    ProtectFile();
    const QStringList out = Save(Lines('n', 40));
    ASSERT_EQ(out.size(), 2);
    EXPECT_TRUE(out[1].startsWith("failed: ") && out[1].size() > 10) << out[1].toStdString(); // and why
    EXPECT_EQ(Content(), m_old.toStdString());
}

// The new text cannot be written whole (here: the file size limit, as on a
// full disk): the old text is put back, byte for byte.
TEST_F(PanelSaveAsUser, FailedRewriteLeavesTheOldContent) {
    const QStringList out = Save(Lines('n', 100), 1024);
    ASSERT_EQ(out.size(), 2);
    EXPECT_TRUE(out[1].startsWith("failed: ")) << out[1].toStdString();
    EXPECT_EQ(Content(), m_old.toStdString());
    EXPECT_EQ(Entries(), QStringList({"quelnet_scr.cnf"}));
}

} // namespace
