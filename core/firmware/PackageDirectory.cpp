#include "core/firmware/PackageDirectory.h"

#include "core/base/CodePage.h"
#include "core/firmware/PackageFormat.h"

#include <algorithm>

namespace quelnet {

namespace {

// The lines of text, as views into it; a final line break makes no empty line.
std::vector<QStringView> SplitLines(const QString& text) {
    std::vector<QStringView> lines;
    const QChar* p = text.constData();
    const QChar* const end = p + text.size();
    while (p < end) {
        const QChar* e = p;
        while (e < end && *e != u'\r' && *e != u'\n')
            ++e;
        lines.emplace_back(p, e);
        if (e < end && *e == u'\r' && e + 1 < end && e[1] == u'\n')
            ++e;
        p = e + 1;
    }
    return lines;
}

// The shipped directory is pure ASCII, which every code page reads alike.
QString ToText(const QByteArray& ansiText) {
    const bool ascii = std::all_of(ansiText.cbegin(), ansiText.cend(), [](char c) { return uchar(c) < 0x80; });
    return ascii ? QString::fromLatin1(ansiText) : FromAnsi(ansiText);
}

} // namespace

PackageDirectory PackageDirectory::FromText(const QByteArray& ansiText) {
    PackageDirectory dir;
    const QString text = ToText(ansiText);
    const std::vector<QStringView> lines = SplitLines(text);
    dir.m_lines.resize(lines.size());
    dir.m_byName.reserve(qsizetype(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) {
        Line& line = dir.m_lines[i];
        // Records of a group follow each other: starting from the line
        // before, its language and version are kept, not copied anew.
        if (i > 0)
            line.entry = dir.m_lines[i - 1].entry;
        line.valid = ParsePackageEntry(lines[i], line.entry);
        if (line.valid)
            dir.m_byName.insert(line.entry.FileName, int(i));
        else
            line.entry = {};
    }
    dir.m_whole = LinesAsWritten(text) && dir.NumberedAsWritten();
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
    // The groups met so far, each with the Idx its next record must have; a
    // package holds a handful, the last one met is the likeliest.
    struct Group {
        const TPackageEntry* first;
        int next;
    };
    std::vector<Group> groups;
    m_packedTotal = 0;
    for (const Line& line : m_lines) {
        const TPackageEntry& e = line.entry;
        if (!line.valid || e.PackedSize < 0 || e.Offset != m_packedTotal)
            return false;
        auto group = std::find_if(groups.rbegin(), groups.rend(), [&](const Group& g) {
            return g.first->Lang == e.Lang && g.first->Version == e.Version;
        });
        int& idx = group != groups.rend() ? group->next : groups.emplace_back(Group{&e, 0}).next;
        if (e.Idx != idx++)
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

const TPackageEntry* PackageDirectory::Find(const QString& fileName, int idx, const QString& lang,
                                            const QString& version) const {
    if (idx < 0) { // by name alone, as every caller asks: the lowest line of the group
        int first = -1;
        for (auto it = m_byName.constFind(fileName); it != m_byName.cend() && it.key() == fileName; ++it) {
            const TPackageEntry& e = m_lines[size_t(*it)].entry;
            if (e.Lang == lang && e.Version == version && (first < 0 || *it < first))
                first = *it;
        }
        return first < 0 ? nullptr : &m_lines[size_t(first)].entry;
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
