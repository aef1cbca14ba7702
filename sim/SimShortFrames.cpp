// Short frames: D5 <cmd> 00 A2 A1 A0 [256 data bytes for 0xA1], no password, fixed
// reply lengths. Spoken by 4.x controllers and by the middle generation. Without
// a password, the frames that program the controller need the programming jumper.
#include "sim/SimController.h"

#include "core/protocol/Frames.h"

namespace quelnet::sim {

using namespace quelnet::proto;

Outcome SimController::HandleShort(const QByteArray& frame, const Faults& faults) {
    const uchar cmd = uchar(frame[1]);
    const quint32 address = quint32(uchar(frame[3])) << 16 | quint32(uchar(frame[4])) << 8 | uchar(frame[5]);
    const QString hex = QString("%1").arg(cmd, 2, 16, QChar('0')).toUpper();
    const bool programming = cmd == ShortWritePage || cmd == ShortPrepareConfig || cmd == ShortStartUpdate;
    if (programming && !m_config.jumper)
        return {{},
                AfterReply::Stay,
                "short 0x" + hex + " refused: the programming jumper is missing",
                false,
                true};
    switch (cmd) {
    case ShortIdentify:
        return {ShortIdentifyReply(), AfterReply::Stay, "short 0xAA identify"};
    case ShortWritePage: {
        m_flash.Write(address, frame.mid(ShortHeaderSize, PageSize));
        // The reply is the 6 header bytes sent, with the address as written.
        QByteArray echo = frame.left(3) + EchoAddress(address, faults.wrongEchoOnPage);
        return {echo,
                AfterReply::Stay,
                QString("short 0xA1 write page 0x%1").arg(address >> 8, 3, 16, QChar('0')),
                true,
                false,
                int(address >> 8)};
    }
    case ShortPrepareConfig:
        m_configPrepared = true;
        return {faults.prepareReply, AfterReply::Stay, "short 0xAE prepare configuration"};
    case ShortStartUpdate:
        return StartUpdateFrame();
    default:
        return {{}, AfterReply::Stay, "short 0x" + hex + " unknown: no reply"};
    }
}

} // namespace quelnet::sim
