#include "cli/Console.h"

#include <QMutexLocker>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <sys/ioctl.h>
#include <unistd.h>

namespace quelnet::cli {

namespace {

// False when the bytes did not all reach the stream's file.
bool Write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream) == size_t(bytes.size());
    return std::fflush(stream) == 0 && written;
}

} // namespace

StdConsole::StdConsole()
    : m_outTty(isatty(STDOUT_FILENO) != 0), m_errTty(isatty(STDERR_FILENO) != 0),
      m_inTty(isatty(STDIN_FILENO) != 0) {}

void StdConsole::Out(const QString& text) {
    QMutexLocker lock(&m_mutex);
    if (!Write(stdout, text) && m_outFailure.isEmpty())
        m_outFailure = QString::fromLocal8Bit(std::strerror(errno));
    std::clearerr(stdout);
}

QString StdConsole::OutFailure() const {
    QMutexLocker lock(&m_mutex);
    return m_outFailure;
}

void StdConsole::Err(const QString& text) {
    QMutexLocker lock(&m_mutex);
    Write(stderr, text);
}

int StdConsole::OutColumns() const {
    winsize size{};
    if (!m_outTty || ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0)
        return 0;
    return size.ws_col;
}

std::optional<QString> StdConsole::ReadLine() {
    std::string line;
    int c = 0;
    while ((c = std::fgetc(stdin)) != EOF && c != '\n')
        line.push_back(char(c));
    if (c == EOF && line.empty())
        return std::nullopt;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return QString::fromStdString(line);
}

} // namespace quelnet::cli
