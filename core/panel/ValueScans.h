#pragma once
// Value scans: the distinct values already used by the panel's elements, for
// the parameter sheet's drop-down lists. Each scan walks the record arrays
// (every slot, live, deleted or disabled) and lists the texts in order of first
// appearance, exact text equality, letter case significant. Sliders and text
// labels are never read.

#include "core/panel/ElementModel.h"

#include <QStringList>

namespace quelnet {

// Appends `text` unless it is empty, equals `neverListed` or is already listed.
void AddUnique(QStringList& list, const QString& text, const QString& neverListed = QString());

// A real as the sheet shows it: fixed point with four decimals, no exponent,
// cut to 16 characters, the first "." replaced by "," (2.5 -> "2,5000").
QString RealToText(double value);

// Hosts of buttons, digital indicators and analog indicators, in that order.
QStringList ScanHosts(const ElementRecords& records);
// Ports (decimal, "0" never listed), same arrays and order.
QStringList ScanPorts(const ElementRecords& records);
// Passwords, same arrays and order.
QStringList ScanPasss(const ElementRecords& records);
// Per button slot: click circuit then state circuit; then the same per digital indicator.
QStringList ScanDCirs(const ElementRecords& records);
// Circuits of the analog indicators.
QStringList ScanACirs(const ElementRecords& records);
// Refresh periods (unsigned decimal, "0" never listed) of buttons, digital and analog indicators.
QStringList ScanFress(const ElementRecords& records);
// Levels 1 to 8 of each analog indicator, as RealToText ("0,0000" never listed).
QStringList ScanALevs(const ElementRecords& records);

} // namespace quelnet
