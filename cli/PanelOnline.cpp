#include "cli/PanelOnline.h"

#include "cli/CircuitReader.h"
#include "cli/CliTexts.h"

#include "core/link/DeviceLink.h"

#include <QList>

namespace quelnet::cli {

namespace {

struct Circuit {
    QString name;
    bool analog;
    PanelElement user; // the first element that uses it
};

struct Controller {
    QString host;
    quint16 port;
    QString password;
    PanelElement user;
    QList<Circuit> circuits;
};

struct Binding {
    QString host;
    quint16 port = 0;
    QString password;
    QList<QPair<QString, bool>> circuits; // name, analog
};

Binding BindingOf(const ElementRecords& rec, const PanelElement& e) {
    const size_t s = size_t(e.slot);
    switch (e.kind) {
    case KindButton: {
        const TES_Button& r = rec.ES_Buttons[s];
        return {r.sHost, r.sPort, r.sPass, {{r.sO_DCir, false}, {r.sI_DCir, false}}};
    }
    case KindDSign: {
        const TES_DSign& r = rec.ES_DSigns[s];
        return {r.sHost, r.sPort, r.sPass, {{r.sO_DCir, false}, {r.sI_DCir, false}}};
    }
    case KindASign: {
        const TES_ASign& r = rec.ES_ASigns[s];
        return {r.sHost, r.sPort, r.sPass, {{r.sI_ACir, true}}};
    }
    case KindTrack: {
        const TES_Track& r = rec.ES_Tracks[s];
        return {r.sHost, r.sPort, r.sPass, {{r.sO_ACir, true}}};
    }
    default:
        return {};
    }
}

// Controllers in the order the panel first names them, each with its
// distinct circuits. Elements the offline check already faults (no address,
// names too long) are left out.
QList<Controller> Controllers(const PanelReport& report) {
    QList<Controller> list;
    for (const PanelElement& e : report.elements) {
        const Binding b = BindingOf(report.records, e);
        if (b.host.isEmpty() || b.port == 0)
            continue;
        auto it = std::find_if(list.begin(), list.end(), [&](const Controller& c) {
            return c.host == b.host && c.port == b.port && c.password == b.password;
        });
        if (it == list.end())
            it = list.insert(list.end(), Controller{b.host, b.port, b.password, e, {}});
        for (const auto& circuit : b.circuits) {
            const QString& name = circuit.first;
            const bool analog = circuit.second;
            if (name.isEmpty() || name.size() > 8)
                continue;
            const bool known = std::any_of(it->circuits.begin(), it->circuits.end(), [&](const Circuit& c) {
                return c.name == name && c.analog == analog;
            });
            if (!known)
                it->circuits.append({name, analog, e});
        }
    }
    return list;
}

bool Identified(TfmCommon& link, const Controller& c) {
    QString ver, rea, ser, lng;
    QChar boa;
    bool jumper = false;
    return link.CheckNewQuelnet(c.host, QString::number(c.port), c.password, ver, boa, jumper, rea, ser, lng);
}

void ReadCircuits(PanelReport& report, TfmCommon& link, const Controller& c) {
    for (const Circuit& circuit : c.circuits) {
        bool on = false;
        float value = 0;
        const bool ok = circuit.analog ? link.GetInpAnal(c.host, c.port, c.password, circuit.name, 0, value)
                                       : link.GetInpDigi(c.host, c.port, c.password, circuit.name, 0, on);
        if (ok)
            continue;
        const QString error = link.GetLastError();
        report.Add(circuit.user,
                   IsMissingCircuit(error, circuit.analog) ? QStringLiteral("circuit-missing")
                                                           : QStringLiteral("circuit-read-failed"),
                   error);
    }
}

} // namespace

void CheckPanelOnline(PanelReport& report, TfmCommon& link) {
    for (const Controller& c : Controllers(report)) {
        if (!Identified(link, c)) {
            report.Add(c.user, QStringLiteral("controller-not-identified"),
                       Tx(txt::NotIdentified).arg(c.host + u':' + QString::number(c.port)));
            continue;
        }
        ReadCircuits(report, link, c);
    }
    link.EndComm();
}

} // namespace quelnet::cli
