#pragma once
// On-line help of the windows that have it (panel editor, update, resources,
// settings). Linux title bars have no help button, so each such window gets a
// small "?" button in its top-right corner and the F1 key. Either opens the
// window's page of the manual in the browser and, when that worked, says so in
// a message box. The button acts on release over itself, like any push button.

#include <QString>
#include <QUrl>

class QWidget;
class QToolButton;

namespace quelnet {

// Host of the maker's help server.
inline constexpr const char* HelpHost = "www.quelnet.pl";

// "http://<host>/pc-pl4/index.html#<fragment>"
QUrl HelpUrl(const QString& fragment);

// Opens the page; on success shows "Pomoc udostępniona w przeglądarce.".
// Returns whether the page was opened.
bool OpenHelp(QWidget* owner, const QString& fragment);

// Adds the "?" button (object name "HelpButton") and the F1 shortcut to a window.
QToolButton* InstallHelp(QWidget* window, const QString& fragment);
// Removes both again (the run-mode panel has no help).
void RemoveHelp(QWidget* window);

} // namespace quelnet
