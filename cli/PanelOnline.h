#pragma once
// The online part of the panel check: every distinct controller of the panel
// (address, port and password) is identified, and every distinct circuit of
// it read once; a controller that does not answer as a 4.x controller, and a
// circuit that it does not have or cannot read, become problems of the first
// element that uses them.

#include "cli/PanelCheck.h"

namespace quelnet {
class TfmCommon;
}

namespace quelnet::cli {

void CheckPanelOnline(PanelReport& report, TfmCommon& link);

} // namespace quelnet::cli
