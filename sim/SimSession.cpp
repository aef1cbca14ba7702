#include "sim/SimSession.h"

#include "sim/SimTraffic.h"

#include <QTcpSocket>
#include <QTime>
#include <QTimer>
#include <cstdio>

namespace quelnet::sim {

void SimLog(const QString& line) {
    const QByteArray text =
        ("quelnet-sim " + QTime::currentTime().toString("HH:mm:ss.zzz") + " " + line + "\n").toLocal8Bit();
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::fflush(stderr);
}

SimSession::SimSession(QTcpSocket* socket, SimController& controller, SimFaults& faults, SimTraffic& traffic,
                       int number, bool verbose, QObject* parent)
    : QObject(parent), m_socket(socket), m_controller(controller), m_faults(faults), m_traffic(traffic),
      m_number(number), m_verbose(verbose) {
    m_socket->setParent(this);
    m_traffic.ConnectionOpened();
    Log("connected from " + m_socket->peerAddress().toString());
    connect(m_socket, &QTcpSocket::readyRead, this, [this] {
        if (!m_closing)
            m_buffer.append(m_socket->readAll());
        else
            m_socket->readAll();
        ProcessBuffer();
    });
    connect(m_socket, &QTcpSocket::disconnected, this, [this] {
        m_closing = true;
        Log("disconnected");
        deleteLater();
    });
}

SimSession::~SimSession() {
    m_traffic.ConnectionClosed();
}

void SimSession::Close() {
    if (m_closing)
        return;
    m_closing = true;
    m_buffer.clear();
    m_socket->disconnectFromHost();
}

void SimSession::ProcessBuffer() {
    while (!m_busy && !m_closing) {
        const int length = SimController::FrameLength(m_buffer);
        if (length < 0) {
            // Not the start of a frame: skip to the next 0xD5.
            int next = m_buffer.indexOf(char(0xD5), 1);
            if (next < 0)
                next = int(m_buffer.size());
            Log(QString("skipped %1 bytes that do not start a frame").arg(next));
            m_buffer.remove(0, next);
            continue;
        }
        if (length == 0)
            return;
        const QByteArray frame = m_buffer.left(length);
        m_buffer.remove(0, length);

        const Faults faults = m_faults.Get();
        const int number = m_traffic.AddRequest(frame);
        ++m_onConnection;
        const Outcome outcome = m_controller.Handle(frame, faults);
        if (outcome.flashWritten && faults.corruptWrittenPages.contains(outcome.writtenPage))
            m_controller.CorruptPage(outcome.writtenPage);
        if (outcome.flashWritten)
            emit FlashWritten();
        const bool drop = faults.dropReplyTo.contains(number);
        const bool closeAfter = faults.closeAfterRequests > 0 && m_onConnection >= faults.closeAfterRequests;
        if (faults.replyDelayMs > 0) {
            m_busy = true;
            QTimer::singleShot(faults.replyDelayMs, this, [this, outcome, number, drop, closeAfter] {
                m_busy = false;
                Deliver(outcome, number, drop, closeAfter);
                ProcessBuffer();
            });
            return;
        }
        Deliver(outcome, number, drop, closeAfter);
    }
}

void SimSession::Deliver(const Outcome& outcome, int number, bool drop, bool closeAfter) {
    if (m_closing)
        return;
    QString what = outcome.reply.isEmpty() ? QString("no reply")
                   : drop ? QString("reply of %1 bytes dropped (fault)").arg(outcome.reply.size())
                          : QString("%1 bytes").arg(outcome.reply.size());
    if (outcome.notable && !m_verbose)
        SimLog(outcome.note);
    Log(QString("#%1 %2 -> %3").arg(number).arg(outcome.note, what));
    if (!drop && !outcome.reply.isEmpty())
        m_socket->write(outcome.reply);
    if (outcome.after == AfterReply::Restart) {
        // Requests behind this one are not served: the controller is going down.
        Close();
        emit RestartRequested();
        return;
    }
    if (outcome.after == AfterReply::Close) {
        Close();
    } else if (closeAfter) {
        Log(QString("closing after %1 requests (fault)").arg(m_onConnection));
        Close();
    }
}

void SimSession::Log(const QString& line) const {
    if (m_verbose)
        SimLog(QString("conn %1: %2").arg(m_number).arg(line));
}

} // namespace quelnet::sim
