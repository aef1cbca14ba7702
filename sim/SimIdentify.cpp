// What the simulated controller reports about itself.
#include "sim/SimController.h"

#include "core/protocol/Frames.h"

namespace quelnet::sim {

using namespace quelnet::proto;

namespace {

constexpr char JumperFitted = 0x65; // 'e'
constexpr char JumperMissing = 0x64;
constexpr uchar ReplyIdentify = 0xBA; // the tool does not examine it

// A text field of fixed width: its Latin-1 bytes, cut or zero-padded.
QByteArray Field(const QString& text, int width) {
    QByteArray b = text.toLatin1().left(width);
    b.append(width - b.size(), '\0');
    return b;
}

} // namespace

// Payload (reply bytes 16-47): version 6, board 1, jumper 1, build 8, serial 8,
// language 2, 6 spare zero bytes.
QByteArray SimController::LongIdentifyReply() const {
    QByteArray p = Field(m_config.EffectiveVersion(), 6);
    p.append(m_config.board.toLatin1());
    p.append(m_config.jumper ? JumperFitted : JumperMissing);
    p.append(Field(m_config.build, 8));
    p.append(Field(m_config.serial, 8));
    p.append(Field(m_config.language, 2));
    p.append(6, '\0');
    return BuildLongReply(ReplyIdentify, 0, p);
}

// 58 bytes: version 0-5, board 7, jumper 9, build 10-17, serial 18-25, and the two
// language characters as hexadecimal digit pairs in 54-57 ("PL" is "504C").
QByteArray SimController::ShortIdentifyReply() const {
    QByteArray r(MidIdentifyReplySize, '\0');
    r.replace(0, 6, Field(m_config.EffectiveVersion(), 6));
    r[7] = m_config.board.toLatin1();
    r[9] = m_config.jumper ? JumperFitted : JumperMissing;
    r.replace(10, 8, Field(m_config.build, 8));
    r.replace(18, 8, Field(m_config.serial, 8));
    const QByteArray lang = Field(m_config.language, 2);
    const QByteArray hex = QString("%1%2")
                               .arg(uchar(lang[0]), 2, 16, QChar('0'))
                               .arg(uchar(lang[1]), 2, 16, QChar('0'))
                               .toUpper()
                               .toLatin1();
    r.replace(54, 4, hex);
    return r;
}

} // namespace quelnet::sim
