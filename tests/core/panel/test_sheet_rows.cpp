// Rows of the parameter sheet: names, formatted values, edit styles, and what
// a changed value stores into the record.
#include "core/panel/SheetRows.h"

#include <functional>
#include <gtest/gtest.h>

using namespace quelnet;

namespace {

const ChoiceTexts Choices = ChoiceTexts::FromTextTable();

QStringList names(const std::vector<SheetRow>& rows) {
    QStringList out;
    for (const auto& r : rows)
        out << r.Name;
    return out;
}

QStringList values(const std::vector<SheetRow>& rows) {
    QStringList out;
    for (const auto& r : rows)
        out << r.Value;
    return out;
}

} // namespace

TEST(SheetRows, ButtonRowsNamesValuesAndStyles) {
    ElementRecords r;
    r.ES_Buttons.resize(2);
    TES_Button& b = r.ES_Buttons[1];
    b.sHost = "10.0.0.5";
    b.sPort = 7080;
    b.sPass = "pw";
    b.sO_DCir = "Q1";
    b.sO_Mode = 2;
    b.sI_DCir = "I1";
    b.sI_Conn = 1;
    b.sI_ImgL = "/p/off.png";
    b.sI_ImgH = "/p/on.png";
    b.sI_Refr = 250;
    b.sCaption = " Start ";
    const auto rows = BuildRows(r, KindButton, 1, Choices, {});
    EXPECT_EQ(names(rows),
              (QStringList{"Połączenie - adres", "Połączenie – port", "Połączenie – hasło",
                           "Kliknięcie - połączenie z obwodem cyfrowy", "Kliknięcie - sposób działania",
                           "Stan - połączenie z obwodem cyfrowym", "Stan - punkt podłączenia do obwodu",
                           "Stan - obrazek 0 ( nieaktywny )", "Stan - obrazek 1 ( aktywny )",
                           "Stan - odświeżanie elementu ( ms )", "Opis przycisku"}));
    EXPECT_EQ(values(rows),
              (QStringList{"10.0.0.5", "7080", "pw", "Q1", "Przełącz", "I1", "Do wyjścia elementu",
                           "/p/off.png", "/p/on.png", "250", " Start "}));
    const EditStyle styles[] = {EditStyle::List,      EditStyle::List,        EditStyle::List,
                                EditStyle::List,      EditStyle::FixedList,   EditStyle::List,
                                EditStyle::FixedList, EditStyle::PickPicture, EditStyle::PickPicture,
                                EditStyle::List,      EditStyle::Text};
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(rows[i].Style, styles[i]) << "row " << i + 1;
    EXPECT_EQ(rows[4].Choices, (QStringList{"Wyłącz", "Włącz", "Przełącz"}));
    EXPECT_EQ(rows[6].Choices, (QStringList{"Do wejścia elementu", "Do wyjścia elementu"}));
    EXPECT_EQ(rows[3].Choices, (QStringList{"Q1", "I1"})); // one list for click and state circuits
}

TEST(SheetRows, ScanListsOnlyWhenTheScanFindsSomething) {
    ElementRecords r;
    r.ES_Buttons.resize(2); // no host, port, password, circuit or period set anywhere
    r.ES_Buttons[1].sO_Mode = 7;
    auto rows = BuildRows(r, KindButton, 0, Choices, {});
    for (int row : {1, 2, 3, 4, 6, 10})
        EXPECT_EQ(rows[row - 1].Style, EditStyle::Text) << "row " << row;
    EXPECT_EQ(BuildRows(r, KindButton, 1, Choices, {})[4].Value, "Wyłącz"); // beyond the list: first entry

    r.ES_Buttons[0].sHost = "10.0.0.5";
    r.ES_Buttons[1].sHost = "10.0.0.6";
    r.ES_Tracks.resize(1);
    r.ES_Tracks[0].sHost = "10.0.0.9";
    rows = BuildRows(r, KindTrack, 0, Choices, {});
    EXPECT_EQ(rows[0].Style, EditStyle::List);
    EXPECT_EQ(rows[0].Choices, (QStringList{"10.0.0.5", "10.0.0.6"}));
}

TEST(SheetRows, DigitalIndicatorHasNoCaptionRow) {
    ElementRecords r;
    r.ES_DSigns.resize(1);
    r.ES_DSigns[0].sI_Refr = 4294967295u;
    const auto rows = BuildRows(r, KindDSign, 0, Choices, {});
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[9].Name, "Stan - odświeżanie elementu ( ms )");
    EXPECT_EQ(rows[9].Value, "4294967295");
}

TEST(SheetRows, AnalogIndicatorRows) {
    ElementRecords r;
    r.ES_ASigns.resize(1);
    TES_ASign& a = r.ES_ASigns[0];
    a.sI_ACir = "AN1";
    a.sI_ImgD = "/p/d.png";
    a.sI_Lev[1] = 2.5f;
    a.sI_Lev[2] = -1.25f;
    a.sI_Img[2] = "/p/3.png";
    a.sI_Refr = 0;
    const auto rows = BuildRows(r, KindASign, 0, Choices, {});
    ASSERT_EQ(rows.size(), 23u);
    EXPECT_EQ(rows[3].Name, "Stan - połączenie z obwodem analogowym");
    EXPECT_EQ(rows[5].Name, "Stan - obrazek domyślny");
    EXPECT_EQ(rows[5].Style, EditStyle::PickPicture);
    EXPECT_EQ(rows[6].Name, "Stan - poziom wyzwolenia 1");
    EXPECT_EQ(rows[6].Value, "0,0000");
    EXPECT_EQ(rows[8].Value, "2,5000");
    EXPECT_EQ(rows[10].Name, "Stan - poziom wyzwolenia 3");
    EXPECT_EQ(rows[10].Value, "-1,2500");
    EXPECT_EQ(rows[11].Name, "Stan - obrazek dla poziomu 3");
    EXPECT_EQ(rows[11].Value, "/p/3.png");
    EXPECT_EQ(rows[21].Name, "Stan - obrazek dla poziomu 8");
    for (int row = 8; row <= 22; row += 2)
        EXPECT_EQ(rows[row - 1].Style, EditStyle::PickPicture) << row;
    EXPECT_EQ(rows[6].Style, EditStyle::List); // the levels of the panel
    EXPECT_EQ(rows[6].Choices, (QStringList{"2,5000", "-1,2500"}));
    EXPECT_EQ(rows[22].Name, "Stan - odświeżanie elementu ( ms )");
    EXPECT_EQ(rows[22].Value, "0");
}

TEST(SheetRows, TextLabelRows) {
    ElementRecords r;
    r.Append(KindText); // a new label: everything zero
    const QStringList fonts{"Alpha Sans", "Beta Serif"};
    auto rows = BuildRows(r, KindText, 0, Choices, fonts);
    EXPECT_EQ(names(rows), (QStringList{"Tekst", "Czcionka - nazwa", "Czcionka - rozmiar", "Czcionka - kolor",
                                        "Czcionka - pogrubienie", "Czcionka - pochylenie",
                                        "Czcionka – podkreślenie", "Czcionka – przekreślenie"}));
    EXPECT_EQ(values(rows), (QStringList{"", "", "8", "$00000000", "Nie", "Nie", "Nie", "Nie"}));
    EXPECT_EQ(r.ES_Texts[0].sFontSize, 0); // size 0 shown as 8 without storing it
    EXPECT_EQ(rows[1].Style, EditStyle::FixedList);
    EXPECT_EQ(rows[1].Choices, fonts);
    EXPECT_EQ(rows[2].Style, EditStyle::List);
    EXPECT_EQ(rows[2].Choices, (QStringList{"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24",
                                            "26", "28", "36", "48", "72"}));
    EXPECT_EQ(rows[3].Style, EditStyle::PickColor);
    for (int row = 5; row <= 8; ++row)
        EXPECT_EQ(rows[row - 1].Style, EditStyle::PickYesNo);

    r.ES_Texts[0].sFontColor = 255;
    r.ES_Texts[0].sFontSize = 14;
    r.ES_Texts[0].sFontUnder = true;
    rows = BuildRows(r, KindText, 0, Choices, fonts);
    EXPECT_EQ(rows[2].Value, "14");
    EXPECT_EQ(rows[3].Value, "$000000FF");
    EXPECT_EQ(rows[6].Value, "Tak");
}

TEST(SheetRows, SliderRows) {
    ElementRecords r;
    r.ES_Tracks.resize(1);
    TES_Track& t = r.ES_Tracks[0];
    t.sO_ACir = "AO1";
    t.sOrient = 2;
    t.sRevers = 1;
    t.sSteps = -3;
    t.sStartVal = 0.5f;
    t.sStepVal = 1;
    t.sStopVal = -2.5f;
    const auto rows = BuildRows(r, KindTrack, 0, Choices, {});
    EXPECT_EQ(names(rows).mid(3),
              (QStringList{"Suwak - połączenie z obwodem analogowym", "Suwak - orientacja",
                           "Suwak - odwrócenie", "Suwak - ilość kroków suwaka", "Suwak - wartość początkowa",
                           "Suwak - równowartość kroku", "Suwak - wartość końcowa"}));
    EXPECT_EQ(values(rows).mid(3),
              (QStringList{"AO1", "Pozioma", "Tak", "-3", "0,5000", "1,0000", "-2,5000"}));
    EXPECT_EQ(rows[3].Style, EditStyle::Text); // only analog indicators' circuits are offered: none here
    EXPECT_EQ(rows[4].Choices, (QStringList{"Pozioma", "Pionowa"}));
    EXPECT_EQ(rows[5].Choices, (QStringList{"Nie", "Tak"}));
}

TEST(SheetRows, NoRowsForNoElementOrAMissingSlot) {
    ElementRecords r;
    r.ES_Buttons.resize(1);
    EXPECT_TRUE(BuildRows(r, KindNone, 0, Choices, {}).empty());
    EXPECT_TRUE(BuildRows(r, KindButton, 1, Choices, {}).empty());
    EXPECT_TRUE(BuildRows(r, KindButton, -1, Choices, {}).empty());
    StoreRow(r, KindButton, 5, 1, "x", Choices); // nothing to store into, nothing happens
    StoreRow(r, KindNone, 0, 1, "x", Choices);
    EXPECT_TRUE(r.ES_Buttons[0].sHost.isEmpty());
}

TEST(SheetRows, StoringTypedValues) {
    struct Case {
        const char* what;
        int kind;
        int row;
        const char* text;
        std::function<bool(const ElementRecords&)> check;
    };
    const Case cases[] = {
        {"host stored as typed", KindButton, 1, " h ",
         [](auto& r) { return r.ES_Buttons[0].sHost == " h "; }},
        {"port keeps 16 bits", KindButton, 2, "70000", [](auto& r) { return r.ES_Buttons[0].sPort == 4464; }},
        {"port in hexadecimal", KindDSign, 2, "$1F90", [](auto& r) { return r.ES_DSigns[0].sPort == 8080; }},
        {"refresh: no number stores 0", KindButton, 10, "abc",
         [](auto& r) { return r.ES_Buttons[0].sI_Refr == 0; }},
        {"refresh: leading number", KindASign, 23, "1500ms",
         [](auto& r) { return r.ES_ASigns[0].sI_Refr == 1500; }},
        {"refresh: -1 keeps 32 bits", KindButton, 10, "-1",
         [](auto& r) { return r.ES_Buttons[0].sI_Refr == 4294967295u; }},
        {"mode by text", KindButton, 5, "Włącz", [](auto& r) { return r.ES_Buttons[0].sO_Mode == 1; }},
        {"mode ignores the case of A-Z", KindButton, 5, "WłąCZ",
         [](auto& r) { return r.ES_Buttons[0].sO_Mode == 1; }},
        {"mode: other letters must match", KindButton, 5, "PRZEŁĄCZ",
         [](auto& r) { return r.ES_Buttons[0].sO_Mode == 0; }},
        {"mode: unknown text is 0", KindButton, 5, "zzz",
         [](auto& r) { return r.ES_Buttons[0].sO_Mode == 0; }},
        {"connection point", KindASign, 5, "do wyjścia ELEMENTU",
         [](auto& r) { return r.ES_ASigns[0].sI_Conn == 1; }},
        {"orientation", KindTrack, 5, "PIONOWA", [](auto& r) { return r.ES_Tracks[0].sOrient == 1; }},
        {"reversal", KindTrack, 6, "tak", [](auto& r) { return r.ES_Tracks[0].sRevers == 1; }},
        {"picture path", KindASign, 12, "/p/x.png",
         [](auto& r) { return r.ES_ASigns[0].sI_Img[2] == "/p/x.png"; }},
        {"level with the locale's comma", KindASign, 11, "3,75",
         [](auto& r) { return r.ES_ASigns[0].sI_Lev[2] == 3.75f; }},
        {"level with a point does not convert", KindASign, 7, "3.75",
         [](auto& r) { return r.ES_ASigns[0].sI_Lev[0] == 0.0f; }},
        {"level beyond single precision stores 0", KindASign, 9, "1e39",
         [](auto& r) { return r.ES_ASigns[0].sI_Lev[1] == 0.0f; }},
        {"negative level beyond single precision stores 0", KindASign, 7, "-1e39",
         [](auto& r) { return r.ES_ASigns[0].sI_Lev[0] == 0.0f; }},
        {"level at the top of single precision", KindASign, 7, "3,4e38",
         [](auto& r) { return r.ES_ASigns[0].sI_Lev[0] == 3.4e38f; }},
        {"slider start beyond single precision stores 0", KindTrack, 8, "1e5000",
         [](auto& r) { return r.ES_Tracks[0].sStartVal == 0.0f; }},
        {"font name", KindText, 2, "Beta Serif",
         [](auto& r) { return r.ES_Texts[0].sFontName == "Beta Serif"; }},
        {"font size leading number", KindText, 3, "12pt",
         [](auto& r) { return r.ES_Texts[0].sFontSize == 12; }},
        {"typed colour changes nothing", KindText, 4, "$FF",
         [](auto& r) { return r.ES_Texts[0].sFontColor == 7; }},
        {"typed Tak in the bold row changes nothing", KindText, 5, "Tak",
         [](auto& r) { return !r.ES_Texts[0].sFontBold; }},
        {"row beyond the table", KindButton, 12, "x",
         [](auto& r) { return r.ES_Buttons[0].sCaption == "c"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ElementRecords r;
        for (int k = 0; k < ElementKindCount; ++k)
            r.Append(k);
        r.ES_Buttons[0].sO_Mode = 2;
        r.ES_Buttons[0].sI_Refr = 99;
        r.ES_Buttons[0].sCaption = "c";
        r.ES_ASigns[0].sI_Lev[0] = 9;
        r.ES_Texts[0].sFontColor = 7;
        StoreRow(r, c.kind, 0, c.row, QString::fromUtf8(c.text), Choices);
        EXPECT_TRUE(c.check(r));
    }
}

TEST(SheetRows, SliderKeepsEndEqualToStartPlusStepsTimesStep) {
    ElementRecords r;
    r.ES_Tracks.resize(1);
    TES_Track& t = r.ES_Tracks[0];
    t.sSteps = 10;
    t.sStartVal = 0;
    t.sStepVal = 1;
    t.sStopVal = 10;
    StoreRow(r, KindTrack, 0, 10, "5", Choices); // end: step rule
    EXPECT_EQ(t.sSteps, 10);
    EXPECT_FLOAT_EQ(t.sStepVal, 0.5f);
    StoreRow(r, KindTrack, 0, 7, "0", Choices); // steps 0 becomes 1
    EXPECT_EQ(t.sSteps, 1);
    EXPECT_FLOAT_EQ(t.sStepVal, 5.0f);
    StoreRow(r, KindTrack, 0, 8, "2", Choices); // start: end rule
    EXPECT_FLOAT_EQ(t.sStopVal, 7.0f);
    StoreRow(r, KindTrack, 0, 9, "0,25", Choices); // step: end rule
    EXPECT_FLOAT_EQ(t.sStopVal, 2.25f);

    t.sSteps = 0; // the end rule leaves a step count of 0 alone
    StoreRow(r, KindTrack, 0, 8, "1", Choices);
    EXPECT_EQ(t.sSteps, 0);
    EXPECT_FLOAT_EQ(t.sStopVal, 1.0f);

    StoreRow(r, KindTrack, 0, 7, "-4", Choices); // negative counts are used as they are
    EXPECT_EQ(t.sSteps, -4);
    EXPECT_FLOAT_EQ(t.sStepVal, 0.0f);
    StoreRow(r, KindTrack, 0, 10, "-3", Choices);
    EXPECT_FLOAT_EQ(t.sStepVal, 1.0f);
}

// A derived value that single precision cannot hold is stored as 0, as a typed
// one is: no infinity reaches the record.
TEST(SheetRows, SliderRulesNeverStoreInfinity) {
    ElementRecords r;
    r.ES_Tracks.resize(1);
    TES_Track& t = r.ES_Tracks[0];
    t.sSteps = 1;
    t.sStartVal = -3e38f;
    StoreRow(r, KindTrack, 0, 10, "3e38", Choices); // step rule: (3e38 - -3e38) / 1
    EXPECT_EQ(t.sStopVal, 3e38f);
    EXPECT_EQ(t.sStepVal, 0.0f);
    t.sStartVal = 0;
    StoreRow(r, KindTrack, 0, 7, "1000", Choices); // steps: step rule, 3e38 / 1000
    StoreRow(r, KindTrack, 0, 9, "1e38", Choices); // step: end rule, 1000 * 1e38
    EXPECT_EQ(t.sStepVal, 1e38f);
    EXPECT_EQ(t.sStopVal, 0.0f);
    StoreRow(r, KindTrack, 0, 8, "-3e38", Choices); // start: end rule again
    EXPECT_EQ(t.sStopVal, 0.0f);
}

TEST(SheetRows, ChoiceAndFlagFormats) {
    EXPECT_EQ(ChoiceText(Choices.O_MODE, 7), "Wyłącz");
    EXPECT_EQ(TextToChoice(Choices.I_CONN, "DO WYJŚCIA ELEMENTU"), 0); // Ś is not folded
    EXPECT_EQ(BoolToText(true), "Tak");
    EXPECT_TRUE(TextToBool("TAK"));
    EXPECT_FALSE(TextToBool("Tak "));
    EXPECT_EQ(ColorToText(0xFF000000u), "$FF000000");
    EXPECT_EQ(ColorToText(0x00ABCDEFu), "$00ABCDEF");
}
