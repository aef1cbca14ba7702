#pragma once
// TColor (32-bit colour of the panel file and the records) to a Qt colour, the
// one table that the label views and the label's colour box both draw from.
// 0x00BBGGRR is a plain colour; a high byte of 0xFF marks a system colour whose
// low byte is the classic system colour index (8 window text, 5 window,
// 15 button face, 18 button text, 13 highlight, 14 highlight text, ...). System
// colours are taken from the palette passed in, so they follow the desktop.

#include "core/panel/ElementModel.h"

#include <QColor>
#include <QPalette>

namespace quelnet {

inline constexpr TColor SystemColorFlag = 0xFF000000u;
inline bool IsSystemColor(TColor c) {
    return (c & 0xFF000000u) == SystemColorFlag;
}

inline constexpr TColor clWindowText = 0xFF000008;
inline constexpr TColor clWindow = 0xFF000005;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clBtnText = 0xFF000012;
inline constexpr TColor clHighlight = 0xFF00000D;
inline constexpr TColor clHighlightText = 0xFF00000E;

// Where the palette keeps the colour of a system colour index (low byte).
struct SystemColorPlace {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};
// Active WindowText for indices without a counterpart.
SystemColorPlace SystemColorRole(int index);

QColor ColorFromTColor(TColor color, const QPalette& palette);

} // namespace quelnet
