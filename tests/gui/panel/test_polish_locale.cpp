// Real numbers under real Polish regional settings: the C library's locale is
// pl_PL.UTF-8 (compiled for the test when the system lacks it) and LANG says
// Polish before the QApplication is made, which then sets the C library's
// numeric locale to the user's exactly as it does for the program. Readers and
// the panel file must keep every fraction there.
#include "tests/gui/panel/PanelFileTestSupport.h"
#include "tests/support/PolishLocale.h"

#include "core/base/InterfaceTexts.h"
#include "core/panel/PanelFile.h"
#include "gui/panel/PanelWindow.h"

#include <QApplication>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

using namespace quelnet;
using namespace quelnet::test;

namespace {

std::string g_localeError; // why the Polish locale could not be provided

TEST(PolishRegionalSettings, CLibraryReadsAndWritesWithAComma) {
    // The environment itself: a failure here means the scripts did not provide
    // the locale, and the tests below would prove nothing.
    ASSERT_TRUE(g_localeError.empty()) << g_localeError;
    EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "pl_PL.UTF-8");
    EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    EXPECT_EQ(UserLocale().decimalPoint(), ",");
}

TEST(PolishRegionalSettings, TextToFloatKeepsTheFraction) {
    ASSERT_TRUE(g_localeError.empty()) << g_localeError;
    const struct {
        const char* text;
        double value;
    } cases[] = {
        {"2,5", 2.5},  {"0,03125", 0.03125}, {"1,5e2", 150}, {"-3,75", -3.75}, {" 10,75 ", 10.75},
        {"+0,5", 0.5}, {"1,25E-3", 0.00125}, {"7", 7},       {"2.5", 0},       {"abc", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(double(TextToFloat(c.text)), c.value) << c.text;
}

class PolishPanelFile : public PanelFileFixture {};

TEST_F(PolishPanelFile, AnalogLevelsAndSliderValuesSurviveLoadAndSave) {
    ASSERT_TRUE(g_localeError.empty()) << g_localeError;
    QByteArray file =
        CrLf({"{",        "x_tp=scr", "x_px=10",    "x_py=20", "x_pw=500",     "x_ph=300", "s_ws=0",
              "}",        "{",        "x_tp=ian",   "x_px=8",  "x_py=8",       "x_pw=64",  "x_ph=64",
              "iaen=yes", "iaho=",    "iapr=0",     "iaps=",   "iaic=AN1",     "iaim=0",   "iaid=",
              "ial1=2,5", "iai1=",    "ial2=10,75", "iai2=",   "ial3=0,03125", "iai3=",    "ial4=-1,5E-7",
              "iai4=",    "ial5=0",   "iai5=",      "ial6=0",  "iai6=",        "ial7=0",   "iai7=",
              "ial8=0",   "iai8=",    "iafr=0",     "}"});
    file += CrLf({"{", "x_tp=zda", "x_px=80", "x_py=8", "x_pw=64", "x_ph=64", "z_en=yes", "z_ho=", "z_pr=0",
                  "z_ps=", "z_oc=", "z_or=0", "z_rv=0", "z_st=10", "zvst=0,5", "zvti=0,25", "zvsp=3", "}"});
    WriteFile(file);

    auto w = ShowWindow(true);
    ASSERT_EQ(w->Records.ES_ASigns.size(), 1u);
    const TES_ASign& a = w->Records.ES_ASigns[0];
    EXPECT_EQ(a.sI_Lev[0], 2.5f);
    EXPECT_EQ(a.sI_Lev[1], 10.75f);
    EXPECT_EQ(a.sI_Lev[2], 0.03125f);
    EXPECT_EQ(a.sI_Lev[3], -1.5e-7f);
    ASSERT_EQ(w->Records.ES_Tracks.size(), 1u);
    EXPECT_EQ(w->Records.ES_Tracks[0].sStartVal, 0.5f);
    EXPECT_EQ(w->Records.ES_Tracks[0].sStepVal, 0.25f);

    // Written back in the order the window keeps: the same bytes, except the
    // level that single precision cannot hold exactly.
    QFile::remove(Path());
    ASSERT_TRUE(w->SaveElements());
    const QByteArray saved = ReadFile();
    for (const char* line : {"ial1=2,5\r\n", "ial2=10,75\r\n", "ial3=0,03125\r\n",
                             "ial4=-1,50000005305628E-7\r\n", "zvst=0,5\r\n", "zvti=0,25\r\n", "zvsp=3\r\n"})
        EXPECT_TRUE(saved.contains(line)) << line << "\nin\n" << saved.toStdString();
}

} // namespace

int main(int argc, char** argv) {
    // Polish regional settings, as a Polish user's session has them.
    quelnet::test::ProvidePolishLocale(QUELNET_TEST_LOCALE_DIR, &g_localeError);
    unsetenv("LC_ALL");
    unsetenv("LC_NUMERIC");
    unsetenv("LANGUAGE");
    setenv("LANG", "pl_PL.UTF-8", 1);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv); // sets the C library's locale from LANG
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
