#include "core/link/PageTransfer.h"

#include "core/base/InterfaceTexts.h"
#include "core/link/LinkInterfaces.h"

#include <QDeadlineTimer>
#include <QThread>

namespace quelnet {

QString PageTransfer::PageNumber(int page) {
    return QStringLiteral("%1").arg(page, 3, 16, QLatin1Char('0')).toUpper();
}

QString PageTransfer::PageLine(const QString& text, int page) {
    return text + PageNumber(page) + ".";
}

void PageTransfer::PauseWithEvents(int ms, IEventPump* pump) {
    constexpr qint64 SliceMs = 20;
    const QDeadlineTimer deadline(qMax(0, ms));
    do {
        if (pump)
            pump->ProcessEvents();
        QThread::msleep(ulong(qMin<qint64>(SliceMs, deadline.remainingTime())));
    } while (!deadline.hasExpired());
}

void PageTransfer::PumpEvents() {
    if (m_hooks.Pump)
        m_hooks.Pump->ProcessEvents();
}

bool PageTransfer::Run(int first, int end, const std::function<PageOutcome(int page)>& attempt) {
    m_failedPage = -1;
    int page = first;
    int retries = AttemptsPerPage; // consecutive failures allowed on one page
    while (page < end) {
        const PageOutcome outcome = attempt(page);
        if (outcome == PageOutcome::NoReply) {
            if (--retries == 0)
                break;
            if (m_hooks.Reconnect)
                m_hooks.Reconnect();
            continue;
        }
        PumpEvents();
        if (outcome == PageOutcome::Accepted) {
            m_hooks.ProgressBar.SetPosition(
                m_progressRule == ProgressRule::Count ? m_hooks.ProgressBar.Position() + 1 : page);
            ++page;
            retries = AttemptsPerPage;
            continue;
        }
        --retries;
        m_hooks.Memo.Append(PageLine(Pl(lt::RetryPage), page));
        PauseWithEvents(m_hooks.RetryPauseMs, m_hooks.Pump);
        if (retries == 0)
            break;
    }
    if (page >= end)
        return true;
    m_failedPage = page;
    if (!m_giveUpText.isEmpty())
        m_hooks.Memo.Append(PageLine(m_giveUpText, page));
    return false;
}

} // namespace quelnet
