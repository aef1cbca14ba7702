#pragma once
#include "gui/maintenance/MaintenanceWindow.h"

namespace quelnet {

// Window "Zasoby quelnet-a".
class TfmResources : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit TfmResources(QWidget* parent = nullptr);
};

} // namespace quelnet
