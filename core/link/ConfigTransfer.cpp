// Transfer of the configuration area (pages 0x06-0x25) and the text area
// (pages 0x29-0xA8) of a 4.x controller, page by page over long frames.
#include "core/link/DeviceLink.h"
#include "core/link/LinkInterfaces.h"
#include "core/link/PageTransfer.h"
#include "core/protocol/Frames.h"

#include "core/base/InterfaceTexts.h"

namespace quelnet {

using namespace quelnet::proto;

namespace {

constexpr int ConfigFirstPage = 0x06;
constexpr int ConfigEndPage = 0x26; // exclusive
constexpr int TextsFirstPage = 0x29;
constexpr int TextsEndPage = 0xA9; // exclusive
constexpr int ConfigSize = (ConfigEndPage - ConfigFirstPage) * PageSize;
constexpr int TextsSize = (TextsEndPage - TextsFirstPage) * PageSize;
constexpr int AllPages = (ConfigEndPage - ConfigFirstPage) + (TextsEndPage - TextsFirstPage); // 160

// Replaces the running step's " ..." line by its " OK." line.
void StepDone(ILog& memo, const TLangText& ok) {
    memo.RemoveLast();
    memo.Append(Pl(ok));
}

// The bytes of one page of an area; a buffer shorter than its area is written
// as erased DataFlash (0xFF) where it has no bytes.
QByteArray PageOf(const QByteArray& area, int index) {
    QByteArray page = area.mid(index * PageSize, PageSize);
    page.append(PageSize - page.size(), char(0xFF));
    return page;
}

} // namespace

bool TfmCommon::BareCommand(quint8 command, const QString& Pass, quint8 expectedCode) {
    QByteArray reply;
    SendRequest(command, Pass, 0);
    return ReadReply(reply) == LongHeaderSize && uchar(reply[12]) == expectedCode;
}

bool TfmCommon::PageLoop(PageDirection direction, const QString& Pass, int first, int end, QByteArray& data,
                         ILog& Memo, IProgress& ProgressBar, IEventPump* pump) {
    const bool reading = direction == PageDirection::Read;
    PageTransfer pages({Memo, ProgressBar, pump, m_timeouts.RetryPause, [this] { Reconnect(); }});
    return pages.Run(first, end, [&](int page) {
        const QByteArray address = PageAddress(page);
        QByteArray reply;
        SendRequest(reading ? CmdReadPage : CmdWritePage, Pass, 0, address,
                    reading ? QByteArray() : PageOf(data, page - first));
        const int r = ReadReply(reply);
        if (r < 0)
            return PageOutcome::NoReply;
        const bool accepted = reading ? r == ReadPageReplySize && uchar(reply[12]) == ReplyReadPage
                                      : r == WritePageReplySize && uchar(reply[12]) == ReplyWritePage;
        if (!accepted || reply.mid(16, 3) != address)
            return PageOutcome::Refused;
        if (reading)
            data.replace((page - first) * PageSize, PageSize, reply.mid(19, PageSize));
        return PageOutcome::Accepted;
    });
}

bool TfmCommon::GetConfig(const QString& Host, const QString& PortTcp, const QString& Pass, ILog& Memo,
                          IProgress& ProgressBar, QByteArray& Config, QByteArray& Texts, IEventPump* Pump) {
    BusyGuard guard(*this);
    if (!guard)
        return false;
    Memo.Clear();
    if (!OpenConnection(Host, PortTcp, m_timeouts.Link)) {
        Memo.Append(Pl(lt::ConnectFailedLog));
        return false;
    }
    if (Config.size() < ConfigSize)
        Config.resize(ConfigSize);
    if (Texts.size() < TextsSize)
        Texts.resize(TextsSize);

    bool result = false;
    Memo.Append(Pl(lt::TakeOverConfig));
    // The controller first copies its working configuration into the area.
    if (!BareCommand(CmdPrepareRead, Pass, ReplyPrepareRead)) {
        Memo.Append(Pl(lt::TakeOverConfigError));
    } else {
        StepDone(Memo, lt::TakeOverConfigOk);
        Memo.Append(Pl(lt::ReadingConfig));
        ProgressBar.SetPosition(0);
        ProgressBar.SetMaximum(AllPages);
        if (!PageLoop(PageDirection::Read, Pass, ConfigFirstPage, ConfigEndPage, Config, Memo, ProgressBar,
                      Pump)) {
            Memo.Append(Pl(lt::ReadConfigError));
        } else {
            StepDone(Memo, lt::ReadingConfigOk);
            Memo.Append(Pl(lt::ReadingTexts));
            if (!PageLoop(PageDirection::Read, Pass, TextsFirstPage, TextsEndPage, Texts, Memo, ProgressBar,
                          Pump)) {
                Memo.Append(Pl(lt::ReadVariablesError));
            } else {
                StepDone(Memo, lt::ReadingTextsOk);
                result = true;
            }
        }
    }
    CloseConnection();
    ProgressBar.SetPosition(0);
    return result;
}

bool TfmCommon::SetConfig(const QString& Host, const QString& PortTcp, const QString& Pass, ILog& Memo,
                          IProgress& ProgressBar, bool WrConfig, bool WrNet, bool WrTexts,
                          const QByteArray& Config, const QByteArray& Texts, IEventPump* Pump) {
    BusyGuard guard(*this);
    if (!guard)
        return false;
    Memo.Clear();
    if (!OpenConnection(Host, PortTcp, m_timeouts.Link)) {
        Memo.Append(Pl(lt::ConnectFailedLog));
        return false;
    }
    QByteArray config = Config;
    QByteArray texts = Texts;
    bool result = true;

    if (WrConfig || WrTexts) {
        ProgressBar.SetPosition(0);
        ProgressBar.SetMaximum(WrConfig ? AllPages : TextsEndPage - TextsFirstPage);
    }
    if (WrConfig) {
        Memo.Append(Pl(lt::WritingConfig));
        if (PageLoop(PageDirection::Write, Pass, ConfigFirstPage, ConfigEndPage, config, Memo, ProgressBar,
                     Pump)) {
            StepDone(Memo, lt::WritingConfigOk);
        } else {
            // A partly written area must not be taken over: stop here.
            Memo.Append(Pl(lt::TakeOverConfigError));
            CloseConnection();
            ProgressBar.SetPosition(0);
            return false;
        }
    }
    if (WrTexts) {
        Memo.Append(Pl(lt::WritingTexts));
        if (PageLoop(PageDirection::Write, Pass, TextsFirstPage, TextsEndPage, texts, Memo, ProgressBar,
                     Pump))
            StepDone(Memo, lt::WritingTextsOk);
        else
            result = false;
    }
    if (WrConfig) {
        Memo.Append(Pl(lt::TakeOverConfig));
        // 0xAE takes the network settings and passwords over too and needs a
        // restart; 0xAC keeps the controller's own. Both answer 0xBE.
        if (BareCommand(WrNet ? CmdTakeOverWithNet : CmdTakeOverKeepNet, Pass, ReplyTakeOver)) {
            StepDone(Memo, lt::TakeOverConfigOk);
            if (WrNet) {
                Memo.Append(Pl(lt::ResetQuelnet));
                SendRequest(CmdRestart, Pass, 0); // no reply comes
            }
        } else {
            Memo.Append(Pl(lt::TakeOverConfigError));
            result = false;
        }
    }
    CloseConnection();
    ProgressBar.SetPosition(0);
    return result;
}

} // namespace quelnet
