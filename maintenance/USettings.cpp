#include "maintenance/USettings.h"

namespace quelnet {

TfmSettings::TfmSettings(QWidget* parent)
    : MaintenanceWindow({"fmSettings", "Ustawienia quelneta", 711, 286, true, "b"}, parent) {}

} // namespace quelnet
