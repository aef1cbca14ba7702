#pragma once
// The page loop shared by every page-by-page transfer (configuration and
// texts over long frames, DataFlash programming over long or short frames):
// pages first .. end-1 in order, each tried until it is accepted, with ten
// consecutive failures allowed on one page. The counter is restored after
// every accepted page.
//
// What one attempt does is the caller's (build the frame, send, check the
// echo); the loop owns the retry rule, the progress and the pauses:
//  - NoReply (time-out or broken link): reconnect and try again, no log line;
//  - Refused (a reply that is not the expected one): log the retry line with
//    the page number, let the window repaint, pause, try again.
// The configuration transfer counts accepted pages on the progress indicator;
// the DataFlash programming shows the number of the last accepted page and
// logs the page it gave up on.

#include <QString>
#include <functional>

namespace quelnet {

class ILog;
class IProgress;
class IEventPump;

enum class PageOutcome { Accepted, Refused, NoReply };

class PageTransfer {
public:
    static constexpr int AttemptsPerPage = 10;

    struct Hooks {
        ILog& Memo;
        IProgress& ProgressBar;
        IEventPump* Pump = nullptr;      // may be null
        int RetryPauseMs = 100;          // pause after a refused page
        std::function<void()> Reconnect; // after NoReply; may be empty
    };

    explicit PageTransfer(Hooks hooks) : m_hooks(std::move(hooks)) {}

    enum class ProgressRule {
        Count,      // position + 1 per accepted page
        PageNumber, // position = the accepted page's number
    };
    void SetProgressRule(ProgressRule rule) { m_progressRule = rule; }
    // When not empty: the line (text + page number + ".") appended when the
    // loop gives up on a page.
    void SetGiveUpText(const QString& text) { m_giveUpText = text; }

    // Runs attempt(page) for every page of [first, end). True when all were
    // accepted; false after AttemptsPerPage consecutive failures on one page
    // (FailedPage() tells which).
    bool Run(int first, int end, const std::function<PageOutcome(int page)>& attempt);

    int FailedPage() const { return m_failedPage; }

    // Waits `ms` milliseconds; a window's pump handles its events every 20 ms
    // meanwhile.
    static void PauseWithEvents(int ms, IEventPump* pump);

    // "0A8": three upper-case hexadecimal digits, as the retry lines show pages.
    static QString PageNumber(int page);
    // text + PageNumber(page) + ".", the form of the retry and give-up lines.
    static QString PageLine(const QString& text, int page);

private:
    void PumpEvents();

    Hooks m_hooks;
    ProgressRule m_progressRule = ProgressRule::Count;
    QString m_giveUpText;
    int m_failedPage = -1;
};

} // namespace quelnet
