#include "core/jobs/ResourcesJob.h"

#include "core/base/InterfaceTexts.h"
#include "core/firmware/FirmwarePackage.h"
#include "core/firmware/PackageFormat.h"
#include "core/link/DeviceLink.h"

#include <QFile>

namespace quelnet {

namespace {

// The group every controller of version 4 receives: the identification
// reports "PL" for each of them.
const QString PreviewLanguage = QStringLiteral("PL");

QString Version() {
    return QLatin1String(package::Version401f);
}

} // namespace

QString SizeText(qint64 bytes) {
    if (bytes <= 0)
        return QStringLiteral("-");
    return QString::number((bytes + 1023) / 1024) + QStringLiteral("kBi");
}

qint64 UserFileSize(const QString& path) {
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly))
        return -1;
    return file.size();
}

ResourcesJob::ResourcesJob(TfmCommon& link, const JobFrontEnd& frontEnd) : m_link(link), m_ui(frontEnd) {}

FileChoice ResourcesJob::DialogOf(ResourceKind kind) {
    if (kind == ResourceKind::Page)
        return {QString(), QStringLiteral("HTML|*.html|HTM|*.htm|TEXT|*.txt"), QString()};
    return {QString(), QStringLiteral("GIF|*.gif"), QString()};
}

std::optional<QString> ResourcesJob::Choose(IFileChooser& files, ResourceKind kind) {
    return files.ChooseOpenFile(DialogOf(kind));
}

bool ResourcesJob::FilesDoNotFit(const QString& lang, const TUser_Resource& resource) {
    int free = 0;
    return !BuildDataFlashImage(lang, Version(), free, &resource) &&
           BuildDataFlashImage(lang, Version(), free, nullptr);
}

std::optional<QString> ResourcesJob::FreeSpaceText(const TUser_Resource& resource) {
    int free = 0;
    const QString label = Pl(lt::FreeSpace) + QLatin1Char(' ');
    if (BuildDataFlashImage(PreviewLanguage, Version(), free, &resource))
        return label + SizeText(free);
    if (FilesDoNotFit(PreviewLanguage, resource))
        return label + SizeText(0);
    return std::nullopt;
}

QString ResourcesJob::Install(const ControllerTarget& target, const TUser_Resource& resource,
                              const std::function<void(const QString&)>& status) {
    const auto tell = [&](const TLangText& text, void (*box)(IMessages&, const QString&)) {
        const QString line = Pl(text);
        if (status)
            status(line);
        box(m_ui.messages, line);
        return line;
    };
    QString ver, rea, ser, lng;
    QChar boa;
    bool jumper = false;
    if (!m_link.CheckNewQuelnet(target.host, target.port, target.password, ver, boa, jumper, rea, ser, lng))
        return tell(lt::NoVersion4, ShowWarning);
    if (!jumper)
        return tell(lt::NoProgramJumper, ShowWarning);
    int free = 0;
    if (!BuildDataFlashImage(lng, Version(), free, &resource))
        return tell(FilesDoNotFit(lng, resource) ? lt::FilesDoNotFit : lt::FlashProcessError, ShowError);
    const bool sent = m_link.SendDataFlash(target.host, target.port, ProcessDataFlashImage().Bytes(),
                                           m_ui.log, m_ui.progress, m_ui.pump);
    m_ui.progress.SetPosition(0);
    return sent ? tell(lt::ResourcesLoaded, ShowInformation) : tell(lt::FlashProgramError, ShowError);
}

} // namespace quelnet
