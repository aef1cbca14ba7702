// Saves a panel file the way the editor does, in a process of its own, so that
// a test running as root can make the save as an unprivileged user (root
// passes every permission test).
//
//   panel_save_probe PANEL_FILE [FILE_SIZE_LIMIT] < NEW_CONTENT
//
// Prints "folder-writable=0" or "=1" (whether this user may create files in
// the panel file's folder), then "saved" or "failed: " and why. A file size limit makes
// every write beyond it fail, as a full disk does. Exit status 0 when saved.
#include "core/panel/PanelFile.h"

#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s PANEL_FILE [FILE_SIZE_LIMIT] < NEW_CONTENT\n", argv[0]);
        return 2;
    }
    QByteArray bytes;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;)
        bytes.append(buffer, qsizetype(n));
    if (argc == 3) {
        std::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit fails instead
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = rlim_t(std::strtoull(argv[2], nullptr, 10));
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QByteArray folder = QFileInfo(path).absolutePath().toLocal8Bit();
    std::printf("folder-writable=%d\n", access(folder.constData(), W_OK) == 0 ? 1 : 0);
    QString why;
    const bool saved = quelnet::SavePanelFile(path, bytes, &why);
    if (saved)
        std::printf("saved\n");
    else
        std::printf("failed: %s\n", qPrintable(why));
    return saved ? 0 : 1;
}
