#pragma once
// Every limit the panel file and the panel window hold to, in one place. The
// file format itself has no limits; these are what the program accepts, so
// that a damaged or hostile panel file costs neither a crash nor gigabytes.

#include <cstdint>

namespace quelnet {

// Largest panel file read, in bytes (16 MiB). A block of the widest kind (an
// analog indicator: 28 lines) with long host names and picture paths is well
// under 2 KiB, so a panel at the element limit below stays under 8 MiB; a
// larger file is not a panel this program wrote. Checked before the file is
// read, so a file of any size costs nothing.
inline constexpr std::int64_t MaxPanelFileBytes = 16 * 1024 * 1024;

// Most lines a panel file may hold (2^18). A panel at the element limit has
// about 115,000 lines (28 for the widest block); every line read costs a
// string of its own, so a file of 16 MiB of empty lines would otherwise cost
// some 400 MB. Counted before the lines are made.
inline constexpr int MaxPanelLines = 262144;

// Most elements a panel may hold, all kinds together (the type lines of
// element blocks are counted, whether or not the block is complete). The
// elements are sibling widgets of one window (two each in the editor: the
// picture and its hatched frame), and Qt paints siblings recursively, one
// stack frame per sibling: 20,000 elements overflowed the main thread's stack.
// 4,096 elements keep the depth at a fifth of that and are far more than a
// screen shows (a 1920 x 1080 screen holds about 500 elements of 64 x 64).
// A panel beyond the limit is refused whole: nothing of it is created and its
// file is left as it is.
inline constexpr int MaxPanelElements = 4096;

// Element rectangles read from the file are clamped into these: left and top
// 0 .. MaxPanelCoordinate, width and height 0 .. MaxPanelExtent. 32,767 is the
// largest coordinate a window system (X11) can address; keeping both below
// 2^15 means left + width can never overflow the 32-bit integers of QRect.
inline constexpr int MaxPanelCoordinate = 32767;
inline constexpr int MaxPanelExtent = 32767;

// The window's outer rectangle from the scr block is clamped into
// -MaxPanelCoordinate .. MaxPanelCoordinate (screens may lie left of or above
// the primary one) and its size into 0 .. MaxPanelExtent while reading; the
// window then clamps its size to the available virtual desktop, since a window
// never needs to be larger than the screens it can be shown on (a window of
// 2147483647 pixels a side would ask for a 17 GB buffer).

// Where an unreadable or refused panel file's old bytes are kept when the
// editor saves over it: beside it, under its name with this suffix.
inline constexpr const char* PanelBackupSuffix = ".bak";

} // namespace quelnet
