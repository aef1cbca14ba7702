#include "gui/common/TColorMap.h"

namespace quelnet {

namespace {

// The palette colour of the same purpose for each index of the classic system
// colour table; text indices give text colours, so a label in a system colour
// stays readable on the panel.
constexpr SystemColorPlace Active(QPalette::ColorRole role) {
    return {QPalette::Active, role};
}

constexpr SystemColorPlace SystemColors[] = {
    Active(QPalette::Midlight),                 // 0 scroll bar
    Active(QPalette::Dark),                     // 1 desktop
    Active(QPalette::Highlight),                // 2 active caption
    Active(QPalette::Mid),                      // 3 inactive caption
    Active(QPalette::Window),                   // 4 menu
    Active(QPalette::Base),                     // 5 window
    Active(QPalette::Shadow),                   // 6 window frame
    Active(QPalette::WindowText),               // 7 menu text
    Active(QPalette::WindowText),               // 8 window text
    Active(QPalette::HighlightedText),          // 9 caption text: on the active caption
    Active(QPalette::Window),                   // 10 active border
    Active(QPalette::Window),                   // 11 inactive border
    Active(QPalette::Dark),                     // 12 application workspace
    Active(QPalette::Highlight),                // 13 highlight
    Active(QPalette::HighlightedText),          // 14 highlight text
    Active(QPalette::Button),                   // 15 button face
    Active(QPalette::Dark),                     // 16 button shadow
    {QPalette::Disabled, QPalette::WindowText}, // 17 grey (disabled) text
    Active(QPalette::ButtonText),               // 18 button text
    Active(QPalette::WindowText),               // 19 inactive caption text
    Active(QPalette::Light),                    // 20 button highlight
    Active(QPalette::Shadow),                   // 21 3D dark shadow
    Active(QPalette::Midlight),                 // 22 3D light
    Active(QPalette::ToolTipText),              // 23 info text
    Active(QPalette::ToolTipBase),              // 24 info background
    Active(QPalette::WindowText),               // 25 (not used)
    Active(QPalette::Link),                     // 26 hot light
    Active(QPalette::Highlight),                // 27 gradient active caption
    Active(QPalette::Mid),                      // 28 gradient inactive caption
    Active(QPalette::Highlight),                // 29 menu highlight
    Active(QPalette::Window),                   // 30 menu bar
};

} // namespace

SystemColorPlace SystemColorRole(int index) {
    if (index < 0 || index >= int(std::size(SystemColors)))
        return Active(QPalette::WindowText);
    return SystemColors[index];
}

QColor ColorFromTColor(TColor color, const QPalette& palette) {
    if (IsSystemColor(color)) {
        const SystemColorPlace place = SystemColorRole(int(color & 0xFF));
        return palette.color(place.Group, place.Role);
    }
    // Any other high byte: the low three bytes as 0x00BBGGRR.
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

} // namespace quelnet
