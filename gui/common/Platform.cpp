#include "gui/common/Platform.h"

#include <QApplication>
#include <QDesktopServices>

namespace quelnet {

namespace {

PlatformServices defaults() {
    PlatformServices s;
    s.OpenUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    s.MessageBox = [](QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text,
                      QMessageBox::StandardButtons buttons) {
        QMessageBox box(icon, title, text, buttons, parent);
        return QMessageBox::StandardButton(box.exec());
    };
    s.Beep = [] { QApplication::beep(); };
    return s;
}

} // namespace

PlatformServices& Platform() {
    static PlatformServices services = defaults();
    return services;
}

void RestoreDefaultPlatform() {
    Platform() = defaults();
}

QMessageBox::StandardButton ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                        const QString& text, QMessageBox::StandardButtons buttons) {
    return Platform().MessageBox(parent, icon, title, text, buttons);
}

bool AskYesNo(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
    return Platform().MessageBox(parent, icon, title, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

} // namespace quelnet
