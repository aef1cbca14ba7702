#include "gui/maintenance/DesktopDialogs.h"

#include "gui/common/Platform.h"

#include <QFileDialog>
#include <QStringList>

namespace quelnet {

namespace {

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

std::optional<QString> Chosen(const QString& path) {
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

} // namespace

MessageAnswer DesktopDialogs::Show(const Message& message) {
    const bool yesNo = message.buttons == MessageButtons::YesNo;
    const QMessageBox::StandardButton pressed =
        Platform().MessageBox(m_owner, BoxIcon(message.icon), message.caption, BoxText(message.text),
                              yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    if (!yesNo)
        return MessageAnswer::Ok;
    return pressed == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}

std::optional<QString> DesktopDialogs::ChooseOpenFile(const FileChoice& choice) {
    return Chosen(
        QFileDialog::getOpenFileName(m_owner, choice.title, choice.fileName, QtFileFilter(choice.filter)));
}

std::optional<QString> DesktopDialogs::ChooseSaveFile(const FileChoice& choice) {
    return Chosen(QFileDialog::getSaveFileName(m_owner, choice.title, choice.fileName,
                                               QtFileFilter(choice.filter), nullptr,
                                               QFileDialog::DontConfirmOverwrite));
}

void DesktopDialogs::Alarm() {
    Platform().Beep();
}

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        filters << parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")";
    return filters.join(";;");
}

QString BoxText(const QString& text) {
    return QString(text).replace("\r\n", "\n").replace('\r', '\n');
}

} // namespace quelnet
