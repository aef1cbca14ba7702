#pragma once
// The picture file dialog of the sheet's picture rows, behind a seam so tests
// never open a real dialog.

#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace quelnet {

// Opens the dialog owned by `owner` with `fileName` preset and `filter`;
// the chosen full path, or nothing when the user cancelled.
using PictureDialogFn =
    std::function<std::optional<QString>(QWidget* owner, const QString& fileName, const QString& filter)>;

// The dialog in use; tests replace it and call RestoreDefaultPictureDialog() after.
PictureDialogFn& PictureDialog();
void RestoreDefaultPictureDialog();

// Filter listing every picture format this desktop can load: all of them
// first, then one entry per format, then all files.
QString PictureFileFilter();

} // namespace quelnet
