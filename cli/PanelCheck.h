#pragma once
// The problems of a panel file that a user would otherwise meet one at a time
// in run mode. The file is read by the panel's own reader against a host that
// only notes where each element came from, so slots, inherited settings and
// blocks that create nothing come out exactly as the panel window gets them.
//
// Offline: elements without a circuit or an address, circuit names too long
// for a request, analog levels whose picture can never be chosen (or a level
// that can be chosen but has no picture), pictures that are not set, missing,
// unreadable or of no supported format, blocks that create no element and the
// block that then takes over their slot, and two elements of one kind on the
// same rectangle. Online: every controller is identified and every circuit
// read once (PanelOnline.h).

#include "core/panel/ElementModel.h"

#include <QJsonObject>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

namespace quelnet::cli {

struct PanelElement {
    int kind = KindNone;
    int slot = -1;
    int line = 0; // of its type line, from 1
    QRect rect;
};

struct PanelProblem {
    int line = 0;  // of the block's type line
    QString where; // "wiersz 9: Wskaźnik cyfrowy (250, 100, 44×44)"
    QString code;  // stable key for JSON: "picture-missing", ...
    QString text;  // Polish description
};

struct PanelReport {
    ElementRecords records;
    QList<PanelElement> elements; // in block order
    QList<PanelProblem> problems;

    void Add(const PanelElement& e, const QString& code, const QString& text);
    // A problem of a block that created no element.
    void AddBlock(int kind, int line, const QString& code, const QString& text);
    QStringList Lines() const;
    QJsonObject Json() const;
};

// Reads the lines as the panel window does and runs the offline checks.
PanelReport CheckPanelLines(const QStringList& lines);

// "Wskaźnik cyfrowy" ...: the palette's name of a kind.
QString KindName(int kind);

} // namespace quelnet::cli
