// Saving the panel file as a user who may write the file but not its folder
// (folder 0555, file 0644 of that user): no temporary file can be made beside
// it, so the file is rewritten in place. Root passes every permission test, so
// when the tests run as root (as in CI) the save runs in a probe process under
// the unprivileged uid 65534 (setpriv), and the probe reports that the folder
// is really closed to it: the test cannot pass on root's rights.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
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

// Where the panel file lives, decided by the program itself: a copy of the
// probe is put in a folder that its user may or may not write, and asked to
// save its panel file (--here). An installed program (folder closed to the
// user) keeps it in $XDG_CONFIG_HOME/quelnet; a portable copy beside itself;
// a panel file the user may write beside an installed program stays there
// and is rewritten in place. The probe reports whether the folder is closed
// to it, so no case passes on root's rights.
class PanelLocationAsUser : public ::testing::Test {
protected:
    enum class Beside { None, Writable, ReadOnly };

    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_EQ(chmod(QFile::encodeName(m_dir.path()).constData(), 0755), 0);
    }
    void TearDown() override { chmod(QFile::encodeName(m_prog).constData(), 0755); }

    // A fresh program folder with a copy of the probe, and a configuration folder.
    void Fresh(int n) {
        TearDown();
        const QString base = m_dir.filePath(QString::number(n));
        m_prog = base + "/prog";
        m_config = base + "/config";
        ASSERT_TRUE(QDir().mkpath(m_prog) && QDir().mkpath(m_config));
        m_probe = m_prog + "/panel_save_probe";
        ASSERT_TRUE(QFile::copy(QString::fromLocal8Bit(QUELNET_SAVE_PROBE), m_probe));
        ASSERT_EQ(chmod(QFile::encodeName(m_probe).constData(), 0755), 0);
        Own(m_config);
    }

    // As root, the probe's user (65534) must own what it may write.
    static void Own(const QString& path) {
        if (geteuid() == 0) {
            ASSERT_EQ(chown(QFile::encodeName(path).constData(), Unprivileged, Unprivileged), 0);
        }
    }

    void Prepare(bool folderWritable, Beside beside) {
        if (beside != Beside::None) {
            QFile f(BesidePath());
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(m_old);
            f.close();
            if (beside == Beside::Writable)
                Own(BesidePath());
            ASSERT_EQ(
                chmod(QFile::encodeName(BesidePath()).constData(), beside == Beside::Writable ? 0644 : 0444),
                0);
        }
        if (folderWritable)
            Own(m_prog);
        ASSERT_EQ(chmod(QFile::encodeName(m_prog).constData(), folderWritable ? 0755 : 0555), 0);
    }

    // Runs the probe's --here as the unprivileged user; its output lines.
    QStringList SaveHere(const QByteArray& bytes) {
        QStringList args{"--here"};
        QString program = m_probe;
        if (geteuid() == 0) {
            args = QStringList{"--reuid=" + QString::number(Unprivileged),
                               "--regid=" + QString::number(Unprivileged), "--clear-groups", program} +
                   args;
            program = "setpriv";
        }
        QProcess probe;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", m_config);
        probe.setProcessEnvironment(env);
        probe.start(program, args);
        probe.write(bytes);
        probe.closeWriteChannel();
        if (!probe.waitForFinished(30000))
            return {"probe did not finish: " + probe.errorString()};
        return QString::fromLocal8Bit(probe.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    }

    QString BesidePath() const { return m_prog + "/quelnet_scr.cnf"; }
    QString ConfigPath() const { return m_config + "/quelnet/quelnet_scr.cnf"; }
    static std::string Content(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : "(none)";
    }

    const QByteArray m_old = Lines('o', 3);

private:
    QTemporaryDir m_dir;
    QString m_prog, m_config, m_probe;
};

TEST_F(PanelLocationAsUser, InstalledProgramKeepsThePanelInTheUserConfigFolder) {
    const struct {
        const char* name;
        bool folderWritable;
        Beside beside;
        bool userConfig;
    } cases[] = {
        {"portable copy", true, Beside::None, false},
        {"installed", false, Beside::None, true},
        {"installed, a panel the user may write beside it", false, Beside::Writable, false},
        {"installed, a read-only panel beside it", false, Beside::ReadOnly, true},
    };
    int n = 0;
    for (const auto& c : cases) {
        Fresh(++n);
        Prepare(c.folderWritable, c.beside);
        const QByteArray bytes = Lines('n', 4);
        const QStringList out = SaveHere(bytes);
        const QString path = c.userConfig ? ConfigPath() : BesidePath();
        // the file read: the user's own once it exists, before that the installed one
        const QString read = c.beside == Beside::ReadOnly ? BesidePath() : path;
        EXPECT_EQ(out,
                  QStringList({QString("folder-writable=%1").arg(c.folderWritable ? 1 : 0), "path=" + path,
                               QString("user-config=%1").arg(c.userConfig ? 1 : 0), "read=" + read, "saved"}))
            << c.name;
        EXPECT_EQ(Content(path), bytes.toStdString()) << c.name;
        if (c.beside == Beside::ReadOnly) {
            EXPECT_EQ(Content(BesidePath()), m_old.toStdString()) << c.name;
        }
        if (c.beside == Beside::None && c.userConfig) {
            EXPECT_FALSE(QFileInfo::exists(BesidePath())) << c.name;
        }
    }
}

} // namespace
