#pragma once
// A window's memo, progress bar and event loop as the log, progress indicator
// and event pump of the device link and the jobs.

#include "core/link/LinkInterfaces.h"

class QPlainTextEdit;
class QProgressBar;

namespace quelnet {

// One log line per paragraph of a read-only memo.
class MemoLog : public ILog {
public:
    explicit MemoLog(QPlainTextEdit* memo) : m_memo(memo) {}
    void Clear() override;
    void Append(const QString& line) override;
    void RemoveLast() override;

private:
    QPlainTextEdit* m_memo;
};

class BarProgress : public IProgress {
public:
    explicit BarProgress(QProgressBar* bar) : m_bar(bar) {}
    void SetMaximum(int maximum) override;
    int Maximum() const override;
    void SetPosition(int position) override;
    int Position() const override;

private:
    QProgressBar* m_bar;
};

// The log of a transfer whose lines the window does not show.
class UnshownLog : public ILog {
public:
    void Clear() override {}
    void Append(const QString&) override {}
    void RemoveLast() override {}
};

// Lets the window repaint and handle input between pages.
class WindowEventPump : public IEventPump {
public:
    void ProcessEvents() override;
};

} // namespace quelnet
