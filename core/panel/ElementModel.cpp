#include "core/panel/ElementModel.h"

#include <type_traits>

namespace quelnet {

namespace {

template <typename F>
auto withArray(ElementRecords& r, int kind, F f) {
    switch (kind) {
    case KindButton: return f(r.ES_Buttons);
    case KindDSign: return f(r.ES_DSigns);
    case KindASign: return f(r.ES_ASigns);
    case KindText: return f(r.ES_Texts);
    default: return f(r.ES_Tracks);
    }
}

} // namespace

int ElementRecords::Count(int kind) const {
    if (!IsElementKind(kind)) return 0;
    return withArray(const_cast<ElementRecords&>(*this), kind, [](auto& a) { return int(a.size()); });
}

int ElementRecords::Append(int kind) {
    if (!IsElementKind(kind)) return -1;
    return withArray(*this, kind, [](auto& a) {
        a.emplace_back();
        return int(a.size()) - 1;
    });
}

bool ElementRecords::Enabled(int kind, int slot) const {
    if (!IsElementKind(kind) || slot < 0 || slot >= Count(kind)) return false;
    return withArray(const_cast<ElementRecords&>(*this), kind, [slot](auto& a) { return a[slot].sEnabled; });
}

void ElementRecords::SetEnabled(int kind, int slot, bool enabled) {
    if (!IsElementKind(kind) || slot < 0 || slot >= Count(kind)) return;
    withArray(*this, kind, [slot, enabled](auto& a) { a[slot].sEnabled = enabled; });
}

ElementRecord ElementRecords::Record(int kind, int slot) const {
    switch (kind) {
    case KindButton: return ES_Buttons.at(size_t(slot));
    case KindDSign: return ES_DSigns.at(size_t(slot));
    case KindASign: return ES_ASigns.at(size_t(slot));
    case KindText: return ES_Texts.at(size_t(slot));
    default: return ES_Tracks.at(size_t(slot));
    }
}

void ElementRecords::SetRecord(int slot, const ElementRecord& record) {
    const int kind = KindOf(record);
    if (slot < 0 || slot >= Count(kind)) return;
    std::visit(
        [&](const auto& rec) {
            withArray(*this, kind, [&](auto& a) {
                using Stored = typename std::decay_t<decltype(a)>::value_type;
                if constexpr (std::is_same_v<Stored, std::decay_t<decltype(rec)>>)
                    a[size_t(slot)] = rec;
            });
        },
        record);
}

void ElementRecords::Truncate(int kind, int count) {
    if (!IsElementKind(kind) || count < 0) return;
    withArray(*this, kind, [count](auto& a) {
        if (int(a.size()) > count) a.resize(size_t(count));
    });
}

bool SlotFromName(const QString& name, const char* prefix, int* slot) {
    const QString p = QString::fromLatin1(prefix);
    if (!name.startsWith(p)) return false;
    const QString digits = name.mid(p.size());
    if (digits.isEmpty()) return false;
    for (QChar c : digits)
        if (!c.isDigit()) return false;
    bool ok = false;
    const int v = digits.toInt(&ok);
    if (!ok) return false;
    if (slot) *slot = v;
    return true;
}

QString ControlName(const char* prefix, int slot) { return QString::fromLatin1(prefix) + QString::number(slot); }

} // namespace quelnet
