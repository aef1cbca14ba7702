// The simulator's frame engine: the input is handed over whole, as a caller of
// the engine may do, and then cut into frames as a connection does (bytes that
// cannot start a frame skipped), each frame answered in turn until one closes
// the connection or restarts the controller. The first byte picks the
// controller, so that the middle generation and the missing jumper are reached
// too, and the faults.
//
// One engine per controller kind serves every input; before each input its
// DataFlash is erased and its circuits set to 0 again, and an engine whose
// settings an installed update changed is made anew. (Whether a configuration
// was prepared for the update carries over: it matters only to an update that
// installs a sealed program.)
#include "sim/SimController.h"

#include <cstddef>
#include <cstdint>
#include <memory>

using namespace quelnet::sim;

namespace {

SimConfig ConfigFor(std::uint8_t pick) {
    SimConfig config;
    config.jumper = (pick & 1) == 0;
    config.generation = pick & 2 ? Generation::Mid : Generation::New;
    return config;
}

SimController& FreshEngine(std::uint8_t pick) {
    static std::unique_ptr<SimController> engines[4];
    std::unique_ptr<SimController>& engine = engines[pick & 3];
    const SimConfig config = ConfigFor(pick);
    if (!engine || engine->Settings().EffectiveVersion() != config.EffectiveVersion() ||
        engine->Settings().password != config.password)
        engine = std::make_unique<SimController>(config);
    engine->SetFlash({});
    for (const CircuitSpec& c : engine->Circuits()) {
        if (c.analog)
            engine->SetAnalog(c.name, 0);
        else
            engine->SetDigital(c.name, false);
    }
    return *engine;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray buffer(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::uint8_t pick = size > 0 ? data[0] : 0;
    Faults faults;
    if (pick & 4)
        faults.wrongEchoOnPage = {0, 5, 0x29, 2047};
    if (pick & 8)
        faults.prepareReply.clear();
    SimController& engine = FreshEngine(pick);
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
        // As on a connection: nothing after a restart or a refused digest.
        if (engine.Handle(buffer.left(length), faults).after != AfterReply::Stay)
            break;
        buffer.remove(0, length);
    }
    return 0;
}
