#pragma once
// The package directory: its lines, each parsed once, and the queries on them.
// Lookups walk the lines in directory order; string comparisons are exact.

#include "core/firmware/PackageEntry.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>
#include <vector>

namespace quelnet {

class PackageDirectory {
public:
    PackageDirectory() = default;

    // The directory text in the ANSI code page, split at CR, LF or CR LF; a final
    // line break makes no empty line.
    static PackageDirectory FromText(const QByteArray& ansiText);

    // The text is a directory as the package writer writes it, whole: every
    // line (the last one too) ends in a single CR, none is empty, every line
    // parses (ParsePackageEntry), the Idx of each record is its number within
    // its (Lang, Version) group, and each stream starts where the one before
    // ends (the first at 0). A directory that is not whole must not
    // be used at all: a damaged line would silently drop a file from its group
    // and shift every later file of the image.
    bool Whole() const { return m_whole; }
    // The sum of the streams' lengths: the length of the data area when whole.
    qint64 PackedTotal() const { return m_packedTotal; }

    int Count() const { return int(m_lines.size()); }
    // False when index lies outside the directory or its line is damaged.
    bool Entry(int index, TPackageEntry& entry) const;

    // Languages of a version in order of first appearance, without "  ".
    QStringList Languages(const QString& version) const;
    // File names of one (Lang, Version) group in directory order.
    QStringList Files(const QString& lang, const QString& version) const;
    // First record of (lang, version) whose name equals fileName or, for idx >= 0,
    // whose Idx equals idx; nullptr when there is none.
    const TPackageEntry* Find(const QString& fileName, int idx, const QString& lang,
                              const QString& version) const;

private:
    struct Line {
        bool valid = false;
        TPackageEntry entry;
    };
    // Every line ends in exactly one CR, and no line is empty.
    static bool LinesAsWritten(const QString& text);
    bool NumberedAsWritten();

    std::vector<Line> m_lines;
    bool m_whole = false;
    qint64 m_packedTotal = 0;
    QMultiHash<QString, int> m_byName; // FileName -> the lines of valid records with it
};

} // namespace quelnet
