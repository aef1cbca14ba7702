#include "gui/maintenance/ExtendedWindow.h"

namespace quelnet {

TfmExtended::TfmExtended(QWidget* parent)
    : MaintenanceWindow({"fmExtended", "Rozszerzenia", 681, 351, false, nullptr}, parent) {}

} // namespace quelnet
