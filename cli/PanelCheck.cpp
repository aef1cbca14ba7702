#include "cli/PanelCheck.h"

#include "cli/CliTexts.h"
#include "cli/PictureFiles.h"

#include "core/base/InterfaceTexts.h"
#include "core/panel/PanelFile.h"

#include <QJsonArray>
#include <QSet>
#include <algorithm>

namespace quelnet::cli {

namespace {

constexpr int CircuitNameMax = 8;

// The panel window as far as the reader needs it, noting where each slot and
// element came from.
class CheckHost : public IPanelFileHost {
public:
    explicit CheckHost(PanelReport& report, QList<int> typeLines)
        : m_report(report), m_typeLines(std::move(typeLines)) {}

    ElementRecords& PanelRecords() override { return m_report.records; }
    void SetPanelWindowState(int) override {}
    void SetPanelWindowRect(int, int, int, int) override {}

    int AllocateElementSlot(int kind) override {
        ElementRecords& records = m_report.records;
        const QSet<int>& taken = m_created[kind];
        int slot = LowestFreeSlot(records.Count(kind), [&](int i) { return !taken.contains(i); });
        if (slot == records.Count(kind))
            slot = records.Append(kind);
        m_allocations.append({kind, slot, m_typeLines.value(m_allocations.size()), false});
        return slot;
    }

    void CreateElementViews(int kind, int slot, const QRect& rect) override {
        m_created[kind].insert(slot);
        for (qsizetype i = m_allocations.size() - 1; i >= 0; --i) {
            Allocation& a = m_allocations[i];
            if (a.kind == kind && a.slot == slot) {
                a.created = true;
                m_report.elements.append({kind, slot, a.line, rect});
                return;
            }
        }
    }

    // Blocks that created nothing, and the later block of the kind that took
    // the same slot with everything the first one had read.
    void ReportBlocks() {
        for (qsizetype i = 0; i < m_allocations.size(); ++i) {
            const Allocation& a = m_allocations[i];
            if (a.created)
                continue;
            m_report.AddBlock(a.kind, a.line, QStringLiteral("block-creates-nothing"),
                              Tx(txt::BlockCreatesNothing));
            for (qsizetype j = i + 1; j < m_allocations.size(); ++j) {
                const Allocation& b = m_allocations[j];
                if (b.kind == a.kind && b.slot == a.slot) {
                    m_report.AddBlock(b.kind, b.line, QStringLiteral("slot-shared"),
                                      Tx(txt::SlotShared).arg(a.line));
                    break;
                }
            }
        }
    }

private:
    struct Allocation {
        int kind, slot, line;
        bool created;
    };
    PanelReport& m_report;
    QList<int> m_typeLines;
    QList<Allocation> m_allocations;
    QSet<int> m_created[ElementKindCount];
};

QList<int> TypeLines(const QStringList& lines) {
    QList<int> found;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!lines[i].startsWith(QLatin1String("x_tp=")))
            continue;
        for (const char* tag : KindFileTags)
            if (lines[i].mid(5) == QLatin1String(tag))
                found << int(i + 1);
    }
    return found;
}

QString Number(float v) {
    return QString::number(double(v), 'g', 7);
}

// Connection and circuit names of a bound element.
void CheckBinding(PanelReport& report, const PanelElement& e, const QString& host, quint16 port,
                  const QStringList& circuits) {
    QStringList used;
    for (const QString& c : circuits)
        if (!c.isEmpty())
            used << c;
    if (used.isEmpty()) {
        report.Add(e, QStringLiteral("no-circuit"), Tx(txt::NoCircuitBound));
        return;
    }
    if (host.isEmpty() || port == 0)
        report.Add(e, QStringLiteral("no-address"), Tx(txt::NoAddress));
    for (const QString& c : used)
        if (c.size() > CircuitNameMax)
            report.Add(e, QStringLiteral("name-too-long"), Tx(txt::NameTooLong).arg(c));
}

// A picture field: `required` when the element would show it.
void CheckPicture(PanelReport& report, const PanelElement& e, const QString& row, const QString& path,
                  bool required) {
    if (path.isEmpty()) {
        if (required)
            report.Add(e, QStringLiteral("picture-empty"), Tx(txt::PictureEmpty).arg(row));
        return;
    }
    switch (CheckPictureFile(path)) {
    case PictureState::Ok:
        return;
    case PictureState::Missing:
        report.Add(e, QStringLiteral("picture-missing"), Tx(txt::PictureMissing).arg(row, path));
        return;
    case PictureState::Unreadable:
        report.Add(e, QStringLiteral("picture-unreadable"), Tx(txt::PictureUnreadable).arg(row, path));
        return;
    case PictureState::UnknownFormat:
        report.Add(e, QStringLiteral("picture-format"), Tx(txt::PictureBadFormat).arg(row, path));
        return;
    }
}

template <typename Digital> void CheckDigital(PanelReport& report, const PanelElement& e, const Digital& r) {
    CheckBinding(report, e, r.sHost, r.sPort, {r.sO_DCir, r.sI_DCir});
    const bool shown = !r.sI_DCir.isEmpty();
    CheckPicture(report, e, Pl(lt::RowImgL), r.sI_ImgL, shown);
    CheckPicture(report, e, Pl(lt::RowImgH), r.sI_ImgH, shown);
}

// The run mode takes the first of levels 8 down to 1 that the value is above.
// Level i is therefore chosen only for values above it and not above any
// higher-numbered level: never when a higher-numbered level is at or below it.
void CheckLevels(PanelReport& report, const PanelElement& e, const TES_ASign& r) {
    for (int i = 0; i < AnalogLevelCount; ++i) {
        int blocking = -1;
        for (int j = AnalogLevelCount - 1; j > i && blocking < 0; --j)
            if (r.sI_Lev[j] <= r.sI_Lev[i])
                blocking = j;
        const QString row = Pl(lt::RowLevelImg) + u' ' + QString::number(i + 1);
        if (blocking >= 0 && !r.sI_Img[i].isEmpty())
            report.Add(e, QStringLiteral("level-never-shown"),
                       Tx(txt::LevelNeverShown)
                           .arg(i + 1)
                           .arg(Number(r.sI_Lev[i]))
                           .arg(blocking + 1)
                           .arg(Number(r.sI_Lev[blocking])));
        else if (blocking < 0 && r.sI_Img[i].isEmpty() && r.sI_Lev[i] == r.sI_Lev[i])
            report.Add(e, QStringLiteral("level-without-picture"),
                       Tx(txt::LevelNoPicture).arg(i + 1).arg(Number(r.sI_Lev[i])));
        CheckPicture(report, e, row, r.sI_Img[i], false);
    }
}

void CheckAnalog(PanelReport& report, const PanelElement& e, const TES_ASign& r) {
    CheckBinding(report, e, r.sHost, r.sPort, {r.sI_ACir});
    const bool shown = !r.sI_ACir.isEmpty();
    CheckPicture(report, e, Pl(lt::RowImgD), r.sI_ImgD, shown);
    if (shown)
        CheckLevels(report, e, r);
}

// Two elements of one kind on one rectangle: the later hides the earlier.
void CheckOverlaps(PanelReport& report) {
    const QList<PanelElement> elements = report.elements;
    for (qsizetype i = 0; i < elements.size(); ++i)
        for (qsizetype j = 0; j < i; ++j)
            if (elements[j].kind == elements[i].kind && elements[j].rect == elements[i].rect) {
                report.Add(elements[i], QStringLiteral("same-rectangle"),
                           Tx(txt::SameRectangle).arg(elements[j].line));
                break;
            }
}

} // namespace

QString KindName(int kind) {
    static const TLangText* const names[ElementKindCount] = {
        &lt::PaletteButton, &lt::PaletteDSign, &lt::PaletteASign, &lt::PaletteText, &lt::PaletteTrack};
    return IsElementKind(kind) ? Pl(*names[kind]) : QString();
}

void PanelReport::Add(const PanelElement& e, const QString& code, const QString& text) {
    const QString where = Tx(txt::ElementAt)
                              .arg(e.line)
                              .arg(KindName(e.kind))
                              .arg(e.rect.x())
                              .arg(e.rect.y())
                              .arg(e.rect.width())
                              .arg(e.rect.height());
    problems.append({e.line, where, code, text});
}

void PanelReport::AddBlock(int kind, int line, const QString& code, const QString& text) {
    problems.append({line, Tx(txt::BlockAt).arg(line).arg(QLatin1String(KindFileTags[kind])), code, text});
}

QStringList PanelReport::Lines() const {
    QStringList lines;
    for (const PanelProblem& p : problems)
        lines << Tx(txt::ProblemLine).arg(p.where, p.text);
    lines << Tx(txt::PanelSummary).arg(elements.size()).arg(problems.size());
    return lines;
}

QJsonObject PanelReport::Json() const {
    QJsonArray list;
    for (const PanelProblem& p : problems)
        list.append(QJsonObject{{QStringLiteral("line"), p.line},
                                {QStringLiteral("where"), p.where},
                                {QStringLiteral("code"), p.code},
                                {QStringLiteral("text"), p.text}});
    return {{QStringLiteral("elements"), int(elements.size())}, {QStringLiteral("problems"), list}};
}

PanelReport CheckPanelLines(const QStringList& lines) {
    PanelReport report;
    CheckHost host(report, TypeLines(lines));
    ReadPanelLines(lines, host);
    host.ReportBlocks();
    const ElementRecords& rec = report.records;
    for (const PanelElement& e : QList<PanelElement>(report.elements)) {
        const size_t s = size_t(e.slot);
        switch (e.kind) {
        case KindButton:
            CheckDigital(report, e, rec.ES_Buttons[s]);
            break;
        case KindDSign:
            CheckDigital(report, e, rec.ES_DSigns[s]);
            break;
        case KindASign:
            CheckAnalog(report, e, rec.ES_ASigns[s]);
            break;
        case KindTrack:
            CheckBinding(report, e, rec.ES_Tracks[s].sHost, rec.ES_Tracks[s].sPort,
                         {rec.ES_Tracks[s].sO_ACir});
            break;
        default:
            break;
        }
    }
    CheckOverlaps(report);
    std::stable_sort(report.problems.begin(), report.problems.end(),
                     [](const PanelProblem& a, const PanelProblem& b) { return a.line < b.line; });
    return report;
}

} // namespace quelnet::cli
