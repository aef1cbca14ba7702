// Programming of the whole DataFlash: the resources upload over long frames,
// the firmware update over short frames with its start, restart wait,
// reconnection and clearing of the text area.
#include "core/link/DeviceLink.h"
#include "core/link/LinkInterfaces.h"
#include "core/link/PageTransfer.h"
#include "core/link/UpdateStartWatch.h"
#include "core/protocol/Frames.h"

#include "core/base/InterfaceTexts.h"

namespace quelnet {

using namespace quelnet::proto;

namespace {

// Page writes of the resources upload are authenticated with this password,
// not with the controller's control password.
const QString DataFlashPassword = QStringLiteral("3958");

constexpr int FlashSize = FlashPages * PageSize; // 524,288
constexpr int TextsFirstPage = 0x29;
constexpr int TextsEndPage = 0xA9;  // exclusive
constexpr int PrepareReplySize = 2; // "OK"

// The firmware whose update ends with the tool reconnecting and clearing the
// text area (the start of the program copy lies there).
const QString SelfRestartingVersion = QStringLiteral("V401f");

QByteArray PageOf(const QByteArray& image, int page) {
    return image.mid(page * PageSize, PageSize);
}

// Long 0xA1 with A2 A1 A0 + 256 bytes; accepted: 19 bytes, code 0xB1, the
// address echoed in bytes 16-18.
PageOutcome LongPageAttempt(TfmCommon& common, int page, const QByteArray& bytes) {
    const QByteArray address = PageAddress(page);
    QByteArray reply;
    common.SendRequest(CmdWritePage, DataFlashPassword, 0, address, bytes);
    const int r = common.ReadReply(reply);
    if (r < 0)
        return PageOutcome::NoReply;
    const bool accepted =
        r == WritePageReplySize && uchar(reply[12]) == ReplyWritePage && reply.mid(16, 3) == address;
    return accepted ? PageOutcome::Accepted : PageOutcome::Refused;
}

// Short 0xA1: D5 A1 00 A2 A1 A0 + 256 bytes (262); the controller answers with
// the 6 header bytes. A link found closed counts like a broken one: the page
// loop reopens it (as it does for the long frames), rather than retrying on a
// link that nothing reopens until the transfer gives up.
PageOutcome ShortPageAttempt(TcpLink& link, int page, const QByteArray& bytes) {
    const QByteArray frame = BuildShortFrame(ShortWritePage, quint32(page) * PageSize, bytes);
    QByteArray reply;
    if (!link.Write(frame) || !link.ReadExact(ShortHeaderSize, reply))
        return PageOutcome::NoReply;
    if (QByteArrayView(reply) != QByteArrayView(frame).first(ShortHeaderSize))
        return PageOutcome::Refused;
    // The next page goes out at once; after a refused page the look for
    // stale input stays.
    link.NextWriteFollowsReply();
    return PageOutcome::Accepted;
}

PageTransfer ProgrammingLoop(TfmCommon& common, ILog& memo, IProgress& progress, IEventPump* pump) {
    PageTransfer pages(
        {memo, progress, pump, common.GetTimeouts().RetryPause, [&common] { common.Reconnect(); }});
    pages.SetProgressRule(PageTransfer::ProgressRule::PageNumber);
    return pages;
}

// Connection set-up of both procedures, with its log line on failure.
bool OpenForProgramming(TfmCommon& common, const QString& host, const QString& port, ILog& memo) {
    if (common.OpenConnection(host, port, common.GetTimeouts().Link))
        return true;
    memo.Append(Pl(lt::ConnectFailedLog));
    return false;
}

void StartPageProgress(ILog& memo, IProgress& progress) {
    memo.Append(Pl(lt::ProgrammingFlash));
    progress.SetPosition(0);
    progress.SetMaximum(FlashPages);
}

// Short 0xAE: the controller prepares its configuration for the update and
// answers exactly "OK".
bool PrepareConfiguration(TcpLink& link) {
    QByteArray reply;
    if (link.Connected() && link.Write(BuildShortFrame(ShortPrepareConfig)))
        link.ReadExact(PrepareReplySize, reply);
    return reply == "OK";
}

// Short 0xAD: no reply comes; the controller installs the program copy and
// restarts. True once the controller was seen taking it.
bool StartUpdate(TcpLink& link, int waitMs, IEventPump* pump) {
    return link.Connected() && link.Write(BuildShortFrame(ShortStartUpdate)) &&
           ControllerTookUpdateStart(link, waitMs, pump);
}

// Firmware V401f after the update start: wait for the restart, reconnect and
// clear the text area. True when the texts were cleared.
bool ReconnectAndClearTexts(TfmCommon& common, bool updConfig, ILog& memo, IProgress& progress,
                            IEventPump* pump) {
    ReplaceLastLine(memo, Pl(lt::UpdateOk));
    memo.Append(Pl(lt::RestartQuelnet));
    memo.Append(Pl(lt::WaitingReconnect));
    PageTransfer::PauseWithEvents(common.GetTimeouts().RestartWait, pump);
    ReplaceLastLine(memo, Pl(lt::Reconnecting));

    // With the configuration prepared, the controller comes back with its
    // factory settings: at the factory address and port.
    if (updConfig)
        common.Link().SetTarget(common.GetFactoryTarget().Host,
                                quint16(TextToInt64(common.GetFactoryTarget().PortTcp)));
    if (!common.Link().Connect()) {
        memo.Append(Pl(lt::ConnectFailedLog));
        return false;
    }
    ReplaceLastLine(memo, Pl(lt::ReconnectOk));
    memo.Append(Pl(lt::ClearingTexts));

    // The text area is cleared with zero pages; the progress goes on against
    // the maximum of 2,048. A failed clearing adds no line of its own.
    const QByteArray zeros(PageSize, '\0');
    PageTransfer pages = ProgrammingLoop(common, memo, progress, pump);
    const bool cleared = pages.Run(TextsFirstPage, TextsEndPage,
                                   [&](int page) { return ShortPageAttempt(common.Link(), page, zeros); });
    if (cleared) {
        ReplaceLastLine(memo, Pl(lt::ClearingTextsOk));
        memo.Append(Pl(lt::UpdateFinishedOk));
    }
    common.CloseConnection();
    return cleared;
}

} // namespace

bool TfmCommon::SendDataFlash(const QString& Host, const QString& PortTcp, const QByteArray& Image,
                              ILog& Memo, IProgress& ProgressBar, IEventPump* Pump) {
    BusyGuard guard(*this);
    if (!guard || Image.size() != FlashSize)
        return false;
    if (!OpenForProgramming(*this, Host, PortTcp, Memo))
        return false;
    StartPageProgress(Memo, ProgressBar);
    PageTransfer pages = ProgrammingLoop(*this, Memo, ProgressBar, Pump);
    pages.SetGiveUpText(Pl(lt::PageLoadError));
    const bool result =
        pages.Run(0, FlashPages, [&](int page) { return LongPageAttempt(*this, page, PageOf(Image, page)); });
    CloseConnection();
    return result;
}

bool TfmCommon::UpdateDataFlash(const QString& Host, const QString& PortTcp, const QString& Version,
                                const QByteArray& Image, ILog& Memo, IProgress& ProgressBar, bool UpdConfig,
                                IEventPump* Pump) {
    BusyGuard guard(*this);
    if (!guard)
        return false;
    m_updateEnd = UpdateEnd::NotStarted;
    if (Image.size() != FlashSize || !OpenForProgramming(*this, Host, PortTcp, Memo))
        return false;
    StartPageProgress(Memo, ProgressBar);
    PageTransfer pages = ProgrammingLoop(*this, Memo, ProgressBar, Pump);
    pages.SetGiveUpText(Pl(lt::PageLoadError));
    if (!pages.Run(0, FlashPages,
                   [&](int page) { return ShortPageAttempt(m_link, page, PageOf(Image, page)); })) {
        CloseConnection();
        return false;
    }
    ReplaceLastLine(Memo, Pl(lt::ProgrammingFlashOk));

    if (UpdConfig && !PrepareConfiguration(m_link)) {
        Memo.Append(Pl(lt::PrepareConfigError));
        CloseConnection();
        return false;
    }
    Memo.Append(Pl(lt::Updating));
    const bool started = StartUpdate(m_link, m_timeouts.Link, Pump);
    CloseConnection();
    // An update that did not start must not be reported as done, nor may the
    // text area (which now holds the start of the program copy) be cleared.
    if (!started) {
        Memo.Append(Pl(lt::UpdateStartNotTaken));
        return false;
    }

    if (Version == SelfRestartingVersion) {
        const bool cleared = ReconnectAndClearTexts(*this, UpdConfig, Memo, ProgressBar, Pump);
        m_updateEnd = cleared ? UpdateEnd::Finished : UpdateEnd::TextsNotCleared;
    } else {
        ReplaceLastLine(Memo, Pl(lt::UpdateOk));
        Memo.Append(Pl(lt::RestartAtUpdateEnd));
        m_updateEnd = UpdateEnd::Started;
    }
    return true;
}

} // namespace quelnet
