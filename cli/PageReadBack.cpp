#include "cli/PageReadBack.h"

#include "core/link/DeviceLink.h"
#include "core/link/LinkInterfaces.h"
#include "core/protocol/Frames.h"

#include <optional>

namespace quelnet::cli {

namespace {

constexpr int Attempts = 3;

// The page's bytes, or nothing when no valid reply came.
std::optional<QByteArray> ReadPage(TfmCommon& link, const QString& password, int page) {
    const QByteArray address = proto::PageAddress(page);
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        if (attempt > 0)
            link.Reconnect();
        QByteArray reply;
        link.SendRequest(proto::CmdReadPage, password, 0, address);
        if (link.ReadReply(reply) == proto::ReadPageReplySize && uchar(reply[12]) == proto::ReplyReadPage &&
            reply.mid(16, 3) == address)
            return reply.mid(19, proto::PageSize);
    }
    return std::nullopt;
}

} // namespace

ReadBackResult ReadBackPages(TfmCommon& link, const QString& host, const QString& port,
                             const QString& password, const QByteArray& image, int first, int end,
                             IProgress& progress) {
    ReadBackResult r;
    TfmCommon::BusyGuard guard(link);
    if (!guard || !link.OpenConnection(host, port, link.GetTimeouts().Link)) {
        r.status = ReadBackResult::Status::NoReply;
        r.badPage = first;
        return r;
    }
    progress.SetMaximum(end - first);
    for (int page = first; page < end; ++page) {
        progress.SetPosition(page - first);
        const std::optional<QByteArray> bytes = ReadPage(link, password, page);
        if (!bytes || *bytes != image.mid(page * proto::PageSize, proto::PageSize)) {
            r.status = bytes ? ReadBackResult::Status::Differs : ReadBackResult::Status::NoReply;
            r.badPage = page;
            break;
        }
        ++r.pages;
    }
    link.CloseConnection();
    progress.SetPosition(0);
    return r;
}

} // namespace quelnet::cli
