#pragma once
// The job interfaces answered with the desktop's own dialogs: message boxes
// (through the platform seam, so tests can record them), the open and save
// file dialogs, and the warning beep as the alarm.

#include "core/jobs/JobInterfaces.h"

class QWidget;

namespace quelnet {

class DesktopDialogs : public IMessages, public IFileChooser, public ISound {
public:
    explicit DesktopDialogs(QWidget* owner) : m_owner(owner) {}

    MessageAnswer Show(const Message& message) override;
    std::optional<QString> ChooseOpenFile(const FileChoice& choice) override;
    std::optional<QString> ChooseSaveFile(const FileChoice& choice) override;
    void Alarm() override;

private:
    QWidget* m_owner;
};

// "Ustawienia QuelNet-a|*.QNC" -> "Ustawienia QuelNet-a (*.QNC)"; several
// pairs are joined by ";;", patterns separated by ";" by blanks.
QString QtFileFilter(const QString& filter);

// Message texts break their lines with CR; the toolkit's boxes with LF.
QString BoxText(const QString& text);

} // namespace quelnet
