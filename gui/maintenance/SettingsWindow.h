#pragma once
#include "gui/maintenance/MaintenanceWindow.h"

namespace quelnet {

// Window "Ustawienia quelneta".
class TfmSettings : public MaintenanceWindow {
    Q_OBJECT
public:
    explicit TfmSettings(QWidget* parent = nullptr);
};

} // namespace quelnet
