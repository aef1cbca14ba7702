// The update start (short 0xAD): the simulated controller checks the program
// copy in its DataFlash and installs it, as the boot loader of a controller does
// before it restarts.
//
// DataFlash at the update start:
//   0x0600 .. 0x25FF   configuration area (pages 6-37)
//   0x2900 .. 0x200FF  program copy, 0x1D800 bytes, check word in its last four
#include "sim/SimController.h"

#include "core/firmware/ProgramSeal.h"
#include "core/protocol/Frames.h"

namespace quelnet::sim {

namespace {

constexpr quint32 ProgramCopyAddress = 0x2900;
constexpr quint32 ConfigAddress = 0x0600;
constexpr int ConfigSize = 8192;
const QString FirstVersion4 = "V4.0.0";
const QString FactoryPassword = "3958";

bool Digit(char c) {
    return c >= '0' && c <= '9';
}

// "Vd.d.d" or "Vd.d.dx" (x a lower-case letter) at i, followed by a zero byte;
// the length of the text, or 0.
int VersionTextAt(const QByteArray& p, qsizetype i) {
    if (i + 7 > p.size() || p[i] != 'V' || !Digit(p[i + 1]) || p[i + 2] != '.' || !Digit(p[i + 3]) ||
        p[i + 4] != '.' || !Digit(p[i + 5]))
        return 0;
    if (p[i + 6] == '\0')
        return 6;
    if (p[i + 6] >= 'a' && p[i + 6] <= 'z' && i + 8 <= p.size() && p[i + 7] == '\0')
        return 7;
    return 0;
}

void PutText(QByteArray& area, int offset, const QByteArray& text) {
    area.replace(offset, text.size(), text);
}

QByteArray Ip(int a, int b, int c, int d) {
    const char bytes[] = {char(a), char(b), char(c), char(d)};
    return QByteArray(bytes, 4);
}

} // namespace

QString FindVersionText(const QByteArray& program) {
    for (qsizetype i = program.indexOf('V'); i >= 0; i = program.indexOf('V', i + 1))
        if (const int n = VersionTextAt(program, i))
            return QString::fromLatin1(program.mid(i, n));
    return {};
}

// Offsets: 0 address, 4 mask, 8/12/16 gateway and servers, 20 MAC, 26 name (16),
// 42 control password (16), 58 configuration password (16); the rest zero.
QByteArray FactoryConfiguration() {
    QByteArray area(ConfigSize, '\0');
    PutText(area, 0, Ip(192, 168, 0, 177));
    PutText(area, 4, Ip(255, 255, 255, 0));
    for (const int offset : {8, 12, 16})
        PutText(area, offset, Ip(192, 168, 0, 1));
    PutText(area, 20, QByteArray::fromHex("02514e000001"));
    PutText(area, 26, "QUELNET_1");
    PutText(area, 42, FactoryPassword.toLatin1());
    PutText(area, 58, "kpnv");
    return area;
}

void SimController::ResetToFactorySettings() {
    m_flash.Write(ConfigAddress, FactoryConfiguration());
    m_config.password = FactoryPassword;
}

Outcome SimController::StartUpdateFrame() {
    const bool prepared = m_configPrepared;
    m_configPrepared = false; // the controller restarts either way
    const QString from = m_config.EffectiveVersion();
    const QByteArray program = m_flash.Read(ProgramCopyAddress, int(firmware::SealedLength));
    QString note = "short 0xAD start update: ";
    if (!firmware::CheckProgramSeal(program))
        return {{},
                AfterReply::Restart,
                note + "the program copy at 0x2900 fails its check word; not installed, staying at " + from,
                false,
                true};
    const QString version = FindVersionText(program);
    if (version.isEmpty())
        return {{},
                AfterReply::Restart,
                note + "the program copy at 0x2900 holds no version text; not installed, staying at " + from,
                false,
                true};

    m_config.version = version;
    m_config.generation = version < FirstVersion4 ? Generation::Mid : Generation::New;
    note += "installed " + version + " over " + from;
    if (from < FirstVersion4 && prepared) {
        ResetToFactorySettings();
        note += "; configuration reset to the factory settings";
    }
    return {{}, AfterReply::Restart, note, false, true};
}

} // namespace quelnet::sim
