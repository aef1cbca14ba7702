#include "bridge/PanelImport.h"

#include "core/panel/PanelFile.h"
#include "core/panel/RunPoller.h"

#include <QRect>
#include <QSet>
#include <algorithm>
#include <utility>

namespace quelnet::bridge {

namespace {

// The panel window as far as the reader needs it: which slots got an element.
class ImportHost : public IPanelFileHost {
public:
    ElementRecords& PanelRecords() override { return records; }
    void SetPanelWindowState(int) override {}
    void SetPanelWindowRect(int, int, int, int) override {}
    int AllocateElementSlot(int kind) override {
        const QSet<int>& taken = created[kind];
        const int slot = LowestFreeSlot(records.Count(kind), [&](int i) { return !taken.contains(i); });
        return slot == records.Count(kind) ? records.Append(kind) : slot;
    }
    void CreateElementViews(int kind, int slot, const QRect&) override {
        created[kind].insert(slot);
        order.append({kind, slot});
    }

    ElementRecords records;
    QSet<int> created[ElementKindCount];
    QList<std::pair<int, int>> order; // kind, slot in block order
};

class Collector {
public:
    void Add(const QString& host, quint16 port, const QString& pass, CircuitConfig circuit) {
        if (circuit.name.isEmpty())
            return;
        if (host.isEmpty() || port == 0) {
            notes << QStringLiteral("%1: no address or port, left out").arg(circuit.name);
            return;
        }
        if (!IsTopicName(circuit.name) || circuit.name.size() > 8) {
            notes << QStringLiteral("%1 (%2:%3): not a name the bridge can publish, left out")
                         .arg(circuit.name, host)
                         .arg(port);
            return;
        }
        ControllerConfig& c = Controller(host, port, pass);
        for (CircuitConfig& k : c.circuits) {
            if (k.name != circuit.name)
                continue;
            k.periodMs = std::min(k.periodMs, circuit.periodMs);
            k.analog = k.analog || circuit.analog;
            if (circuit.output && !k.output) {
                const std::uint32_t period = k.periodMs;
                k = circuit;
                k.periodMs = period;
            }
            return;
        }
        c.circuits.append(circuit);
    }

    QList<ControllerConfig> controllers;
    QStringList notes;

private:
    ControllerConfig& Controller(const QString& host, quint16 port, const QString& pass) {
        for (ControllerConfig& c : controllers)
            if (c.address == host && c.port == port)
                return c;
        ControllerConfig c;
        QString name = host + u'_' + QString::number(port);
        for (QChar& ch : name)
            if (!(ch.isLetterOrNumber() && ch.unicode() < 128) && ch != u'-')
                ch = u'_';
        // Two spellings may come out alike ("a.b" and "a_b"): topics must not.
        c.name = name;
        for (int n = 2; std::any_of(controllers.cbegin(), controllers.cend(),
                                    [&](const ControllerConfig& o) { return o.name == c.name; });
             ++n)
            c.name = name + u'_' + QString::number(n);
        c.address = host;
        c.port = port;
        c.password = pass;
        controllers.append(c);
        return controllers.last();
    }
};

std::uint32_t Period(std::uint32_t refresh) {
    // The run mode's rule: 0 means the default period.
    return std::uint32_t(RunPoller::NextFresh(0, refresh));
}

CircuitConfig Circuit(const QString& name, bool analog, bool output, std::uint32_t periodMs) {
    CircuitConfig c;
    c.name = name;
    c.analog = analog;
    c.output = output;
    c.periodMs = periodMs;
    return c;
}

template <typename Record> void AddDigital(Collector& out, const Record& r) {
    out.Add(r.sHost, r.sPort, r.sPass, Circuit(r.sI_DCir, false, r.sI_Conn == 1, Period(r.sI_Refr)));
    out.Add(r.sHost, r.sPort, r.sPass, Circuit(r.sO_DCir, false, true, Period(0)));
}

CircuitConfig SliderCircuit(const TES_Track& t) {
    CircuitConfig c = Circuit(t.sO_ACir, true, true, Period(0));
    const double first = t.sStartVal;
    const double last = double(t.sStartVal) + double(t.sSteps) * double(t.sStepVal);
    if (t.sStepVal != 0 && t.sSteps > 0 && first != last) {
        c.min = std::min(first, last);
        c.max = std::max(first, last);
        c.step = std::abs(double(t.sStepVal));
    }
    return c;
}

} // namespace

PanelImport ImportPanel(const QString& path) {
    PanelImport result;
    ImportHost host;
    const PanelLoadResult load = LoadPanelFile(path, host);
    if (load.Status == PanelLoadStatus::Missing) {
        result.error = QStringLiteral("%1: no such file").arg(path);
        return result;
    }
    if (load.Status != PanelLoadStatus::Read && load.Status != PanelLoadStatus::Damaged) {
        result.error = path + QStringLiteral(": ") + load.Why;
        return result;
    }
    Collector out;
    const ElementRecords& r = host.records;
    for (const auto& [kind, slot] : host.order) {
        const auto s = std::size_t(slot);
        switch (kind) {
        case KindButton: AddDigital(out, r.ES_Buttons[s]); break;
        case KindDSign: AddDigital(out, r.ES_DSigns[s]); break;
        case KindASign: {
            const TES_ASign& a = r.ES_ASigns[s];
            out.Add(a.sHost, a.sPort, a.sPass, Circuit(a.sI_ACir, true, a.sI_Conn == 1, Period(a.sI_Refr)));
            break;
        }
        case KindTrack: {
            const TES_Track& t = r.ES_Tracks[s];
            out.Add(t.sHost, t.sPort, t.sPass, SliderCircuit(t));
            break;
        }
        default: break;
        }
    }
    result.controllers = out.controllers;
    result.notes = out.notes;
    if (load.Status == PanelLoadStatus::Damaged)
        result.notes.prepend(path + QStringLiteral(": ") + load.Why);
    return result;
}

} // namespace quelnet::bridge
