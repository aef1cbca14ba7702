// Shared main for the test programs: a QApplication on the offscreen platform
// (so window tests run without a display) and the Polish locale that the
// program's readers and the panel file use by default in these tests.
#include "core/base/InterfaceTexts.h"
#include "core/link/HttpClient.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    quelnet::SetUserLocale(QLocale(QLocale::Polish, QLocale::Poland));
    // The test programs are not next to the HTTP module in the build tree.
    quelnet::SetHttpModuleFolder(QStringLiteral(QUELNET_HTTP_MODULE_FOLDER));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
