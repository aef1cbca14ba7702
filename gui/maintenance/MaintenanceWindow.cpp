#include "gui/maintenance/MaintenanceWindow.h"

#include "core/link/DeviceLink.h"
#include "core/link/LinkWait.h"
#include "gui/common/HelpSupport.h"
#include "gui/common/WindowFrame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QShowEvent>

namespace quelnet {

void MaintenanceWindow::SetCommon(TfmCommon* common) {
    m_common = common;
    if (m_common)
        m_common->SetLinkWait(&EventLoopWait());
}

MaintenanceWindow::MaintenanceWindow(const Design& design, QWidget* parent)
    : QWidget(parent, FixedDialogFlags()), m_design(design) {
    setObjectName(design.objectName);
    setWindowTitle(QString::fromUtf8(design.caption));
    setFont(QFont("Tahoma", 8));
    setFixedSize(design.clientWidth, design.clientHeight);
    move(0, 0);
    if (design.helpFragment)
        InstallHelp(this, QString::fromLatin1(design.helpFragment));
    m_framing = new FramedPlacement(this);
}

void MaintenanceWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_placed || !m_design.centred)
        return;
    m_placed = true;
    // Centred with the frame, which is known once the window manager has framed the window.
    Centre();
    m_framing->WhenFramed([this] { Centre(); });
}

void MaintenanceWindow::Centre() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    const QSize outer = OuterRect(this).size();
    MoveOuterTo(this, QPoint(area.x() + (area.width() - outer.width()) / 2,
                             area.y() + (area.height() - outer.height()) / 2));
}

} // namespace quelnet
