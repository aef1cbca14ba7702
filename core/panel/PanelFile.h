#pragma once
// The panel file "quelnet_scr.cnf" beside the executable (or, for an installed
// program, in the user's configuration folder): the window's place and one
// block per element with its rectangle and every setting of its record.
// What the program accepts of it is limited: core/panel/PanelLimits.h.
//
//   {
//   x_tp=idg            type tag: scr (the window), btn idg ian tlb zda (kinds 0-4)
//   x_px=16             left, top, width, height
//   ...
//   iden=yes            the record's keys, in a fixed order per kind
//   }
//
// Lines end in CR LF; the text is Windows-1250 without a byte-order mark. On
// reading, a UTF-8 or UTF-16 byte-order mark selects that encoding and lines
// may also end in a lone LF or CR. Keys, tags and "yes"/"no" are case-sensitive.
// Slot numbers are not stored: elements take fresh slots in block order.
//
// This unit does the text work only. The window supplies its geometry and the
// elements in child order when writing, and implements IPanelFileHost for
// reading (slot allocation and view creation happen there).

#include "core/panel/ElementModel.h"

#include <QByteArray>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace quelnet {

inline constexpr const char* PanelFileName = "quelnet_scr.cnf";

// Where the panel file lives, decided anew on every call. Beside the
// executable (a portable copy) when the user may write its folder, or may
// write a panel file already there (it is rewritten in place); otherwise
// (an installed program) in the user's configuration folder,
// $XDG_CONFIG_HOME/quelnet/PanelFileName. The override, when set, wins.
struct PanelFileLocation {
    QString Path;              // read and written here
    bool InUserConfig = false; // the user's configuration folder
    // An installed program's panel beside the executable, read while the
    // user's own file does not exist yet; empty otherwise.
    QString StartingPanel;
    // The file to read: Path, or StartingPanel while Path does not exist.
    QString ReadPath() const;
};
PanelFileLocation LocatePanelFile();
QString PanelFilePath(); // LocatePanelFile().Path
// Tests point the panel file elsewhere; an empty path restores the default.
void SetPanelFilePathOverride(const QString& path);
// Tests decide whether the executable's folder counts as writable; an empty
// function restores the real check (the user's write permission).
void SetFolderWritableCheck(std::function<bool(const QString& folder)> check);

// The window as written in the scr block: outer rectangle in screen
// coordinates and window state (0 normal, 1 minimised, 2 maximised).
struct PanelWindowPlace {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int State = 0;
};

// One element as found among the window's children: kind, slot and the
// rectangle of its control in client coordinates.
struct PanelElementPlace {
    int Kind = KindNone;
    int Slot = -1;
    QRect Rect;
};

// What the reader needs from the panel window.
class IPanelFileHost {
public:
    virtual ~IPanelFileHost() = default;
    virtual ElementRecords& PanelRecords() = 0;
    // "s_ws=" in the scr block, applied at once (0 normal, 1 minimised, 2 maximised).
    virtual void SetPanelWindowState(int state) = 0;
    // End of the scr block: outer rectangle on the screen (values may be -1).
    virtual void SetPanelWindowRect(int left, int top, int width, int height) = 0;
    // Type line of an element block: the lowest free slot of the kind, growing
    // the record array (and the kind's control arrays) when none is free.
    virtual int AllocateElementSlot(int kind) = 0;
    // End of a complete element block: create the element's views of the
    // current mode in the slot and insert them into the window.
    virtual void CreateElementViews(int kind, int slot, const QRect& rect) = 0;
};

// A real (widened from single) in the file's form: up to 15 significant
// digits, no trailing zeros, decimal separator of UserLocale(); exponent form
// ("1,5E-7", "3,4E38") below 0.00001 or beyond 15 integer digits.
QString FormatPanelReal(double value);

// The lines of one element's block: "{", the type line, the rectangle, the
// record's keys, "}". Nothing when the slot has no record.
void AppendElementBlock(QStringList& lines, const PanelElementPlace& element, const ElementRecords& records);

// The whole file: the scr block, then one block per element in the order
// given. Elements whose slot has no record are left out.
QByteArray FormatPanelFile(const PanelWindowPlace& window, const std::vector<PanelElementPlace>& elements,
                           const ElementRecords& records);

// Replaces the file at `path` with `bytes`: atomically (a temporary file
// renamed over it) where the folder lets the user create files, so that a
// failed or interrupted save leaves the previous file whole; in place where
// only the file itself may be written (a read-only folder), putting the old
// content back when the new one cannot be written whole. A file that exists
// but is write-protected is left alone. True when written; otherwise `why`
// (when given) says why not, in the system's words.
bool SavePanelFile(const QString& path, const QByteArray& bytes, QString* why = nullptr);
// Copies the panel file's bytes to `path` + PanelBackupSuffix, replacing an
// older copy whole or not at all. True when copied (`backup` gets its path)
// or when there is no file to copy (`backup` empty); otherwise `why` says why.
bool BackUpPanelFile(const QString& path, QString* backup, QString* why = nullptr);

// SavePanelFile at the location, making the user's configuration folder first
// when the file lives there.
bool SavePanelFileAt(const PanelFileLocation& where, const QByteArray& bytes, QString* why = nullptr);

// Bytes to text (byte-order marks, else Windows-1250) and text to lines
// (CR LF, LF or CR; a last line without an end is kept, no empty last line).
// `clean`, when given, is set false when the bytes are not clean text: an
// invalid UTF-8 or UTF-16 sequence, or a NUL character.
QString DecodePanelText(const QByteArray& bytes, bool* clean = nullptr);
QStringList SplitPanelLines(const QString& text);

// Runs the reader over the lines against the host. Rectangles are clamped
// into the ranges of PanelLimits.h before they reach the host.
void ReadPanelLines(const QStringList& lines, IPanelFileHost& host);

// What became of reading the panel file.
enum class PanelLoadStatus {
    Read,       // read whole (an empty file included)
    Missing,    // there is no file
    Damaged,    // read as far as it goes, but its bytes are not clean text
    Unreadable, // cannot be opened, or holds no block the program knows: nothing read
    Refused,    // beyond MaxPanelFileBytes or MaxPanelElements: nothing read
};

struct PanelLoadResult {
    PanelLoadStatus Status = PanelLoadStatus::Missing;
    QString Why; // Polish; for Damaged, Unreadable and Refused
    // The file holds what the program did not take in: its bytes must be
    // kept before anything is saved over it.
    bool MustKeepOldBytes() const {
        return Status == PanelLoadStatus::Damaged || Status == PanelLoadStatus::Unreadable ||
               Status == PanelLoadStatus::Refused;
    }
};

// Element blocks (type lines of the five kinds) and whether any type line
// the reader knows (scr included) is among the lines.
struct PanelLineCount {
    int Elements = 0;
    bool AnyBlock = false;
};
PanelLineCount CountPanelBlocks(const QStringList& lines);

// The file's lines within the limits of PanelLimits.h, as LoadPanelFile
// takes them; `lines` is filled only when the status is Read or Damaged.
PanelLoadResult ReadPanelFileLines(const QString& path, QStringList& lines);

// Reads the file within the limits of PanelLimits.h; the host is touched
// only when the status is Read or Damaged.
PanelLoadResult LoadPanelFile(const QString& path, IPanelFileHost& host);

} // namespace quelnet
