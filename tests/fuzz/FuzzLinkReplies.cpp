// The device link's reply reader and reply checks: the input is a stream of
// long replies as a controller would send them, each judged as every kind of
// reply; the stream's first 58 bytes are also read as a short identify reply.
#include "core/protocol/CircuitReplies.h"
#include "core/protocol/ReplyReader.h"

#include <cstddef>
#include <cstdint>

using namespace quelnet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray stream(reinterpret_cast<const char*>(data), qsizetype(size));
    qsizetype at = 0;
    const proto::ReadExactFn fromMemory = [&](int n, QByteArray& out) {
        const qsizetype take = qMin<qsizetype>(n, stream.size() - at);
        out.append(stream.mid(at, take));
        at += take;
        return take == n;
    };
    QByteArray reply;
    while (proto::ReadLongReply(fromMemory, reply) > 0) {
        bool on = false;
        float value = 0;
        circuit::CheckSetReply(reply);
        for (std::uint8_t mode : {0, 1}) {
            circuit::CheckDigitalReply(reply, mode, on);
            circuit::CheckAnalogReply(reply, mode, value);
        }
        proto::Identity identity;
        proto::ParseLongIdentify(reply, identity);
    }
    proto::Identity identity;
    proto::ParseShortIdentify(stream.left(58), identity);
    return 0;
}
