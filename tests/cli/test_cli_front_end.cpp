// The jobs' front end on the command line: how questions are answered (preset,
// --yes, the user on a terminal, refused without one), which files answer the
// dialogs, and what the log and progress leave on a terminal and in a pipe.
#include "cli/FrontEnd.h"

#include "core/jobs/JobInterfaces.h"

#include <gtest/gtest.h>

using namespace quelnet;
using namespace quelnet::cli;

namespace {

// A console whose standard error is a screen: carriage return, erase line and
// line end are applied, so the test sees what the user would see.
class ScreenConsole : public Console {
public:
    explicit ScreenConsole(bool terminal, QStringList answers = {})
        : m_terminal(terminal), m_answers(std::move(answers)) {}
    void Out(const QString& text) override { out += text; }
    void Err(const QString& text) override {
        raw += text;
        for (qsizetype i = 0; i < text.size(); ++i) {
            if (text.mid(i, 4) == QLatin1String("\x1b[2K")) {
                screen.last().clear();
                i += 3;
            } else if (text[i] == u'\r') {
                screen.last().clear(); // every redraw rewrites the whole line
            } else if (text[i] == u'\n') {
                screen << QString();
            } else {
                screen.last() += text[i];
            }
        }
    }
    bool OutTerminal() const override { return m_terminal; }
    bool ErrTerminal() const override { return m_terminal; }
    bool Interactive() const override { return m_terminal; }
    std::optional<QString> ReadLine() override {
        if (m_answers.isEmpty())
            return std::nullopt;
        return m_answers.takeFirst();
    }

    QString out, raw;
    QStringList screen{QString()};

private:
    bool m_terminal;
    QStringList m_answers;
};

Message YesNo(const QString& text) {
    return {QStringLiteral("Pytanie"), text, MessageIcon::Question, MessageButtons::YesNo};
}

} // namespace

TEST(CliFrontEnd, QuestionsArePresetYesAskedOrRefused) {
    QStringList said;
    auto say = [&said](const QString& t) { said << t; };

    CliMessages piped(say, nullptr, false);
    piped.Preset("preset yes", true);
    EXPECT_EQ(piped.Show(YesNo("preset yes")), MessageAnswer::Yes);
    EXPECT_FALSE(piped.Refused());
    EXPECT_EQ(piped.Show(YesNo("Czy zastąpić istniejący plik ?")), MessageAnswer::No);
    EXPECT_TRUE(piped.Refused());
    EXPECT_EQ(said.last(), QString::fromUtf8("Odmowa: pytanie wymaga terminala albo opcji --yes."));
    EXPECT_EQ(piped.Answers(), (QList<bool>{true, false}));

    CliMessages yes(say, nullptr, true);
    EXPECT_EQ(yes.Show(YesNo("?")), MessageAnswer::Yes);
    EXPECT_FALSE(yes.Refused());

    ScreenConsole terminal(true, {" T ", "nie"});
    CliMessages asked(say, &terminal, false);
    EXPECT_EQ(asked.Show(YesNo("A\rB")), MessageAnswer::Yes);
    EXPECT_TRUE(terminal.raw.startsWith("Pytanie: A\nB [t/n] ")); // CR-joined lines become lines
    EXPECT_EQ(asked.Show(YesNo("C")), MessageAnswer::No);
    EXPECT_TRUE(asked.Refused());
    EXPECT_EQ(asked.Show(YesNo("D")), MessageAnswer::No); // end of input
}

TEST(CliFrontEnd, OkBoxesAreSaidAndKept) {
    QStringList said;
    CliMessages m([&said](const QString& t) { said << t; }, nullptr, false);
    ShowWarning(m, QString::fromUtf8("Brak zwory zezwalającej na odczyt konfiguracji."));
    EXPECT_EQ(said,
              QStringList{QString::fromUtf8("Ostrzeżenie: Brak zwory zezwalającej na odczyt konfiguracji.")});
    EXPECT_EQ(m.Notices(), QStringList{QString::fromUtf8("Brak zwory zezwalającej na odczyt konfiguracji.")});
    EXPECT_FALSE(m.Refused());
}

TEST(CliFrontEnd, DialogsAreAnsweredByTheFileOptions) {
    ArgumentFiles both("/tmp/c.QNC", "/tmp/t.QNT");
    EXPECT_EQ(both.ChooseSaveFile({"", "", "Conf.QNC"}), "/tmp/c.QNC");
    EXPECT_EQ(both.ChooseOpenFile({"", "", "Text.QNT"}), "/tmp/t.QNT");
    ArgumentFiles textsOnly({}, "/tmp/t.QNT");
    EXPECT_EQ(textsOnly.ChooseOpenFile({"", "", "Conf.QNC"}), std::nullopt); // a cancelled dialog
}

TEST(CliFrontEnd, PipedLogKeepsEveryLineOnce) {
    ScreenConsole pipe(false);
    ConsoleReporter r(pipe);
    r.Append("Odczyt konfiguracji ...");
    r.SetMaximum(160);
    r.SetPosition(80);
    r.RemoveLast();
    r.Append("Odczyt konfiguracji OK.");
    r.Finish();
    EXPECT_EQ(pipe.raw, "Odczyt konfiguracji ...\nOdczyt konfiguracji OK.\n");
}

TEST(CliFrontEnd, TerminalShowsTheRunningStepWithABarAndReplacesItWhenDone) {
    ScreenConsole tty(true);
    ConsoleReporter r(tty);
    r.Append("Odczyt konfiguracji ...");
    r.SetMaximum(160);
    r.SetPosition(80);
    EXPECT_TRUE(tty.screen.last().startsWith("Odczyt konfiguracji ...  [###############..............."));
    EXPECT_TRUE(tty.screen.last().endsWith(" 50%"));
    r.Append(QString::fromUtf8("Błąd ponawiam stronę 0x006."));
    r.RemoveLast(); // the page went through on the next attempt
    r.Append("Odczyt konfiguracji OK.");
    r.Finish();
    // The running line stays above, the retry line is gone, the OK line ends it.
    EXPECT_EQ(tty.screen, (QStringList{"Odczyt konfiguracji ...  [###############...............] 50%",
                                       "Odczyt konfiguracji OK.", ""}));
}
