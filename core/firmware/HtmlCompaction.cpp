#include "core/firmware/HtmlCompaction.h"

#include <QByteArrayView>
#include <cstring>

namespace quelnet {

namespace {

constexpr char kDoctype[] = "<!doctype html";

QByteArrayView Trimmed(QByteArrayView line) {
    qsizetype begin = 0, end = line.size();
    while (begin < end && uchar(line[begin]) <= 0x20)
        ++begin;
    while (end > begin && uchar(line[end - 1]) <= 0x20)
        --end;
    return line.sliced(begin, end - begin);
}

// Calls f for every line of data; a final line break makes no empty line.
template <typename F> void ForEachLine(const QByteArray& data, F f) {
    const char* p = data.constData();
    const char* const end = p + data.size();
    while (p < end) {
        const char* e = p;
        while (e < end && *e != '\r' && *e != '\n')
            ++e;
        f(QByteArrayView(p, e));
        if (e < end && *e == '\r' && e + 1 < end && e[1] == '\n')
            ++e;
        p = e + 1;
    }
}

struct Markers {
    bool opens = false;  // holds "<!--"
    bool closes = false; // holds "-->"
};

// Both markers hold "--", and dashes are rare in markup: only the places of
// a dash are looked at.
Markers FindMarkers(QByteArrayView line) {
    Markers m;
    const char* const s = line.data();
    const qsizetype n = line.size();
    for (qsizetype j = 0; j + 1 < n;) {
        const void* dash = std::memchr(s + j, '-', size_t(n - 1 - j));
        if (!dash)
            break;
        j = static_cast<const char*>(dash) - s;
        if (s[j + 1] == '-') {
            m.opens = m.opens || (j >= 2 && s[j - 2] == '<' && s[j - 1] == '!');
            m.closes = m.closes || (j + 2 < n && s[j + 2] == '>');
        }
        ++j;
    }
    return m;
}

} // namespace

bool IsHtmlPage(const QByteArray& data) {
    constexpr qsizetype n = sizeof kDoctype - 1;
    if (data.size() < n)
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        char c = data[i];
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
        if (c != kDoctype[i])
            return false;
    }
    return true;
}

QByteArray CompactHtml(const QByteArray& data) {
    if (!IsHtmlPage(data))
        return data;
    QByteArray out;
    out.reserve(data.size());
    bool inComment = false;
    ForEachLine(data, [&](QByteArrayView raw) {
        const QByteArrayView line = Trimmed(raw);
        const Markers markers = FindMarkers(line);
        if (markers.opens) {
            out.append("\r\n").append(line).append("\r\n");
            // Only ever opens: a comment opened and closed on one line inside
            // one that is still open leaves that one open.
            if (!markers.closes)
                inComment = true;
        } else if (markers.closes) {
            out.append(line).append("\r\n");
            inComment = false;
        } else if (inComment) {
            out.append(line).append("\r\n");
        } else {
            out.append(line);
        }
    });
    return out;
}

} // namespace quelnet
