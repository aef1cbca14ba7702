#pragma once
// The few platform services that tests must be able to replace: opening a web
// page, modal message boxes and the warning beep. Defaults use the real
// desktop; tests install recorders.

#include <QMessageBox>
#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

namespace quelnet {

struct PlatformServices {
    // Opens a web address in the default browser; true on success.
    std::function<bool(const QUrl&)> OpenUrl;
    // Shows a modal message box; returns the button pressed.
    std::function<QMessageBox::StandardButton(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                              const QString& text, QMessageBox::StandardButtons buttons)>
        MessageBox;
    // The system warning beep.
    std::function<void()> Beep;
};

// The services in use; replace members in tests, RestoreDefaultPlatform() after.
PlatformServices& Platform();
void RestoreDefaultPlatform();

// Convenience: Platform().MessageBox with an OK button.
QMessageBox::StandardButton ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& title,
                                        const QString& text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// A question: Platform().MessageBox with Yes and No; true when Yes was pressed.
bool AskYesNo(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text);

} // namespace quelnet
