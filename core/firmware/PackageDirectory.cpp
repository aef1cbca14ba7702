#include "core/firmware/PackageDirectory.h"

#include "core/base/CodePage.h"
#include "core/firmware/PackageFormat.h"

namespace quelnet {

namespace {

QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start));
    return lines;
}

} // namespace

PackageDirectory PackageDirectory::FromText(const QByteArray& ansiText) {
    PackageDirectory dir;
    const QStringList lines = SplitLines(FromAnsi(ansiText));
    dir.m_lines.resize(size_t(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        Line& line = dir.m_lines[size_t(i)];
        line.valid = ParsePackageEntry(lines[i], line.entry);
        const QString key = Key(line.entry.FileName, line.entry.Lang, line.entry.Version);
        if (line.valid && !dir.m_firstByName.contains(key))
            dir.m_firstByName.insert(key, int(i));
    }
    dir.m_whole = LinesAsWritten(FromAnsi(ansiText)) && dir.NumberedAsWritten();
    return dir;
}

bool PackageDirectory::LinesAsWritten(const QString& text) {
    if (!text.isEmpty() && !text.endsWith(u'\r'))
        return false;
    QChar previous = u'\r';
    for (const QChar c : text) {
        if (c == u'\n' || (c == u'\r' && previous == u'\r'))
            return false;
        previous = c;
    }
    return true;
}

bool PackageDirectory::NumberedAsWritten() {
    QHash<QString, int> next; // (Lang, Version) -> the Idx the next record of the group must have
    m_packedTotal = 0;
    for (const Line& line : m_lines) {
        if (!line.valid || line.entry.PackedSize < 0 || line.entry.Offset != m_packedTotal)
            return false;
        int& idx = next[Key(QString(), line.entry.Lang, line.entry.Version)];
        if (line.entry.Idx != idx++)
            return false;
        m_packedTotal += line.entry.PackedSize;
    }
    return true;
}

bool PackageDirectory::Entry(int index, TPackageEntry& entry) const {
    if (index < 0 || index >= Count() || !m_lines[size_t(index)].valid)
        return false;
    entry = m_lines[size_t(index)].entry;
    return true;
}

QStringList PackageDirectory::Languages(const QString& version) const {
    QStringList langs;
    for (const Line& line : m_lines) {
        const TPackageEntry& e = line.entry;
        if (line.valid && e.Version == version && e.Lang != QLatin1String(package::CommonLang) &&
            !langs.contains(e.Lang))
            langs.append(e.Lang);
    }
    return langs;
}

QStringList PackageDirectory::Files(const QString& lang, const QString& version) const {
    QStringList names;
    for (const Line& line : m_lines)
        if (line.valid && line.entry.Lang == lang && line.entry.Version == version)
            names.append(line.entry.FileName);
    return names;
}

QString PackageDirectory::Key(const QString& fileName, const QString& lang, const QString& version) {
    return lang + QLatin1Char('|') + version + QLatin1Char('|') + fileName;
}

const TPackageEntry* PackageDirectory::Find(const QString& fileName, int idx, const QString& lang,
                                            const QString& version) const {
    if (idx < 0) { // by name alone, as every caller asks
        const auto it = m_firstByName.constFind(Key(fileName, lang, version));
        return it == m_firstByName.constEnd() ? nullptr : &m_lines[size_t(*it)].entry;
    }
    for (const Line& line : m_lines) {
        const TPackageEntry& e = line.entry;
        if (line.valid && (e.FileName == fileName || (idx >= 0 && e.Idx == idx)) && e.Lang == lang &&
            e.Version == version)
            return &e;
    }
    return nullptr;
}

} // namespace quelnet
