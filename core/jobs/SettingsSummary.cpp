#include "core/jobs/SettingsSummary.h"

#include "core/base/CodePage.h"
#include "core/base/InterfaceTexts.h"
#include "core/protocol/Frames.h"

#include <QStringList>

namespace quelnet {

namespace {

const QString CR = QStringLiteral("\r");

uchar ByteAt(const QByteArray& config, int offset) {
    return offset < config.size() ? uchar(config[offset]) : 0;
}

QString DottedDecimal(const QByteArray& config, int offset) {
    QStringList parts;
    for (int i = 0; i < 4; ++i)
        parts << QString::number(ByteAt(config, offset + i));
    return parts.join('.');
}

QString Mac(const QByteArray& config) {
    QStringList parts;
    for (int i = 0; i < 6; ++i)
        parts << QStringLiteral("%1").arg(ByteAt(config, config::MacOffset + i), 2, 16, QChar('0')).toUpper();
    return parts.join('-');
}

// A zero-padded password field: its text up to its own first zero byte.
QString PasswordField(const QByteArray& config, int offset) {
    QByteArray field = config.mid(offset, config::PasswordSize);
    const int end = field.indexOf('\0');
    if (end >= 0)
        field.truncate(end);
    return FromAnsi(field);
}

// A password block up to its first zero byte.
QByteArray UpToZero(const QByteArray& block) {
    const qsizetype end = block.indexOf('\0');
    return end < 0 ? block : block.left(end);
}

QString Line(const TLangText& label, const QString& value) {
    return Pl(label) + " " + value + CR;
}

} // namespace

bool ControlPasswordChanges(const QByteArray& config, const QString& inUse) {
    QByteArray field = config.mid(config::ControlPasswordOffset, config::PasswordSize);
    field.append(config::PasswordSize - field.size(), '\0');
    return UpToZero(field) != UpToZero(proto::PasswordBlock(inUse));
}

QString SettingsSummary(const QByteArray& config, const QString& controlPasswordInUse,
                        SummaryPassword password) {
    const QString shown = password == SummaryPassword::Shown
                              ? PasswordField(config, config::ConfigPasswordOffset)
                              : QStringLiteral("********");
    const QString change = ControlPasswordChanges(config, controlPasswordInUse)
                               ? CR + CR + Pl(lt::ControlPasswordChanges)
                               : QString();
    return Pl(lt::SettingsToProgram) + CR + CR + Line(lt::MacLabel, Mac(config)) +
           Line(lt::IpLabel, DottedDecimal(config, config::IpOffset)) +
           Line(lt::MaskLabel, DottedDecimal(config, config::MaskOffset)) + Pl(lt::PasswordLabel) + " " +
           shown + change + CR + CR + Pl(lt::OverwriteQuestion);
}

} // namespace quelnet
