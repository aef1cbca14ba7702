#include "gui/maintenance/MaintenanceWindow.h"

#include "gui/common/HelpSupport.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

namespace quelnet {

MaintenanceWindow::MaintenanceWindow(const Design& design, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint), m_design(design) {
    setObjectName(design.objectName);
    setWindowTitle(QString::fromUtf8(design.caption));
    setFont(QFont("Tahoma", 8));
    setFixedSize(design.clientWidth, design.clientHeight);
    move(0, 0);
    if (design.helpFragment) InstallHelp(this, QString::fromLatin1(design.helpFragment));
}

void MaintenanceWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_placed || !m_design.centred) return;
    m_placed = true;
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

} // namespace quelnet
