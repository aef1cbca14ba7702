#pragma once
// Which picture file an element shows for a state or value read in run mode.
// Only the selected file is tried: when it is missing or cannot be loaded the
// element shows nothing (the lower levels are not consulted).

#include "core/panel/ElementModel.h"

#include <QString>

namespace quelnet {

// Digital state (buttons, digital indicators): false -> sI_ImgL, true -> sI_ImgH.
const QString& SelectDigitalPicture(const TES_Button& rec, bool state);
const QString& SelectDigitalPicture(const TES_DSign& rec, bool state);

// Analog value: the first of sI_Lev8 ... sI_Lev1 that the value is strictly
// greater than selects its picture; none (or NaN) selects sI_ImgD.
const QString& SelectAnalogPicture(const TES_ASign& rec, float value);

// Index (0-7 for levels 1-8) of the level the value reaches, -1 for the default.
int AnalogLevelReached(const TES_ASign& rec, float value);

} // namespace quelnet
