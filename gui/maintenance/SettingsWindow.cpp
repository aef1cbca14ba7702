#include "gui/maintenance/SettingsWindow.h"

namespace quelnet {

TfmSettings::TfmSettings(QWidget* parent)
    : MaintenanceWindow({"fmSettings", "Ustawienia quelneta", 711, 286, true, "b"}, parent) {}

} // namespace quelnet
