// The simulator's frame engine: the input is handed over whole, as a caller of
// the engine may do, and then cut into frames as a connection does (bytes that
// cannot start a frame skipped), each frame answered in turn. The first byte
// picks the faults, so that wrong echoes and the missing jumper are reached too.
#include "sim/SimController.h"

#include <cstddef>
#include <cstdint>

using namespace quelnet::sim;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray buffer(reinterpret_cast<const char*>(data), qsizetype(size));
    SimConfig config;
    Faults faults;
    if (!buffer.isEmpty()) {
        const std::uint8_t pick = std::uint8_t(buffer[0]);
        config.jumper = (pick & 1) == 0;
        config.generation = pick & 2 ? Generation::Mid : Generation::New;
        if (pick & 4)
            faults.wrongEchoOnPage = {0, 5, 0x29, 2047};
        if (pick & 8)
            faults.prepareReply.clear();
    }
    SimController engine(config);
    engine.Handle(buffer, faults);
    while (!buffer.isEmpty()) {
        const int length = SimController::FrameLength(buffer);
        if (length == 0)
            break;
        if (length < 0) {
            const qsizetype next = buffer.indexOf(char(0xD5), 1);
            buffer.remove(0, next < 0 ? buffer.size() : next);
            continue;
        }
        SimController::IsPageRequest(buffer.left(length));
        engine.Handle(buffer.left(length), faults);
        buffer.remove(0, length);
    }
    return 0;
}
