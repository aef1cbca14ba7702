// The panel check against panel files written for it: each problem found at
// its block's line, and nothing reported for a sound element. Picture files
// are real files with and without a format's signature.
#include "cli/PanelCheck.h"
#include "cli/PictureFiles.h"

#include <QFile>
#include <QRect>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quelnet::cli;

namespace {

// Builds a panel file and remembers the line of each block's type line.
struct PanelText {
    QStringList lines{"{", "x_tp=scr", "x_px=0", "x_py=0", "x_pw=700", "x_ph=400", "s_ws=0", "}"};

    int Block(const QString& tag, const QRect& r, const QStringList& keys, bool complete = true) {
        lines << "{"
              << "x_tp=" + tag;
        const int line = int(lines.size());
        lines << "x_px=" + QString::number(r.x()) << "x_py=" + QString::number(r.y());
        lines << "x_pw=" + QString::number(r.width());
        if (complete)
            lines << "x_ph=" + QString::number(r.height());
        lines << keys << "}";
        return line;
    }
};

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

using Found = QSet<QPair<int, QString>>; // (line, code)

Found Problems(const PanelReport& report) {
    Found found;
    for (const PanelProblem& p : report.problems)
        found.insert({p.line, p.code});
    return found;
}

class PanelCheckTest : public ::testing::Test {
protected:
    void SetUp() override {
        ok = dir.filePath("ok.png");
        WriteFile(ok, QByteArray::fromHex("89504E470D0A1A0A") + QByteArray(32, 'x'));
        fake = dir.filePath("fake.png");
        WriteFile(fake, "not a picture at all");
        missing = dir.filePath("missing.png");
    }
    QStringList Lamp(const QString& circuit, const QString& off, const QString& on) const {
        return {"iden=yes", "idho=127.0.0.1", "idpr=7080",  "idps=3958", "idic=" + circuit,
                "idim=0",   "idil=" + off,    "idih=" + on, "idfr=200"};
    }
    static QStringList Levels(const QList<QPair<QString, QString>>& levels) {
        QStringList keys;
        for (int i = 0; i < levels.size(); ++i)
            keys << QString("ial%1=%2").arg(i + 1).arg(levels[i].first)
                 << QString("iai%1=%2").arg(i + 1).arg(levels[i].second);
        return keys;
    }

    QTemporaryDir dir;
    QString ok, fake, missing;
};

} // namespace

TEST_F(PanelCheckTest, ASoundPanelHasNoProblems) {
    PanelText p;
    p.Block("idg", {16, 16, 44, 44}, Lamp("IN1", ok, ok));
    p.Block("tlb", {80, 16, 100, 20}, {"t_en=yes", "t_tx=Pompa"});
    p.Block("zda", {16, 80, 200, 30},
            {"z_en=yes", "z_ho=127.0.0.1", "z_pr=7080", "z_ps=3958", "z_oc=AOUT1", "z_st=10"});
    const PanelReport r = CheckPanelLines(p.lines);
    EXPECT_EQ(r.elements.size(), 3);
    EXPECT_TRUE(r.problems.isEmpty()) << r.Lines().join('\n').toStdString();
    EXPECT_EQ(r.Lines().last(), QString::fromUtf8("Elementów: 3, problemów: 0."));
}

TEST_F(PanelCheckTest, EachProblemIsFoundAtItsBlock) {
    PanelText p;
    const int noCircuit = p.Block("btn", {0, 0, 10, 10}, {"p_en=yes", "p_ho=127.0.0.1", "p_pr=7080"});
    const int badAddress =
        p.Block("btn", {0, 20, 10, 10}, {"p_en=yes", "p_ho=", "p_pr=7080", "p_oc=VERYLONGNAME"});
    // Level 3 (15) is not above level 2 (20): values above 20 choose level 3.
    const QString l = ok;
    const int outOfOrder = p.Block(
        "ian", {0, 40, 10, 10},
        QStringList{"iaen=yes", "iaho=127.0.0.1", "iapr=7080", "iaic=AN1", "iaid=" + ok} +
            Levels({{"10", l}, {"20", l}, {"15", l}, {"30", l}, {"40", l}, {"50", l}, {"60", l}, {"70", l}}));
    // Untouched levels (all 0, no pictures): any value above 0 chooses level 8.
    const int untouched = p.Block("ian", {0, 60, 10, 10},
                                  {"iaen=yes", "iaho=127.0.0.1", "iapr=7080", "iaic=AN2", "iaid=" + ok});
    const int pictures = p.Block("idg", {0, 80, 10, 10}, Lamp("IN2", missing, fake));
    const int noPicture = p.Block("idg", {0, 100, 10, 10}, Lamp("IN3", ok, ""));
    // No height: the slot is taken but no slider is created, and the next
    // slider block fills the same slot with the first one's circuit.
    const int incomplete =
        p.Block("zda", {0, 120, 10, 10}, {"z_ho=127.0.0.1", "z_pr=7080", "z_oc=AOUT1"}, false);
    const int inheriting = p.Block("zda", {0, 140, 10, 10}, {"z_en=yes"});
    const int firstLabel = p.Block("tlb", {200, 0, 50, 10}, {"t_tx=A"});
    const int secondLabel = p.Block("tlb", {200, 0, 50, 10}, {"t_tx=B"});
    Q_UNUSED(firstLabel);

    const PanelReport r = CheckPanelLines(p.lines);
    EXPECT_EQ(r.elements.size(), 9);
    const Found expected{{noCircuit, "no-circuit"},
                         {badAddress, "no-address"},
                         {badAddress, "name-too-long"},
                         {outOfOrder, "level-never-shown"},
                         {untouched, "level-without-picture"},
                         {pictures, "picture-missing"},
                         {pictures, "picture-format"},
                         {noPicture, "picture-empty"},
                         {incomplete, "block-creates-nothing"},
                         {inheriting, "slot-shared"},
                         {secondLabel, "same-rectangle"}};
    EXPECT_EQ(Problems(r), expected) << r.Lines().join('\n').toStdString();
    EXPECT_EQ(r.problems.size(), expected.size()); // each once

    const auto text = [&](const char* code) {
        for (const PanelProblem& pr : r.problems)
            if (pr.code == code)
                return pr.where + ": " + pr.text;
        return QString();
    };
    EXPECT_EQ(
        text("level-never-shown"),
        QString::fromUtf8("wiersz %1: Wskaźnik analogowy (0, 40, 10×10): obrazek poziomu 2 (20) nigdy nie "
                          "zostanie pokazany: poziom 3 (15) nie jest od niego wyższy")
            .arg(outOfOrder));
    EXPECT_EQ(
        text("level-without-picture"),
        QString::fromUtf8("wiersz %1: Wskaźnik analogowy (0, 60, 10×10): poziom 8 (0) nie ma obrazka: dla "
                          "wartości tego poziomu element nic nie pokaże")
            .arg(untouched));
    EXPECT_EQ(
        text("picture-empty"),
        QString::fromUtf8("wiersz %1: Wskaźnik cyfrowy (0, 100, 10×10): „Stan - obrazek 1 ( aktywny )”: "
                          "brak obrazka")
            .arg(noPicture));
    EXPECT_EQ(text("slot-shared"),
              QString::fromUtf8("wiersz %1: blok „zda”: blok zajmuje to samo miejsce w "
                                "tablicy elementów co blok z wiersza %2 i przejmuje jego "
                                "ustawienia")
                  .arg(inheriting)
                  .arg(incomplete));
}

TEST(PictureFiles, SignaturesOfTheSupportedFormats) {
    const struct {
        QByteArray head;
        const char* format;
    } cases[] = {
        {QByteArray::fromHex("89504E470D0A1A0A0000"), "png"},
        {"GIF87a..", "gif"},
        {"GIF89a..", "gif"},
        {QByteArray::fromHex("FFD8FFE000104A46"), "jpeg"},
        {QByteArray::fromHex("0000010001002020"), "ico"},
        {"BM6\x0c\0\0", "bmp"},
        {QByteArray::fromHex("0000020001002020"), ""}, // a cursor, not an icon
        {"GIF90a", ""},
        {QByteArray::fromHex("89504E47"), ""}, // cut short
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PictureFormat(c.head), QString::fromLatin1(c.format)) << c.head.toHex().toStdString();
}

TEST(PictureFiles, MissingFoldersAndForeignFiles) {
    QTemporaryDir dir;
    EXPECT_EQ(CheckPictureFile(dir.filePath("none.bmp")), PictureState::Missing);
    EXPECT_EQ(CheckPictureFile(dir.path()), PictureState::Missing); // a folder
    EXPECT_EQ(CheckPictureFile(""), PictureState::Missing);
    const QString text = dir.filePath("a.bmp");
    WriteFile(text, "hello");
    EXPECT_EQ(CheckPictureFile(text), PictureState::UnknownFormat);
    const QString gif = dir.filePath("a.gif");
    WriteFile(gif, "GIF89a\x01\x00");
    EXPECT_EQ(CheckPictureFile(gif), PictureState::Ok);
}

TEST(PictureFiles, AFileThatCannotBeOpenedIsUnreadable) {
    QTemporaryDir dir;
    const QString gif = dir.filePath("a.gif");
    WriteFile(gif, "GIF89a\x01\x00");
    QFile::setPermissions(gif, QFileDevice::Permissions());
    if (::geteuid() != 0) {
        EXPECT_EQ(CheckPictureFile(gif), PictureState::Unreadable);
        return;
    }
    // Root reads any file: the check runs in a child that has given up root,
    // as an installer's own account would run it.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                                          QFileDevice::ReadOther | QFileDevice::ExeOther);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(90);
        ::_exit(int(CheckPictureFile(gif)) + 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_NE(WEXITSTATUS(status), 90) << "could not give up root";
    EXPECT_EQ(WEXITSTATUS(status), int(PictureState::Unreadable) + 1);
}
