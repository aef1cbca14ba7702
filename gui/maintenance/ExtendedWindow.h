#pragma once
#include "gui/maintenance/MaintenanceWindow.h"

namespace quelnet {

// Window "Rozszerzenia".
class TfmExtended : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit TfmExtended(QWidget* parent = nullptr);
};

} // namespace quelnet
