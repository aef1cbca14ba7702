// The status-page parser of the oldest controllers: any page, byte for byte.
#include "core/protocol/StatusPage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString page = QString::fromLatin1(reinterpret_cast<const char*>(data), qsizetype(size));
    QString ver, ser, lng;
    quelnet::statuspage::Parse(page, ver, ser, lng);
    return 0;
}
