#include "sim/SimSession.h"

#include "sim/SimTraffic.h"

#include "core/protocol/Frames.h"

#include <QTcpSocket>
#include <QTime>
#include <QTimer>
#include <cstdio>
#include <sys/socket.h>

namespace quelnet::sim {

namespace {

constexpr int LastPage = 0x7FF;

// What the socket itself buffers of the input before the session takes it.
constexpr int SocketReadBuffer = 16 * 1024;

// Every page, for a request drawn to get a wrong echo.
const QSet<int>& EveryPage() {
    static const QSet<int> pages = [] {
        QSet<int> all;
        for (int p = 0; p < 2048; ++p)
            all.insert(p);
        return all;
    }();
    return pages;
}

} // namespace

void SimLog(const QString& line) {
    const QByteArray text =
        ("quelnet-sim " + QTime::currentTime().toString("HH:mm:ss.zzz") + " " + line + "\n").toLocal8Bit();
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::fflush(stderr);
}

SimSession::SimSession(QTcpSocket* socket, const Context& context, int number, QObject* parent)
    : QObject(parent), m_socket(socket), m_context(context), m_idle(new QTimer(this)),
      m_partial(new QTimer(this)), m_number(number) {
    m_socket->setParent(this);
    m_socket->setReadBufferSize(SocketReadBuffer);
    m_context.traffic.ConnectionOpened();
    Log("connected from " + m_socket->peerAddress().toString());
    m_idle->setSingleShot(true);
    m_idle->setInterval(m_context.limits.idleTimeoutMs);
    m_partial->setSingleShot(true);
    m_partial->setInterval(m_context.limits.partialFrameMs);
    connect(m_idle, &QTimer::timeout, this, &SimSession::CloseIdle);
    connect(m_partial, &QTimer::timeout, this, &SimSession::DropPartialFrame);
    connect(m_socket, &QTcpSocket::readyRead, this, &SimSession::Pump);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &SimSession::Pump);
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        m_closing = true;
        Log("disconnected");
        deleteLater();
    });
    m_idle->start();
}

SimSession::~SimSession() {
    m_context.traffic.ConnectionClosed();
}

void SimSession::Close() {
    if (m_closing)
        return;
    m_closing = true;
    m_buffer.clear();
    m_partial->stop();
    // The idle timer keeps running: a client that never takes the last replies
    // would otherwise hold the closing connection for ever.
    m_socket->disconnectFromHost();
}

void SimSession::Pump() {
    if (m_linkLost) {
        ResetLostLink();
        return;
    }
    if (m_closing) {
        m_socket->readAll();
        return;
    }
    for (;;) {
        const bool took = TakeInput();
        bool handled = false;
        while (HandleNextFrame())
            handled = true;
        if (!took && !handled)
            break;
    }
    m_context.traffic.Held(qMax(m_buffer.size() + m_socket->bytesAvailable(), m_socket->bytesToWrite()));
    WatchPartialFrame();
}

// Reads what fits into the frame buffer.
bool SimSession::TakeInput() {
    const qint64 room = m_context.limits.connectionBufferBytes - m_buffer.size();
    if (m_closing || room <= 0 || m_socket->bytesAvailable() <= 0)
        return false;
    m_buffer.append(m_socket->read(room));
    m_idle->start();
    return true;
}

// Handles the frame at the start of the buffer; false when there is none yet,
// a delayed reply is pending or the client has not taken the replies so far.
bool SimSession::HandleNextFrame() {
    if (m_busy || m_closing || m_socket->bytesToWrite() >= m_context.limits.connectionBufferBytes)
        return false;
    const int length = SimController::FrameLength(m_buffer);
    if (length < 0) {
        // Not the start of a frame: skip to the next 0xD5.
        int next = m_buffer.indexOf(char(0xD5), 1);
        if (next < 0)
            next = int(m_buffer.size());
        Log(QString("skipped %1 bytes that do not start a frame").arg(next));
        m_buffer.remove(0, next);
        return true;
    }
    if (length == 0)
        return false;
    const QByteArray frame = m_buffer.left(length);
    m_buffer.remove(0, length);

    Faults faults = m_context.faults.Get();
    const int number = m_context.traffic.AddRequest(frame);
    ++m_onConnection;
    const bool page = SimController::IsPageRequest(frame);
    const bool randomDrop = page && m_context.faults.Draw(faults.dropPercent);
    const bool randomEcho = page && m_context.faults.Draw(faults.wrongEchoPercent);
    if (randomDrop || randomEcho)
        m_context.traffic.RandomFault(randomDrop, randomEcho);
    if (randomEcho)
        faults.wrongEchoOnPage = EveryPage();
    const bool drop = faults.dropReplyTo.contains(number) || randomDrop;
    const Outcome outcome = m_context.controller.Handle(frame, faults);
    if (outcome.flashWritten && faults.corruptWrittenPages.contains(outcome.writtenPage))
        m_context.controller.CorruptPage(outcome.writtenPage);
    if (outcome.flashWritten)
        emit FlashWritten();
    const bool closeAfter = faults.closeAfterRequests > 0 && m_onConnection >= faults.closeAfterRequests;
    if (faults.closeBeforeUpdateStart && outcome.writtenPage == LastPage && frame.size() > 1 &&
        uchar(frame[1]) == proto::ShortWritePage)
        m_linkLost = true; // after this reply
    if (faults.replyDelayMs > 0) {
        m_busy = true;
        QTimer::singleShot(faults.replyDelayMs, this, [this, outcome, number, drop, closeAfter] {
            m_busy = false;
            Deliver(outcome, number, drop, closeAfter);
            Pump();
        });
        return false;
    }
    Deliver(outcome, number, drop, closeAfter);
    return true;
}

void SimSession::Deliver(const Outcome& outcome, int number, bool drop, bool closeAfter) {
    if (m_closing)
        return;
    QString what = outcome.reply.isEmpty() ? QString("no reply")
                   : drop ? QString("reply of %1 bytes dropped (fault)").arg(outcome.reply.size())
                          : QString("%1 bytes").arg(outcome.reply.size());
    if (outcome.notable && !m_context.verbose)
        SimLog(outcome.note);
    Log(QString("#%1 %2 -> %3").arg(number).arg(outcome.note, what));
    if (!drop && !outcome.reply.isEmpty()) {
        m_socket->write(outcome.reply);
        m_idle->start();
    }
    if (outcome.after == AfterReply::Restart) {
        // Requests behind this one are not served: the controller is going
        // down, all at once. The server stops listening and closes every link,
        // this one included, before anything else happens: a client that sees
        // its link close and connects again at once must find no listener.
        emit RestartRequested();
        Close();
        return;
    }
    if (outcome.after == AfterReply::Close) {
        Close();
    } else if (closeAfter) {
        Log(QString("closing after %1 requests (fault)").arg(m_onConnection));
        Close();
    }
}

// The buffer ends in the first part of a frame and nothing more is waiting.
bool SimSession::PartialFrameStalled() const {
    return !m_closing && !m_busy && !m_buffer.isEmpty() && m_socket->bytesAvailable() == 0 &&
           SimController::FrameLength(m_buffer) == 0;
}

// The timer runs from the moment a frame stalls; later bytes of the same frame
// do not restart it.
void SimSession::WatchPartialFrame() {
    if (!PartialFrameStalled()) {
        m_partial->stop();
    } else if (!m_partial->isActive() || m_partialSince != m_onConnection) {
        m_partialSince = m_onConnection;
        m_partial->start();
    }
}

void SimSession::DropPartialFrame() {
    if (!PartialFrameStalled())
        return;
    Log(QString("dropped %1 bytes of a frame that stopped half-way").arg(m_buffer.size()));
    m_context.traffic.PartialFrameDropped();
    m_buffer.clear();
}

// The link was lost after the reply to the last page write: the next frame
// finds it closed on this side and is answered with a reset, unread.
void SimSession::ResetLostLink() {
    if (m_closing || m_socket->bytesAvailable() <= 0)
        return;
    Log(QString("link lost after the last page (fault): %1 bytes met with a reset")
            .arg(m_socket->bytesAvailable()));
    m_closing = true;
    // No lingering: the close sends a reset, as a link closed before the
    // frame came does, and not the orderly end of a link that took it.
    const linger now{1, 0};
    ::setsockopt(int(m_socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &now, sizeof now);
    m_socket->abort();
    deleteLater();
}

// A client that neither sends nor takes replies loses its connection at once,
// whatever is still waiting to be sent.
void SimSession::CloseIdle() {
    Log("closed after the idle time-out");
    m_context.traffic.IdleClosed();
    m_closing = true;
    m_socket->abort();
    deleteLater();
}

void SimSession::Log(const QString& line) const {
    if (m_context.verbose)
        SimLog(QString("conn %1: %2").arg(m_number).arg(line));
}

} // namespace quelnet::sim
