#pragma once
#include "gui/maintenance/MaintenanceWindow.h"

namespace quelnet {

// Window "Aktualizacja quelnet-a".
class TfmUpdate : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit TfmUpdate(QWidget* parent = nullptr);
};

} // namespace quelnet
