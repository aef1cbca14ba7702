// Saves a panel file the way the editor does, in a process of its own, so that
// a test running as root can make the save as an unprivileged user (root
// passes every permission test).
//
//   panel_save_probe PANEL_FILE [FILE_SIZE_LIMIT] < NEW_CONTENT
//   panel_save_probe --here < NEW_CONTENT
//
// Prints "folder-writable=0" or "=1" (whether this user may create files in
// the panel file's folder), then "saved" or "failed: " and why. A file size limit makes
// every write beyond it fail, as a full disk does. Exit status 0 when saved.
// With --here the panel file is the program's own (LocatePanelFile(), beside
// this executable or in the user's configuration folder): the folder tested
// is the executable's, and "path=", "user-config=" and "read=" (the file
// that would be read) come before the outcome.
#include "core/panel/PanelFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s PANEL_FILE|--here [FILE_SIZE_LIMIT] < NEW_CONTENT\n", argv[0]);
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
    const bool here = std::strcmp(argv[1], "--here") == 0;
    QCoreApplication app(argc, argv);
    const quelnet::PanelFileLocation where = quelnet::LocatePanelFile();
    const QString path = here ? where.Path : QString::fromLocal8Bit(argv[1]);
    const QByteArray folder =
        (here ? QCoreApplication::applicationDirPath() : QFileInfo(path).absolutePath()).toLocal8Bit();
    std::printf("folder-writable=%d\n", access(folder.constData(), W_OK) == 0 ? 1 : 0);
    if (here)
        std::printf("path=%s\nuser-config=%d\nread=%s\n", qPrintable(where.Path), where.InUserConfig ? 1 : 0,
                    qPrintable(where.ReadPath()));
    QString why;
    const bool saved =
        here ? quelnet::SavePanelFileAt(where, bytes, &why) : quelnet::SavePanelFile(path, bytes, &why);
    if (saved)
        std::printf("saved\n");
    else
        std::printf("failed: %s\n", qPrintable(why));
    return saved ? 0 : 1;
}
