#pragma once
// The status page of the oldest controllers, reached by a form post over HTTP:
// what the request carries and how the page is read. The page is taken byte
// for byte (each byte the character of the same code), so the markers hold the
// ISO-8859-2 (Polish) and ISO-8859-4 (Lithuanian) bytes as Latin-1 characters.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace quelnet::statuspage {

// "http://" + host + ":" + port + "/0"; the port is always written.
QString RequestUrl(const QString& host, const QString& portHttp);
// The request headers in the order they are set.
QList<QPair<QByteArray, QByteArray>> RequestHeaders(const QString& host, const QString& portHttp);
// "y1=" + the password in the ANSI code page, without URL encoding.
QByteArray RequestBody(const QString& pass);

// Finds the Polish markers, else the Lithuanian ones, and reads the version
// and serial number after "Numer " / "Numeris ". False (outputs untouched)
// when neither set of markers is complete.
bool Parse(const QString& page, QString& ver, QString& ser, QString& lng);

} // namespace quelnet::statuspage
