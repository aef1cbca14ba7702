#pragma once
// TColor (32-bit colour of the panel file and the records) to a Qt colour.
// 0x00BBGGRR is a plain colour; a high byte of 0xFF marks a system colour whose
// low byte is the classic system colour index (8 window text, 5 window,
// 15 button face, 18 button text, 13 highlight, 14 highlight text, ...). System
// colours are taken from the palette passed in, so they follow the desktop.

#include "core/panel/ElementModel.h"

#include <QColor>
#include <QPalette>

namespace quelnet {

inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clBtnText = 0xFF000012;
inline constexpr TColor clHighlight = 0xFF00000D;
inline constexpr TColor clHighlightText = 0xFF00000E;

QColor ColorFromTColor(TColor color, const QPalette& palette);
// The palette role that stands for a system colour index (low byte); WindowText
// for indices without a counterpart.
QPalette::ColorRole SystemColorRole(int index);

} // namespace quelnet
