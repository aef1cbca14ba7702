#include "core/jobs/SettingsJob.h"

#include "core/jobs/AreaFiles.h"
#include "core/jobs/SettingsSummary.h"

#include "core/base/InterfaceTexts.h"
#include "core/link/DeviceLink.h"

#include <QFileInfo>

namespace quelnet {

namespace {

FileChoice ConfigFile(const TLangText& title) {
    return {Pl(title), Pl(lt::ConfigFileFilter), QStringLiteral("Conf.QNC")};
}

FileChoice TextFile(const TLangText& title) {
    return {Pl(title), Pl(lt::TextFileFilter), QStringLiteral("Text.QNT")};
}

} // namespace

SettingsJob::SettingsJob(TfmCommon& link, const JobFrontEnd& frontEnd) : m_link(link), m_ui(frontEnd) {}

bool SettingsJob::Identify(const ControllerTarget& target, Direction direction) {
    QString ver, rea, ser, lng;
    QChar boa;
    bool jumper = false;
    if (!m_link.CheckNewQuelnet(target.host, target.port, target.password, ver, boa, jumper, rea, ser, lng)) {
        ShowWarning(m_ui.messages, Pl(lt::NoVersion4));
        return false;
    }
    if (!jumper) {
        ShowWarning(m_ui.messages, Pl(direction == Direction::Read ? lt::NoReadJumper : lt::NoWriteJumper));
        return false;
    }
    return true;
}

bool SettingsJob::BackUp(const ControllerTarget& target) {
    if (!Identify(target, Direction::Read))
        return false;
    QByteArray config(ConfigAreaSize, '\0'), texts(TextAreaSize, '\0');
    if (!m_link.GetConfig(target.host, target.port, target.password, m_ui.log, m_ui.progress, config, texts,
                          m_ui.pump))
        return false; // the log tells why
    const bool configSaved = SaveArea(ConfigFile(lt::SaveConfigTitle), config);
    const bool textsSaved = SaveArea(TextFile(lt::SaveTextsTitle), texts);
    return configSaved && textsSaved;
}

bool SettingsJob::SaveArea(const FileChoice& choice, const QByteArray& bytes) {
    const std::optional<QString> path = m_ui.files.ChooseSaveFile(choice);
    if (!path)
        return true;
    if (QFileInfo::exists(*path) && !AskQuestion(m_ui.messages, Pl(lt::ReplaceFileQuestion)))
        return true;
    const AreaFileError error = WriteAreaFile(*path, bytes);
    if (error != AreaFileError::None)
        ShowError(m_ui.messages, AreaFileErrorText(error));
    return error == AreaFileError::None;
}

bool SettingsJob::Restore(const ControllerTarget& target) {
    if (!Identify(target, Direction::Write))
        return false;
    QByteArray config(ConfigAreaSize, '\0'), texts(TextAreaSize, '\0');
    bool configLoaded = false, textsLoaded = false;
    const bool configOk = LoadArea(ConfigFile(lt::LoadConfigTitle), ConfigAreaSize, config, configLoaded);
    const bool textsOk = LoadArea(TextFile(lt::LoadTextsTitle), TextAreaSize, texts, textsLoaded);
    if (!configLoaded && !textsLoaded)
        return false;
    const bool overwrite = configLoaded && AskOverwriteNetwork(config, target.password);
    const bool written = m_link.SetConfig(target.host, target.port, target.password, m_ui.log, m_ui.progress,
                                          configLoaded, overwrite, textsLoaded, config, texts, m_ui.pump);
    return configOk && textsOk && written;
}

bool SettingsJob::LoadArea(const FileChoice& choice, int size, QByteArray& bytes, bool& loaded) {
    loaded = false;
    const std::optional<QString> path = m_ui.files.ChooseOpenFile(choice);
    if (!path)
        return true;
    const AreaFileError error = ReadAreaFile(*path, size, bytes);
    if (error != AreaFileError::None) {
        ShowError(m_ui.messages, AreaFileErrorText(error));
        return false;
    }
    loaded = true;
    return true;
}

// Two answers are needed: the question, then Yes to the summary of what the
// controller will take over.
bool SettingsJob::AskOverwriteNetwork(const QByteArray& config, const QString& passwordInUse) {
    return AskQuestion(m_ui.messages, Pl(lt::OverwriteNetQuestion)) &&
           AskWarning(m_ui.messages, SettingsSummary(config, passwordInUse));
}

} // namespace quelnet
