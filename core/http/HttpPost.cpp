// The HTTP module (libquelnet-http.so): one POST through Qt Network, on the
// calling thread, waited for in a local event loop. Loaded by the core on the
// first status-page request (core/link/HttpModule.cpp).
#include "core/link/HttpClient.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

extern "C" Q_DECL_EXPORT bool quelnet_http_post(const quelnet::HttpPost* in, quelnet::HttpResult* out) {
    *out = {};
    // A manager of its own for every request: it belongs to the calling
    // thread, and no connection is kept between requests.
    QNetworkAccessManager http;
    // The controllers are on the local network: never go through a proxy.
    http.setProxy(QNetworkProxy::NoProxy);

    QNetworkRequest request(in->url);
    for (const auto& [name, value] : in->headers)
        request.setRawHeader(name, value);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(in->transferTimeoutMs);

    std::unique_ptr<QNetworkReply> reply(http.post(request, in->body));
    QEventLoop loop;
    QTimer limit; // connect plus read
    limit.setSingleShot(true);
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(&limit, &QTimer::timeout, reply.get(), &QNetworkReply::abort);
    limit.start(in->limitMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    limit.stop();

    if (reply->error() != QNetworkReply::NoError)
        return false;
    out->body = reply->readAll();
    out->contentEncoding = reply->rawHeader("Content-Encoding");
    return true;
}
