#pragma once
// One HTTP POST, for the status page of the oldest controllers. The HTTP
// client (Qt Network and the libraries it pulls in) lives in a module of its
// own, loaded on the first request: a program that never asks for a status
// page (every command-line call to a newer controller) does not pay for
// loading it at start-up.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

#include <utility>

namespace quelnet {

struct HttpPost {
    QUrl url;
    QList<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;
    int transferTimeoutMs = 0; // no progress for this long ends the request
    int limitMs = 0;           // the whole request, connection included
};

struct HttpResult {
    QByteArray body; // as it came, still content-coded
    QByteArray contentEncoding;
};

// The module's entry point, resolved by name (HttpModuleEntry): true when an
// answer with a success status came, and then `result` holds it.
using HttpPostFunction = bool (*)(const HttpPost* request, HttpResult* result);
inline constexpr const char* HttpModuleEntry = "quelnet_http_post";
inline constexpr const char* HttpModuleFile = "libquelnet-http.so";

// Sends the request through the module; false (and an empty result) when the
// module cannot be loaded or the request fails. Without a QCoreApplication
// nothing is sent. Blocks until the answer, an error or the limit.
bool PostHttp(const HttpPost& request, HttpResult& result);

// Where the module is looked for first (tests and benchmarks run from the
// build tree point here); then in the installed layout next to the program
// (<program folder>/../lib/<arch>/quelnet) and in the program's own folder.
void SetHttpModuleFolder(const QString& folder);

} // namespace quelnet
