#pragma once
// Helpers of the panel file and view tests: a temporary panel file location,
// panel windows shown offscreen, and field-by-field record comparison.
#include "core/panel/ElementModel.h"
#include "core/panel/PanelFile.h"
#include "gui/panel/PanelWindow.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

// Readable failure output for texts and text lists.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace quelnet::test {

// Points the panel file into a fresh temporary directory for one test.
class PanelFileFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QString::fromLatin1(PanelFileName));
        SetPanelFilePathOverride(m_path);
    }
    void TearDown() override { SetPanelFilePathOverride(QString()); }

    const QString& Path() const { return m_path; }
    QString DirPath(const QString& name) const { return m_dir.filePath(name); }

    void WriteFile(const QByteArray& bytes) const {
        QFile f(m_path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
    QByteArray ReadFile() const {
        QFile f(m_path);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }

    // A panel window in the given mode, shown: FormShow loads the panel file.
    static std::unique_ptr<TfmVQuelnet> ShowWindow(bool editMode) {
        auto w = std::make_unique<TfmVQuelnet>();
        w->EditMode = editMode;
        w->show();
        return w;
    }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

// CR LF after every line, as the panel file is written.
inline QByteArray CrLf(std::initializer_list<const char*> lines) {
    QByteArray out;
    for (const char* l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

// Fields buttons and digital indicators share, in record order.
template <typename Digital>
void ExpectSameDigitalFields(const Digital& a, const Digital& b) {
    EXPECT_EQ(a.sEnabled, b.sEnabled);
    EXPECT_EQ(a.sHost, b.sHost);
    EXPECT_EQ(a.sPort, b.sPort);
    EXPECT_EQ(a.sPass, b.sPass);
    EXPECT_EQ(a.sO_DCir, b.sO_DCir);
    EXPECT_EQ(a.sO_Mode, b.sO_Mode);
    EXPECT_EQ(a.sI_DCir, b.sI_DCir);
    EXPECT_EQ(a.sI_Conn, b.sI_Conn);
    EXPECT_EQ(a.sI_ImgL, b.sI_ImgL);
    EXPECT_EQ(a.sI_ImgH, b.sI_ImgH);
    EXPECT_EQ(a.sI_Refr, b.sI_Refr);
}

inline void ExpectSame(const TES_Button& a, const TES_Button& b) {
    ExpectSameDigitalFields(a, b);
    EXPECT_EQ(a.sCaption, b.sCaption);
}

inline void ExpectSame(const TES_DSign& a, const TES_DSign& b) { ExpectSameDigitalFields(a, b); }

inline void ExpectSame(const TES_ASign& a, const TES_ASign& b) {
    EXPECT_EQ(a.sEnabled, b.sEnabled);
    EXPECT_EQ(a.sHost, b.sHost);
    EXPECT_EQ(a.sPort, b.sPort);
    EXPECT_EQ(a.sPass, b.sPass);
    EXPECT_EQ(a.sI_ACir, b.sI_ACir);
    EXPECT_EQ(a.sI_Conn, b.sI_Conn);
    EXPECT_EQ(a.sI_ImgD, b.sI_ImgD);
    for (int i = 0; i < AnalogLevelCount; ++i) {
        EXPECT_EQ(a.sI_Lev[i], b.sI_Lev[i]) << "level " << i + 1;
        EXPECT_EQ(a.sI_Img[i], b.sI_Img[i]) << "picture " << i + 1;
    }
    EXPECT_EQ(a.sI_Refr, b.sI_Refr);
}

inline void ExpectSame(const TES_Text& a, const TES_Text& b) {
    EXPECT_EQ(a.sEnabled, b.sEnabled);
    EXPECT_EQ(a.sText, b.sText);
    EXPECT_EQ(a.sFontName, b.sFontName);
    EXPECT_EQ(a.sFontSize, b.sFontSize);
    EXPECT_EQ(a.sFontColor, b.sFontColor);
    EXPECT_EQ(a.sFontBold, b.sFontBold);
    EXPECT_EQ(a.sFontItalic, b.sFontItalic);
    EXPECT_EQ(a.sFontUnder, b.sFontUnder);
    EXPECT_EQ(a.sFontStrike, b.sFontStrike);
}

inline void ExpectSame(const TES_Track& a, const TES_Track& b) {
    EXPECT_EQ(a.sEnabled, b.sEnabled);
    EXPECT_EQ(a.sHost, b.sHost);
    EXPECT_EQ(a.sPort, b.sPort);
    EXPECT_EQ(a.sPass, b.sPass);
    EXPECT_EQ(a.sO_ACir, b.sO_ACir);
    EXPECT_EQ(a.sOrient, b.sOrient);
    EXPECT_EQ(a.sRevers, b.sRevers);
    EXPECT_EQ(a.sSteps, b.sSteps);
    EXPECT_EQ(a.sStartVal, b.sStartVal);
    EXPECT_EQ(a.sStepVal, b.sStepVal);
    EXPECT_EQ(a.sStopVal, b.sStopVal);
}

} // namespace quelnet::test
