#include "cli/Identify.h"

#include "cli/CliTexts.h"

#include "core/base/InterfaceTexts.h"

namespace quelnet::cli {

namespace {

// Versions compare as the update window compares them: code unit by code unit.
bool Version4OrLater(const QString& version) {
    return QString::compare(version, QLatin1String("V4.0.0"), Qt::CaseSensitive) >= 0;
}

QString GenerationText(Generation g) {
    switch (g) {
    case Generation::New:
        return Tx(txt::GenerationNew);
    case Generation::Mid:
        return Tx(txt::GenerationMid);
    case Generation::Old:
        return Tx(txt::GenerationOld);
    case Generation::None:
        break;
    }
    return {};
}

QString GenerationKey(Generation g) {
    switch (g) {
    case Generation::New:
        return QStringLiteral("new");
    case Generation::Mid:
        return QStringLiteral("mid");
    case Generation::Old:
        return QStringLiteral("old");
    case Generation::None:
        break;
    }
    return {};
}

} // namespace

QString Shown(const QString& field) {
    QString s = field;
    while (!s.isEmpty() && (s.back() == QChar(0) || s.back() == u' '))
        s.chop(1);
    return s.replace(QChar(0), u' ');
}

Identity IdentifyController(IIdentification& link, const IdentifyRequest& r) {
    Identity id;
    if (link.CheckNewQuelnet(r.host, r.portTcp, r.password, id.version, id.board, id.jumper, id.build,
                             id.serial, id.language)) {
        id.generation = Generation::New;
        id.boardKnown = true;
        return id;
    }
    if (link.CheckMidQuelnet(r.host, r.portTcp, id.version, id.board, id.jumper, id.build, id.serial,
                             id.language)) {
        id.boardKnown = true;
        id.passwordRefused = Version4OrLater(id.version);
        id.generation = id.passwordRefused ? Generation::New : Generation::Mid;
        return id;
    }
    if (link.CheckOldQuelnet(r.host, r.portHttp, r.configPassword, id.version, id.serial, id.language)) {
        id.generation = Generation::Old;
        return id;
    }
    return Identity{};
}

QStringList IdentityLines(const Identity& id) {
    QStringList lines{Pl(lt::VersionLabel) + Shown(id.version)};
    if (id.boardKnown)
        lines << Pl(lt::HardwareLabel) + Shown(QString(id.board)) << Pl(lt::BuildLabel) + Shown(id.build);
    lines << Pl(lt::NumberLabel) + Shown(id.serial) << Pl(lt::LanguageLabel) + Shown(id.language);
    if (id.boardKnown)
        lines << Tx(txt::JumperLabel) + Tx(id.jumper ? txt::JumperFitted : txt::JumperMissing);
    lines << Tx(txt::GenerationLabel) + GenerationText(id.generation);
    return lines;
}

QJsonObject IdentityJson(const Identity& id) {
    QJsonObject o{{QStringLiteral("generation"), GenerationKey(id.generation)},
                  {QStringLiteral("version"), Shown(id.version)},
                  {QStringLiteral("serial"), Shown(id.serial)},
                  {QStringLiteral("language"), Shown(id.language)},
                  {QStringLiteral("passwordAccepted"), !id.passwordRefused}};
    if (id.boardKnown) {
        o.insert(QStringLiteral("board"), Shown(QString(id.board)));
        o.insert(QStringLiteral("jumper"), id.jumper);
        o.insert(QStringLiteral("build"), Shown(id.build));
    }
    return o;
}

QString IdentitySummary(const Identity& id) {
    QStringList parts{Shown(id.version)};
    if (id.boardKnown)
        parts << Shown(QString(id.board)) << Shown(id.build);
    parts << Shown(id.serial) << Shown(id.language);
    QString s = parts.join(u' ') + QStringLiteral(", ") + GenerationText(id.generation);
    if (id.boardKnown)
        s += QStringLiteral(", ") + Tx(txt::JumperLabel) + u' ' +
             Tx(id.jumper ? txt::JumperFitted : txt::JumperMissing);
    return s;
}

} // namespace quelnet::cli
