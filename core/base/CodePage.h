#pragma once
// Conversion between Unicode text and the system ANSI code page, which here is
// Windows-1250 (the Polish Windows code page), so that password digests, the
// panel file and package names match those made on Polish systems.
// Characters the code page lacks become '?'.

#include <QByteArray>
#include <QString>

namespace quelnet {

QByteArray ToAnsi(const QString& text);
QString FromAnsi(const QByteArray& bytes);

} // namespace quelnet
