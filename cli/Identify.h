#pragma once
// Identification across the three generations, in the order of their age:
// the long identify frame with the password (4.x), the short identify frame
// (4.x and the short-frame firmware), the status page over HTTP (the oldest).
// A controller of version 4 or later that answers only the short frame has
// refused the password of the long one.

#include "core/link/Identification.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace quelnet::cli {

enum class Generation { None, New, Mid, Old };

struct Identity {
    Generation generation = Generation::None;
    bool passwordRefused = false; // a 4.x controller that did not take the password
    QString version, build, serial, language;
    QChar board;
    bool jumper = false;
    bool boardKnown = false; // the oldest generation reports no board, jumper or build
};

struct IdentifyRequest {
    QString host;
    QString portTcp;
    QString password;       // control password, for the long frame
    QString portHttp;       // status page of the oldest generation
    QString configPassword; // its form password
};

Identity IdentifyController(IIdentification& link, const IdentifyRequest& request);

// The window's labels: "Wersja :V4.0.1", ... "Generacja :nowa (4.x)".
QStringList IdentityLines(const Identity& id);
QJsonObject IdentityJson(const Identity& id);
// "V4.0.1 A 20140612 S0817092 PL, nowa (4.x)": the batch summary.
QString IdentitySummary(const Identity& id);

// A reported text without its trailing zero bytes and blanks: the fields are
// fixed-width and padded.
QString Shown(const QString& field);

} // namespace quelnet::cli
