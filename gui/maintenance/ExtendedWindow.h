#pragma once
// Window "Rozszerzenia" ("-x"): a tab control with one empty page for each
// extension module (two keyboard-and-display modules and a radio expander).

#include "gui/maintenance/MaintenanceWindow.h"

class QTabWidget;

namespace quelnet {

class TfmExtended : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit TfmExtended(QWidget* parent = nullptr);

private:
    QTabWidget* m_modulePages = nullptr;
};

} // namespace quelnet
