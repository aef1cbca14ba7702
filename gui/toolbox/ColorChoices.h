#pragma once
// The named colours offered by the label's colour box: the sixteen standard
// colours, four extended ones and the system colours. Values are TColor:
// 0x00BBGGRR for a plain colour, 0xFF000000 + index for a system colour.

#include "core/panel/ElementModel.h"
#include "gui/common/TColorMap.h"

#include <QString>
#include <vector>

namespace quelnet {

struct NamedColor {
    QString Name;
    TColor Value;
};

// Standard, then extended, then system colours.
const std::vector<NamedColor>& ColorChoices();

TColor TColorFromRgb(int r, int g, int b);

} // namespace quelnet
