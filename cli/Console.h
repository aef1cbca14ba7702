#pragma once
// Where the tool writes and reads: standard output for results, standard error
// for progress, log lines and questions, standard input for answers. Whether
// each is a terminal decides between redrawn progress bars and plain lines,
// and whether a question can be asked at all.

#include <QMutex>
#include <QString>
#include <optional>

namespace quelnet::cli {

class Console {
public:
    virtual ~Console() = default;
    virtual void Out(const QString& text) = 0; // standard output, as given
    virtual void Err(const QString& text) = 0; // standard error, as given
    virtual bool OutTerminal() const = 0;
    virtual bool ErrTerminal() const = 0;
    // Width of the terminal on standard output; 0 when unknown or not a terminal.
    virtual int OutColumns() const { return 0; }
    // Standard input and standard error are both terminals: a question can be
    // put to the user and answered.
    virtual bool Interactive() const = 0;
    // One line from standard input without its line end; nothing at its end.
    virtual std::optional<QString> ReadLine() = 0;
    // A write to standard output failed (a full disk, a closed file): the
    // system's reason; empty while every write succeeded.
    virtual QString OutFailure() const { return {}; }

    void OutLine(const QString& line) { Out(line + u'\n'); }
    void ErrLine(const QString& line) { Err(line + u'\n'); }
};

// The process's own streams, in UTF-8. Safe to use from several threads.
class StdConsole : public Console {
public:
    StdConsole();
    void Out(const QString& text) override;
    void Err(const QString& text) override;
    bool OutTerminal() const override { return m_outTty; }
    bool ErrTerminal() const override { return m_errTty; }
    int OutColumns() const override;
    bool Interactive() const override { return m_inTty && m_errTty; }
    std::optional<QString> ReadLine() override;
    QString OutFailure() const override;

private:
    mutable QMutex m_mutex;
    bool m_outTty, m_errTty, m_inTty;
    QString m_outFailure;
};

// Keeps everything written, answers no question: for running the tool inside
// another program (the benchmarks).
class BufferConsole : public Console {
public:
    void Out(const QString& text) override { out += text; }
    void Err(const QString& text) override { err += text; }
    bool OutTerminal() const override { return false; }
    bool ErrTerminal() const override { return false; }
    bool Interactive() const override { return false; }
    std::optional<QString> ReadLine() override { return std::nullopt; }

    QString out, err;
};

} // namespace quelnet::cli
