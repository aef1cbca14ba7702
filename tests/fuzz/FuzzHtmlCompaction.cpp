// The compaction of HTML pages on their way into the DataFlash.
#include "core/firmware/HtmlCompaction.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray page(reinterpret_cast<const char*>(data), qsizetype(size));
    quelnet::IsHtmlPage(page);
    quelnet::CompactHtml(page);
    return 0;
}
