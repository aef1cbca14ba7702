#include "panel/UVQuelnet.h"

#include "app/HelpSupport.h"
#include "app/ULangResource.h"
#include "link/UCommonForm.h"
#include "panel/ValueScans.h"

#include <QCloseEvent>
#include <QShowEvent>

namespace quelnet {

TfmVQuelnet::TfmVQuelnet(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("fmVQuelnet");
    setWindowTitle("Wirtualny Quelnet");
    setFont(QFont("Tahoma", 8));
    resize(DesignedClientWidth, DesignedClientHeight);
    move(0, 0);
}

TfmVQuelnet::~TfmVQuelnet() = default;

void TfmVQuelnet::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && !m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TfmVQuelnet::FormShow() {
    if (EditMode) {
        setWindowTitle(Pl(lt::EditCaption));
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        InstallHelp(this, "k");
    } else {
        setWindowTitle(Pl(lt::RunCaption));
        RemoveHelp(this);
        setFixedSize(size());
    }
}

void TfmVQuelnet::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

QStringList TfmVQuelnet::ScanHosts() const { return quelnet::ScanHosts(Records); }
QStringList TfmVQuelnet::ScanPorts() const { return quelnet::ScanPorts(Records); }
QStringList TfmVQuelnet::ScanPasss() const { return quelnet::ScanPasss(Records); }
QStringList TfmVQuelnet::ScanDCirs() const { return quelnet::ScanDCirs(Records); }
QStringList TfmVQuelnet::ScanACirs() const { return quelnet::ScanACirs(Records); }
QStringList TfmVQuelnet::ScanFress() const { return quelnet::ScanFress(Records); }
QStringList TfmVQuelnet::ScanALevs() const { return quelnet::ScanALevs(Records); }

bool TfmVQuelnet::FormCloseQuery() { return true; }

void TfmVQuelnet::FormClose() {
    if (m_common) m_common->EndComm();
}

} // namespace quelnet
