#include "core/base/CodePage.h"

#include <gtest/gtest.h>

using namespace quelnet;

TEST(CodePage, PolishLettersUseWindows1250) {
    const QString polish = QString::fromUtf8("ąćęłńóśźżĄĆĘŁŃÓŚŹŻ");
    const QByteArray expected("\xB9\xE6\xEA\xB3\xF1\xF3\x9C\x9F\xBF\xA5\xC6\xCA\xA3\xD1\xD3\x8C\x8F\xAF");
    EXPECT_EQ(ToAnsi(polish), expected);
    EXPECT_EQ(FromAnsi(expected), polish);
}

TEST(CodePage, AsciiUnchangedAndMissingCharactersBecomeQuestionMarks) {
    EXPECT_EQ(ToAnsi("Pompa 1"), QByteArray("Pompa 1"));
    EXPECT_EQ(ToAnsi(QString::fromUtf8("a€b")), QByteArray("a\x80" "b"));
    EXPECT_EQ(ToAnsi(QString::fromUtf8("漢字ß")), QByteArray("??\xDF"));
    EXPECT_EQ(ToAnsi(QString::fromUtf8("„x”")), QByteArray("\x84x\x94"));
}
