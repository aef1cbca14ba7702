#include "core/base/InterfaceTexts.h"

#include <gtest/gtest.h>

using namespace quelnet;

namespace {

TEST(TextToInt64, LenientReading) {
    struct Row {
        const char* text;
        std::int64_t value;
    };
    const Row rows[] = {
        {" 42", 42},  {"-7", -7},      {"+5", 5},      {"$1F", 31}, {"0x1f", 31}, {"x1F", 31},   {"X10", 16},
        {"0X10", 16}, {"12px", 12},    {"abc", 0},     {"", 0},     {"  ", 0},    {"-$10", -16}, {"$", 0},
        {"0x", 0},    {"$1F9C", 8092}, {"7080", 7080}, {"\t5", 0},  {"1 2", 1},   {"-", 0},
    };
    for (const Row& r : rows)
        EXPECT_EQ(TextToInt64(QString::fromUtf8(r.text)), r.value) << '"' << r.text << '"';
}

TEST(TextToInt64, CallersKeepTheLowBits) {
    EXPECT_EQ(std::uint16_t(TextToInt64("7080")), 7080);
    EXPECT_EQ(std::uint16_t(TextToInt64("65537")), 1);
    EXPECT_EQ(std::uint16_t(TextToInt64("70000")), 4464);
    EXPECT_EQ(std::uint8_t(TextToInt64("258")), 2);
    EXPECT_EQ(std::uint32_t(TextToInt64("-1")), 0xFFFFFFFFu);
}

TEST(TextToFloat, PolishLocale) {
    SetUserLocale(QLocale(QLocale::Polish, QLocale::Poland));
    EXPECT_DOUBLE_EQ(double(TextToFloat("2,5")), 2.5);
    EXPECT_DOUBLE_EQ(double(TextToFloat(" -3,75 ")), -3.75);
    EXPECT_DOUBLE_EQ(double(TextToFloat("1,5E2")), 150.0);
    EXPECT_DOUBLE_EQ(double(TextToFloat("7")), 7.0);
    for (const char* bad : {"2.5", "abc", "", ",", "1,2,3", "1e", "2,5x"})
        EXPECT_EQ(double(TextToFloat(bad)), 0.0) << bad;
}

TEST(TextToFloat, PointLocale) {
    SetUserLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_DOUBLE_EQ(double(TextToFloat("2.5")), 2.5);
    EXPECT_EQ(double(TextToFloat("2,5")), 0.0);
    SetUserLocale(QLocale(QLocale::Polish, QLocale::Poland));
}

// Blanks (the space character) may surround the number; any other white space
// makes the text one that does not convert.
TEST(TextToFloat, OnlyBlanksSurroundTheNumber) {
    EXPECT_DOUBLE_EQ(double(TextToFloat("  2,5  ")), 2.5);
    for (const char* text : {"\t2,5", "2,5\t", "\n2,5", "2,5\r\n", "\r2,5", "\v2,5", "\f2,5", "\u00A02,5",
                             "2,5\u00A0", "\u20032,5", "\u202F2,5"})
        EXPECT_EQ(double(TextToFloat(QString::fromUtf8(text))), 0.0) << '"' << text << '"';
}

// A number beyond the range of the result gives 0, as text that does not
// convert does; so does one too small for it.
TEST(TextToFloat, OutOfRangeGivesZero) {
    for (const char* text : {"1e5000", "-1e5000", "1,5E99999", "1e-5000"})
        EXPECT_EQ(double(TextToFloat(text)), 0.0) << text;
    EXPECT_DOUBLE_EQ(double(TextToFloat("1e300")), 1e300);
}

TEST(LangTexts, PolishSlotKeepsExactPunctuation) {
    EXPECT_EQ(Pl(lt::NoDigitalCircuit), QString::fromUtf8("Brak wskazanego obwodu cyfrowego \u201E"));
    EXPECT_EQ(Pl(lt::InQuelnet), QString::fromUtf8("\u201D w QuelNet-ie."));
    EXPECT_EQ(Pl(lt::RowPort), QString::fromUtf8("Połączenie \u2013 port"));
    EXPECT_EQ(Pl(lt::RowHost), QString::fromUtf8("Połączenie - adres"));
    EXPECT_EQ(Pl(lt::ReplaceFileQuestion), QString::fromUtf8("Czy zastąpić istniejący plik ?"));
    EXPECT_EQ(Pl(lt::ConnectFailedLog),
              QString::fromUtf8("Błąd : nie można nawiązać połączenia ze QuelNet-em."));
    EXPECT_EQ(Pl(lt::EditCaption), "Wirtualny Quelnet 4.0.1f - Edycja");
    EXPECT_EQ(QString::fromUtf8(lt::SettingsToProgram.Slot[2]), QString());
}

} // namespace
