#include "core/jobs/UpdateJob.h"

#include "core/base/InterfaceTexts.h"
#include "core/firmware/FirmwarePackage.h"
#include "core/firmware/PackageFormat.h"
#include "core/firmware/ProgramImage.h"
#include "core/link/DeviceLink.h"

namespace quelnet {

namespace {

// Versions are compared as texts, code unit by code unit.
const QString FirstVersion4 = QStringLiteral("V4.0.0");
constexpr int Version401f = 1;
const QChar CR = QChar(0x0D);

QString Line(const TLangText& label, const QString& value) {
    return Pl(label) + value + CR;
}

} // namespace

QString ShortFrameDetails(const UpdateIdentity& id) {
    return Line(lt::VersionLabel, id.Ver) + Line(lt::HardwareLabel, QString(id.Boa)) +
           Line(lt::BuildLabel, id.Rea) + Line(lt::NumberLabel, id.Ser) + Line(lt::LanguageLabel, id.Lng) +
           CR + Pl(id.Con ? lt::ReadyForUpdate : lt::NoProgramJumper);
}

QString StatusPageDetails(const UpdateIdentity& id) {
    return Line(lt::VersionLabel, id.Ver) + Line(lt::NumberLabel, id.Ser) + Line(lt::LanguageLabel, id.Lng) +
           CR + Pl(lt::CannotUpdateVersion) + id.Ver + Pl(lt::UseOlderTool);
}

UpdateJob::UpdateJob(TfmCommon& link, const JobFrontEnd& frontEnd, bool serviceMode)
    : m_link(link), m_ui(frontEnd), m_serviceMode(serviceMode) {}

const QStringList& UpdateJob::VersionNames() {
    static const QStringList names = {QStringLiteral("V2.1.4"), QStringLiteral("V4.0.1f")};
    return names;
}

QString UpdateJob::PackageTag(int version) {
    switch (version) {
    case 0:
        return QLatin1String(package::Version214);
    case Version401f:
        return QLatin1String(package::Version401f);
    default:
        return {};
    }
}

QStringList UpdateJob::Languages(int version) {
    const QString tag = PackageTag(version);
    return tag.isEmpty() ? QStringList() : GetPackageLanguages(tag);
}

QString UpdateJob::StatusAfter(UpdateStep step) {
    switch (step) {
    case UpdateStep::Done:
        return Pl(lt::UpdateFinishedOk);
    case UpdateStep::TextsNotCleared:
        return Pl(lt::UpdateFinishedWithErrors);
    case UpdateStep::ProgrammingFailed:
        return Pl(lt::UpdateFailed);
    default:
        return {};
    }
}

UpdateIdentity UpdateJob::Identify(const UpdateTarget& target) {
    UpdateIdentity id;
    if (m_link.CheckMidQuelnet(target.host, target.portTcp, id.Ver, id.Boa, id.Con, id.Rea, id.Ser, id.Lng)) {
        id.found = UpdateIdentity::Found::ShortFrames;
        id.status = Pl(lt::Detected);
        id.details = ShortFrameDetails(id);
        return id;
    }
    if (m_link.CheckOldQuelnet(target.host, target.portHttp, target.configPassword, id.Ver, id.Ser, id.Lng)) {
        id.found = UpdateIdentity::Found::StatusPage;
        id.status = Pl(lt::Detected);
        id.details = StatusPageDetails(id);
        return id;
    }
    id.status = Pl(lt::CannotDetect);
    id.details = Pl(lt::VerifyAddress);
    return id;
}

std::optional<bool> UpdateJob::Confirm(const UpdateIdentity& identity, const UpdateChoice& choice) {
    if (choice.language.isEmpty()) {
        ShowWarning(m_ui.messages, Pl(lt::ChooseLanguage));
        return std::nullopt;
    }
    bool updConfig = true;
    const bool below4 = identity.Ver < FirstVersion4;
    const QString target = VersionNames().value(choice.version);
    if (below4 && !m_serviceMode) {
        m_ui.messages.Show(
            {Pl(lt::TitleWarning), Pl(lt::CannotUpdateOld), MessageIcon::None, MessageButtons::Ok});
        return std::nullopt;
    }
    if (below4 && choice.version == Version401f && !AskWarning(m_ui.messages, Pl(lt::UpdateLosesConfig)))
        return std::nullopt;
    if (target == identity.Ver) {
        updConfig = false;
        if (!AskWarning(m_ui.messages, Pl(lt::SameVersionQuestion)))
            return std::nullopt;
    }
    if (!below4)
        updConfig = false;
    return updConfig;
}

// The program image of the choice: per hardware variant and language for
// V2.1.4, one for every language for V4.0.1f. Exactly 131,072 bytes or none.
bool UpdateJob::LoadProgram(const UpdateIdentity& identity, const UpdateChoice& choice, QByteArray& program) {
    QString name, lang;
    if (choice.version == Version401f) {
        name = QStringLiteral("IP_QueL.hex");
        lang = QLatin1String(package::CommonLang);
    } else if (identity.Boa == QLatin1Char('A') || identity.Boa == QLatin1Char('C')) {
        name = QStringLiteral("IP_QueL_") + identity.Boa + QLatin1Char('_') + choice.language +
               QStringLiteral(".hex");
        lang = choice.language;
    } else {
        return false;
    }
    const qint32 size = ExtractPackageFile(name, -1, lang, PackageTag(choice.version), program);
    if (size == program::ImageSize)
        return true;
    program.clear();
    return false;
}

UpdateStep UpdateJob::Install(const UpdateTarget& target, const UpdateIdentity& identity,
                              const UpdateChoice& choice, bool updConfig) {
    ILog& log = m_ui.log;
    log.Append(Pl(lt::LoadingProgram));
    QByteArray program;
    if (!LoadProgram(identity, choice, program)) {
        log.Append(Pl(lt::LoadProgramError));
        Alarm();
        return UpdateStep::ProgramNotLoaded;
    }
    ReplaceLastLine(log, Pl(lt::LoadingProgramOk));
    firmware::SealProgram(program);

    const QString tag = PackageTag(choice.version);
    log.Append(Pl(lt::LoadingFlash));
    int free = 0;
    if (!BuildDataFlashImage(choice.language, tag, free)) {
        log.Append(Pl(lt::FlashProcessError));
        Alarm();
        return UpdateStep::ContentNotBuilt;
    }
    ReplaceLastLine(log, Pl(lt::LoadingFlashOk));

    m_ui.progress.SetPosition(0);
    DataFlashImage& image = ProcessDataFlashImage();
    image.Overwrite(program::CopyAddress, program.left(program::CopySize)); // over "prog.bin"
    const bool programmed = m_link.UpdateDataFlash(target.host, target.portTcp, tag, image.Bytes(), log,
                                                   m_ui.progress, updConfig, m_ui.pump);
    if (!programmed)
        log.Append(Pl(lt::FlashProgramError));
    m_ui.progress.SetPosition(0);
    if (!programmed)
        return UpdateStep::ProgrammingFailed;
    return m_link.LastUpdateEnd() == UpdateEnd::TextsNotCleared ? UpdateStep::TextsNotCleared
                                                                : UpdateStep::Done;
}

void UpdateJob::Alarm() {
    if (m_ui.sound)
        m_ui.sound->Alarm();
}

} // namespace quelnet
