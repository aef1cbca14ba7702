// Shared main for the core's test programs: no window system, only a
// QCoreApplication (event loop, sockets, timers) and the Polish locale that
// the program's readers and the panel file use by default in these tests.
#include "core/base/InterfaceTexts.h"
#include "core/link/HttpClient.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    quelnet::SetUserLocale(QLocale(QLocale::Polish, QLocale::Poland));
    // The test programs are not next to the HTTP module in the build tree.
    quelnet::SetHttpModuleFolder(QStringLiteral(QUELNET_HTTP_MODULE_FOLDER));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
