#pragma once
// The record keys of the panel file, one table per kind, shared by the writer
// and the reader so that both always agree on keys, order and value encoding.

#include "core/panel/ElementModel.h"

#include <QString>
#include <QStringList>

namespace quelnet {

// Appends the record's key lines ("p_en=yes", ...) in the file's order.
// Nothing when the slot has no record.
void WriteRecordKeys(const ElementRecords& records, int kind, int slot, QStringList& lines);
// The same lines appended to `text`, each ending in CR LF.
void WriteRecordKeys(const ElementRecords& records, int kind, int slot, QString& text);

// When `line` begins with one of the kind's record keys, assigns the value to
// that field of the record in `slot` and returns true. A slot outside the
// record array is never written (returns true all the same: the key was the kind's).
bool ReadRecordKey(ElementRecords& records, int kind, int slot, const QString& line);

} // namespace quelnet
