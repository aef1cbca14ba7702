#include "gui/maintenance/ResourcesWindow.h"

namespace quelnet {

TfmResources::TfmResources(QWidget* parent)
    : MaintenanceWindow({"fmResources", "Zasoby quelnet-a", 719, 290, true, "r"}, parent) {}

} // namespace quelnet
