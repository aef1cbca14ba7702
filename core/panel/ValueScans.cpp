#include "core/panel/ValueScans.h"

namespace quelnet {

namespace {

const QString Zero = QStringLiteral("0");
const QString ZeroLevel = QStringLiteral("0,0000");

// Calls f on every button, digital indicator and analog indicator record, in that order.
template <typename F> void forEachBound(const ElementRecords& r, F f) {
    for (const auto& e : r.ES_Buttons)
        f(e);
    for (const auto& e : r.ES_DSigns)
        f(e);
    for (const auto& e : r.ES_ASigns)
        f(e);
}

} // namespace

void AddUnique(QStringList& list, const QString& text, const QString& neverListed) {
    if (text.isEmpty())
        return;
    if (!neverListed.isEmpty() && text == neverListed)
        return;
    if (list.contains(text, Qt::CaseSensitive))
        return;
    list.append(text);
}

QString RealToText(double value) {
    // 'f' never uses an exponent; the C locale gives "." which the sheet shows as ",".
    QString s = QString::number(value, 'f', 4);
    // A value that rounds to zero is shown without a sign (-0.00001 is "0,0000").
    if (s.startsWith(u'-') && s.count(u'0') == s.size() - 2)
        s.remove(0, 1);
    s.truncate(16);
    const qsizetype dot = s.indexOf(u'.');
    if (dot >= 0)
        s[dot] = u',';
    return s;
}

QStringList ScanHosts(const ElementRecords& records) {
    QStringList out;
    forEachBound(records, [&](const auto& e) { AddUnique(out, e.sHost); });
    return out;
}

QStringList ScanPorts(const ElementRecords& records) {
    QStringList out;
    forEachBound(records, [&](const auto& e) { AddUnique(out, QString::number(e.sPort), Zero); });
    return out;
}

QStringList ScanPasss(const ElementRecords& records) {
    QStringList out;
    forEachBound(records, [&](const auto& e) { AddUnique(out, e.sPass); });
    return out;
}

QStringList ScanDCirs(const ElementRecords& records) {
    QStringList out;
    for (const auto& e : records.ES_Buttons) {
        AddUnique(out, e.sO_DCir);
        AddUnique(out, e.sI_DCir);
    }
    for (const auto& e : records.ES_DSigns) {
        AddUnique(out, e.sO_DCir);
        AddUnique(out, e.sI_DCir);
    }
    return out;
}

QStringList ScanACirs(const ElementRecords& records) {
    QStringList out;
    for (const auto& e : records.ES_ASigns)
        AddUnique(out, e.sI_ACir);
    return out;
}

QStringList ScanFress(const ElementRecords& records) {
    QStringList out;
    forEachBound(records, [&](const auto& e) { AddUnique(out, QString::number(e.sI_Refr), Zero); });
    return out;
}

QStringList ScanALevs(const ElementRecords& records) {
    QStringList out;
    for (const auto& e : records.ES_ASigns)
        for (float level : e.sI_Lev)
            AddUnique(out, RealToText(level), ZeroLevel);
    return out;
}

} // namespace quelnet
