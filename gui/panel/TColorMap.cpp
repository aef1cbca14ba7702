#include "gui/panel/TColorMap.h"

namespace quelnet {

QPalette::ColorRole SystemColorRole(int index) {
    switch (index) {
    case 0:
        return QPalette::Midlight; // scroll bar
    case 1:
        return QPalette::Dark; // desktop
    case 2:
        return QPalette::Highlight; // active caption
    case 3:
        return QPalette::Mid; // inactive caption
    case 4:
        return QPalette::Window; // menu
    case 5:
        return QPalette::Base; // window
    case 6:
        return QPalette::Shadow; // window frame
    case 7:
        return QPalette::WindowText; // menu text
    case 8:
        return QPalette::WindowText; // window text
    case 9:
        return QPalette::HighlightedText; // caption text
    case 10:
        return QPalette::Window; // active border
    case 11:
        return QPalette::Window; // inactive border
    case 12:
        return QPalette::Dark; // application workspace
    case 13:
        return QPalette::Highlight; // highlight
    case 14:
        return QPalette::HighlightedText; // highlight text
    case 15:
        return QPalette::Button; // button face
    case 16:
        return QPalette::Dark; // button shadow
    case 17:
        return QPalette::PlaceholderText; // grey text
    case 18:
        return QPalette::ButtonText; // button text
    case 19:
        return QPalette::WindowText; // inactive caption text
    case 20:
        return QPalette::Light; // button highlight
    case 21:
        return QPalette::Shadow; // 3D dark shadow
    case 22:
        return QPalette::Midlight; // 3D light
    case 23:
        return QPalette::ToolTipText; // info text
    case 24:
        return QPalette::ToolTipBase; // info background
    case 26:
        return QPalette::Link; // hot light
    case 27:
        return QPalette::Highlight; // gradient active caption
    case 28:
        return QPalette::Mid; // gradient inactive caption
    case 29:
        return QPalette::Highlight; // menu highlight
    case 30:
        return QPalette::Window; // menu bar
    default:
        return QPalette::WindowText;
    }
}

QColor ColorFromTColor(TColor color, const QPalette& palette) {
    if ((color >> 24) == 0xFF)
        return palette.color(QPalette::Active, SystemColorRole(int(color & 0xFF)));
    // Any other high byte: the low three bytes as 0x00BBGGRR.
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

} // namespace quelnet
