#pragma once
// Writing a firmware package and appending it to an executable.
//
// The output depends only on the files given, in their order: the same files
// give the same bytes (zlib at its default level, directory in upper-case hex).

#include "core/firmware/PackageEntry.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace quelnet::package {

struct PackageFile {
    QString lang;    // "PL", "LT", or "  " for all languages
    QString version; // "V214", "V401f"
    QString name;    // file name in the directory (ANSI code page)
    QByteArray data;
};

// The whole package: header, directory, data area. Idx numbers restart at 0 in
// every (lang, version) group.
QByteArray WritePackage(const std::vector<PackageFile>& files);

// One directory line without its CR: numbers in upper-case hex, eight digits
// (three for Idx).
QString DirectoryLine(const TPackageEntry& entry);

// Appends the package to the file, replacing everything from the first magic on
// (a package appended before, whole or damaged). The file is changed in place, so
// its permissions stay.
bool AppendPackage(const QString& executable, const QByteArray& package, QString* error);

// A manifest lists the files of a package, one per line, in package order:
//   Lang|Version|FileName|path relative to the manifest's folder
// (UTF-8; Lang may be two blanks). Blank lines and lines starting with '#' are skipped.
bool ReadManifest(const QString& manifestPath, std::vector<PackageFile>& files, QString* error);

// Writes data to path unless the file already holds exactly these bytes, so that
// build steps depending on it do not run again for nothing.
bool WriteIfChanged(const QString& path, const QByteArray& data, QString* error);

} // namespace quelnet::package
