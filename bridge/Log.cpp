#include "bridge/Log.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace quelnet::bridge {

void Log(LogLevel level, const QString& text) {
    static const bool journal = std::getenv("JOURNAL_STREAM") != nullptr;
    static std::mutex mutex;
    const QByteArray line = text.toUtf8();
    std::lock_guard lock(mutex);
    if (journal)
        std::fprintf(stderr, "<%d>%s\n", int(level), line.constData());
    else
        std::fprintf(stderr, "quelnet-bridge: %s\n", line.constData());
    std::fflush(stderr);
}

} // namespace quelnet::bridge
