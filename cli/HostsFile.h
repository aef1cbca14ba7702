#pragma once
// The list of controllers of a batch: one HOST[:PORT] a line; blank lines and
// lines starting with "#" are skipped, blanks around an address ignored.

#include "cli/Arguments.h"

#include <QList>
#include <QString>

namespace quelnet::cli {

// The addresses in file order; nothing, with a usage error text in `error`,
// when the file cannot be read, holds a wrong address or none at all.
std::optional<QList<HostPort>> ReadHostsFile(const QString& path, QString& error);

// The same from text already read (`name` is the file name for the messages).
std::optional<QList<HostPort>> ParseHostsList(const QString& text, const QString& name, QString& error);

} // namespace quelnet::cli
