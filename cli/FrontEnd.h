#pragma once
// The command line as the front end of the maintenance jobs: message boxes
// become lines (questions become terminal prompts), file dialogs are answered
// from the command line's file options, and the transfer log and progress go
// to standard error: redrawn with a progress bar on a terminal, plain lines
// otherwise, or kept for the summary of a batch.

#include "cli/Console.h"

#include "core/jobs/JobInterfaces.h"

#include <QHash>
#include <QStringList>
#include <functional>

namespace quelnet::cli {

// Message boxes. A Yes/No box is answered, in this order, by a preset answer
// for its text, by "--yes", or by the user on a terminal. Without any of them
// the answer is No and the box counts as refused.
class CliMessages : public IMessages {
public:
    using Sink = std::function<void(const QString&)>;
    // `prompts` is the console to ask on, null when questions cannot be asked.
    CliMessages(Sink say, Console* prompts, bool yes)
        : m_say(std::move(say)), m_prompts(prompts), m_yes(yes) {}

    void Preset(const QString& text, bool answer) { m_presets.insert(text, answer); }
    // Runs before a question is put on the terminal (to end a running line).
    void BeforePrompt(std::function<void()> hook) { m_beforePrompt = std::move(hook); }
    MessageAnswer Show(const Message& message) override;

    bool Refused() const { return m_refused; }
    // The answers to the Yes/No boxes, in order (preset ones included).
    const QList<bool>& Answers() const { return m_answers; }
    // The texts of the OK boxes shown, in order (warnings and errors of the job).
    const QStringList& Notices() const { return m_notices; }

private:
    bool Ask(const QString& text);

    Sink m_say;
    Console* m_prompts;
    bool m_yes;
    std::function<void()> m_beforePrompt;
    QHash<QString, bool> m_presets;
    bool m_refused = false;
    QStringList m_notices;
    QList<bool> m_answers;
};

// The open and save dialogs of the settings job, answered from --config and
// --texts (chosen by the proposed file's extension); an option not given is a
// cancelled dialog.
class ArgumentFiles : public IFileChooser {
public:
    ArgumentFiles(QString config, QString texts) : m_config(std::move(config)), m_texts(std::move(texts)) {}
    std::optional<QString> ChooseOpenFile(const FileChoice& choice) override { return Choose(choice); }
    std::optional<QString> ChooseSaveFile(const FileChoice& choice) override { return Choose(choice); }

private:
    std::optional<QString> Choose(const FileChoice& choice) const;
    QString m_config, m_texts;
};

// Log and progress on standard error. On a terminal the last line is the
// running step, redrawn in place with a bar; otherwise every line is printed
// once and the progress is not drawn.
class ConsoleReporter : public ILog, public IProgress {
public:
    explicit ConsoleReporter(Console& console) : m_console(console), m_terminal(console.ErrTerminal()) {}
    ~ConsoleReporter() override { Finish(); }

    void Clear() override {}
    void Append(const QString& line) override;
    void RemoveLast() override;
    void SetMaximum(int maximum) override { m_maximum = maximum; }
    int Maximum() const override { return m_maximum; }
    void SetPosition(int position) override;
    int Position() const override { return m_position; }

    // Ends the running line on a terminal.
    void Finish();
    const QStringList& Lines() const { return m_lines; }

private:
    void Redraw();

    Console& m_console;
    bool m_terminal;
    bool m_open = false; // a running line is on the screen, without its line end
    QString m_drawn;     // the running line as last drawn
    QStringList m_lines;
    int m_maximum = 100, m_position = 0;
};

// Log and progress kept in memory (a controller of a batch).
class KeptLog : public ILog, public IProgress {
public:
    void Clear() override {}
    void Append(const QString& line) override { lines << line; }
    void RemoveLast() override {
        if (!lines.isEmpty())
            lines.removeLast();
    }
    void SetMaximum(int maximum) override { m_maximum = maximum; }
    int Maximum() const override { return m_maximum; }
    void SetPosition(int position) override { m_position = position; }
    int Position() const override { return m_position; }

    QStringList lines;

private:
    int m_maximum = 100, m_position = 0;
};

} // namespace quelnet::cli
