// Reading the panel file: decoding, line splitting and the block reader.
#include "core/base/CodePage.h"
#include "core/base/InterfaceTexts.h"
#include "core/panel/PanelFile.h"
#include "core/panel/PanelFileKeys.h"
#include "core/panel/PanelLimits.h"

#include <QFile>
#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace quelnet {

QString DecodePanelText(const QByteArray& bytes, bool* clean) {
    QString text;
    bool ok = true;
    const auto decode = [&](QStringDecoder::Encoding encoding, qsizetype bom) {
        QStringDecoder dec(encoding, QStringDecoder::Flag::Stateless);
        text = dec(bytes.mid(bom));
        // A UTF-16 text ending in half a character was cut short.
        const bool whole = encoding == QStringDecoder::Utf8 || (bytes.size() - bom) % 2 == 0;
        ok = !dec.hasError() && whole;
    };
    if (bytes.startsWith("\xEF\xBB\xBF"))
        decode(QStringDecoder::Utf8, 3);
    else if (bytes.startsWith("\xFF\xFE"))
        decode(QStringDecoder::Utf16LE, 2);
    else if (bytes.startsWith("\xFE\xFF"))
        decode(QStringDecoder::Utf16BE, 2);
    else
        text = FromAnsi(bytes);
    if (clean)
        *clean = ok && !text.contains(QChar(0));
    return text;
}

QStringList SplitPanelLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != u'\r' && c != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (c == u'\r' && i + 1 < n && text.at(i + 1) == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines << text.mid(start);
    return lines;
}

namespace {

// The reader's state across lines.
class BlockReader {
public:
    explicit BlockReader(IPanelFileHost& host) : m_host(host) { m_slot.fill(-1); }

    void Line(const QString& l);

private:
    void ResetBlock() {
        m_scr = false;
        m_kind.fill(false);
        m_x = m_y = m_w = m_h = -1;
    }
    int ElementFlags() const {
        int n = 0;
        for (bool f : m_kind)
            n += f ? 1 : 0;
        return n;
    }
    static int IntValue(const QString& l) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(TextToInt64(l.mid(5))));
    }

    // The window may lie left of or above the primary screen; -1 (not given) stays.
    static int WindowValue(int v) { return std::clamp(v, -MaxPanelCoordinate, MaxPanelCoordinate); }

    IPanelFileHost& m_host;
    bool m_scr = false;
    std::array<bool, ElementKindCount> m_kind{};
    // The slot taken by each kind's type line. One per kind, so that the keys
    // of a block holding two type lines land in records of their own kind and
    // never outside an array; such a block creates nothing.
    std::array<int, ElementKindCount> m_slot{};
    int m_x = -1, m_y = -1, m_w = -1, m_h = -1;
};

void BlockReader::Line(const QString& l) {
    // 1. Block start: exactly "{" (a trailing blank does not count).
    if (l == QLatin1String("{")) {
        ResetBlock();
        return;
    }
    // 2. Type line.
    if (l.startsWith(QLatin1String("x_tp="))) {
        const QString tag = l.mid(5);
        if (tag == QLatin1String("scr")) {
            m_scr = true;
            return;
        }
        for (int k = 0; k < ElementKindCount; ++k) {
            if (tag != QLatin1String(KindFileTags[k]))
                continue;
            m_slot[size_t(k)] = m_host.AllocateElementSlot(k);
            m_kind[size_t(k)] = true;
        }
        return;
    }
    // 3. Rectangle, whatever the flags.
    if (l.startsWith(QLatin1String("x_px="))) {
        m_x = IntValue(l);
        return;
    }
    if (l.startsWith(QLatin1String("x_py="))) {
        m_y = IntValue(l);
        return;
    }
    if (l.startsWith(QLatin1String("x_pw="))) {
        m_w = IntValue(l);
        return;
    }
    if (l.startsWith(QLatin1String("x_ph="))) {
        m_h = IntValue(l);
        return;
    }
    // 4. Window state, applied at once.
    if (m_scr && l.startsWith(QLatin1String("s_ws="))) {
        m_host.SetPanelWindowState(IntValue(l));
        return;
    }
    // 5. Record keys of a kind whose flag is set.
    for (int k = 0; k < ElementKindCount; ++k)
        if (m_kind[size_t(k)] && ReadRecordKey(m_host.PanelRecords(), k, m_slot[size_t(k)], l))
            return;
    // 6. Block end: "}" and anything after it.
    if (l.startsWith(QLatin1String("}"))) {
        const int elements = ElementFlags();
        if (m_scr && elements == 0)
            m_host.SetPanelWindowRect(WindowValue(m_x), WindowValue(m_y), WindowValue(m_w), WindowValue(m_h));
        if (m_x >= 0 && m_y >= 0 && m_w >= 0 && m_h >= 0 && !m_scr && elements == 1) {
            const QRect rect(std::min(m_x, MaxPanelCoordinate), std::min(m_y, MaxPanelCoordinate),
                             std::min(m_w, MaxPanelExtent), std::min(m_h, MaxPanelExtent));
            for (int k = 0; k < ElementKindCount; ++k)
                if (m_kind[size_t(k)])
                    m_host.CreateElementViews(k, m_slot[size_t(k)], rect);
        }
        ResetBlock();
        return;
    }
    // 7. Anything else is ignored.
}

} // namespace

void ReadPanelLines(const QStringList& lines, IPanelFileHost& host) {
    BlockReader reader(host);
    for (const QString& l : lines)
        reader.Line(l);
}

PanelLineCount CountPanelBlocks(const QStringList& lines) {
    PanelLineCount count;
    for (const QString& l : lines) {
        if (!l.startsWith(QLatin1String("x_tp=")))
            continue;
        const QString tag = l.mid(5);
        if (tag == QLatin1String("scr"))
            count.AnyBlock = true;
        for (const char* kindTag : KindFileTags)
            if (tag == QLatin1String(kindTag)) {
                count.AnyBlock = true;
                ++count.Elements;
            }
    }
    return count;
}

namespace {

// Line ends as SplitPanelLines finds them (CR LF, LF, CR), without making the lines.
qsizetype CountLineEnds(const QString& text) {
    return text.count(u'\n') + text.count(u'\r') - text.count(QLatin1String("\r\n"));
}

PanelLoadResult Outcome(PanelLoadStatus status, const QString& why = QString()) {
    return PanelLoadResult{status, why};
}

} // namespace

PanelLoadResult ReadPanelFileLines(const QString& path, QStringList& lines) {
    lines.clear();
    QFile file(path);
    if (!file.exists())
        return Outcome(PanelLoadStatus::Missing);
    if (!file.open(QIODevice::ReadOnly))
        return Outcome(PanelLoadStatus::Unreadable,
                       Pl(lt::PanelFileUnreadable) + QLatin1Char(' ') + file.errorString());
    if (file.size() > MaxPanelFileBytes)
        return Outcome(PanelLoadStatus::Refused,
                       Pl(lt::PanelFileTooLarge).arg(file.size()).arg(MaxPanelFileBytes));
    const QByteArray bytes = file.read(MaxPanelFileBytes + 1);
    file.close();
    if (bytes.size() > MaxPanelFileBytes) // grew while being read, or not a plain file
        return Outcome(PanelLoadStatus::Refused,
                       Pl(lt::PanelFileTooLarge).arg(bytes.size()).arg(MaxPanelFileBytes));
    bool clean = true;
    const QString text = DecodePanelText(bytes, &clean);
    if (const qsizetype n = CountLineEnds(text); n > MaxPanelLines)
        return Outcome(PanelLoadStatus::Refused, Pl(lt::PanelTooManyLines).arg(n).arg(MaxPanelLines));
    QStringList split = SplitPanelLines(text);
    const PanelLineCount count = CountPanelBlocks(split);
    if (count.Elements > MaxPanelElements)
        return Outcome(PanelLoadStatus::Refused,
                       Pl(lt::PanelTooManyElements).arg(count.Elements).arg(MaxPanelElements));
    if (!bytes.isEmpty() && !count.AnyBlock)
        return Outcome(PanelLoadStatus::Unreadable, Pl(lt::PanelFileUnreadable));
    lines = std::move(split);
    return clean ? Outcome(PanelLoadStatus::Read)
                 : Outcome(PanelLoadStatus::Damaged, Pl(lt::PanelFileDamaged));
}

PanelLoadResult LoadPanelFile(const QString& path, IPanelFileHost& host) {
    QStringList lines;
    const PanelLoadResult result = ReadPanelFileLines(path, lines);
    if (result.Status == PanelLoadStatus::Read || result.Status == PanelLoadStatus::Damaged)
        ReadPanelLines(lines, host);
    return result;
}

} // namespace quelnet
