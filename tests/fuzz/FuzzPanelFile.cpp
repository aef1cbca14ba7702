// The panel file reader, bytes to records: decoding, line splitting and the
// block reader against a host that only keeps the records.
#include "core/panel/ElementModel.h"
#include "core/panel/PanelFile.h"

#include <cstddef>
#include <cstdint>

namespace {

class RecordsOnlyHost : public quelnet::IPanelFileHost {
public:
    quelnet::ElementRecords& PanelRecords() override { return m_records; }
    void SetPanelWindowState(int) override {}
    void SetPanelWindowRect(int, int, int, int) override {}
    int AllocateElementSlot(int kind) override { return m_records.Append(kind); }
    void CreateElementViews(int, int, const QRect&) override {}

private:
    quelnet::ElementRecords m_records;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    RecordsOnlyHost host;
    quelnet::ReadPanelLines(quelnet::SplitPanelLines(quelnet::DecodePanelText(bytes)), host);
    return 0;
}
