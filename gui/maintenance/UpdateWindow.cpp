#include "gui/maintenance/UpdateWindow.h"

namespace quelnet {

TfmUpdate::TfmUpdate(QWidget* parent)
    : MaintenanceWindow({"fmUpdate", "Aktualizacja quelnet-a", 726, 290, true, "u"}, parent) {}

} // namespace quelnet
