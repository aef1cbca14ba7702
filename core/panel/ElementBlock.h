#pragma once
// One element on its own, outside the panel: its kind, rectangle and record,
// and its text form, which is the element's block of the panel file
// ("{", type line, rectangle, record keys, "}", lines ending in CR LF). The
// editor copies elements in this form; reading it back gives the element the
// panel file would give.

#include "core/panel/ElementModel.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <optional>

namespace quelnet {

struct ElementCopy {
    QRect Rect;
    ElementRecord Record; // its alternative is the kind
    int Kind() const { return KindOf(Record); }
};

QString FormatElementBlock(const ElementCopy& element);

// The one element a text holds: exactly one complete element block (and no
// window block); anything else gives nothing.
std::optional<ElementCopy> ParseElementBlock(const QString& text);

// The record's key lines as the panel file writes them ("p_en=yes", ...):
// two records with the same lines are the same to the panel file.
QStringList RecordKeyLines(const ElementRecord& record);

} // namespace quelnet
