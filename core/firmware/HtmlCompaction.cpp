#include "core/firmware/HtmlCompaction.h"

#include <QByteArrayView>

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
    const qsizetype size = data.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        if (c != '\r' && c != '\n')
            continue;
        f(QByteArrayView(data).sliced(start, i - start));
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        f(QByteArrayView(data).sliced(start));
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
        if (line.contains("<!--")) {
            out.append("\r\n").append(line).append("\r\n");
            // Only ever opens: a comment opened and closed on one line inside
            // one that is still open leaves that one open.
            if (!line.contains("-->"))
                inComment = true;
        } else if (line.contains("-->")) {
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
