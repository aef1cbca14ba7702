#include "core/panel/ElementBlock.h"

#include "core/panel/PanelFile.h"
#include "core/panel/PanelFileKeys.h"

#include <vector>

namespace quelnet {

namespace {

// The record alone in slot 0 of its kind.
ElementRecords Alone(const ElementRecord& record) {
    ElementRecords records;
    records.Append(KindOf(record));
    records.SetRecord(0, record);
    return records;
}

// Takes what the panel file reader finds in a text: records of their own,
// and the elements whose blocks were complete.
class Collector : public IPanelFileHost {
public:
    ElementRecords Records;
    std::vector<PanelElementPlace> Elements;
    bool Window = false;

    ElementRecords& PanelRecords() override { return Records; }
    void SetPanelWindowState(int) override { Window = true; }
    void SetPanelWindowRect(int, int, int, int) override { Window = true; }
    int AllocateElementSlot(int kind) override { return Records.Append(kind); }
    void CreateElementViews(int kind, int slot, const QRect& rect) override {
        Records.SetEnabled(kind, slot, true); // as making the element's views does
        Elements.push_back({kind, slot, rect});
    }
};

} // namespace

QString FormatElementBlock(const ElementCopy& element) {
    QStringList lines;
    AppendElementBlock(lines, {element.Kind(), 0, element.Rect}, Alone(element.Record));
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

std::optional<ElementCopy> ParseElementBlock(const QString& text) {
    const QStringList lines = SplitPanelLines(text);
    if (CountPanelBlocks(lines).Elements != 1)
        return std::nullopt;
    Collector found;
    ReadPanelLines(lines, found);
    if (found.Window || found.Elements.size() != 1)
        return std::nullopt;
    const PanelElementPlace& e = found.Elements.front();
    return ElementCopy{e.Rect, found.Records.Record(e.Kind, e.Slot)};
}

QStringList RecordKeyLines(const ElementRecord& record) {
    QStringList lines;
    WriteRecordKeys(Alone(record), KindOf(record), 0, lines);
    return lines;
}

} // namespace quelnet
