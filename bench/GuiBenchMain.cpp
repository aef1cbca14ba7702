// Shared main for the benchmarks with windows: a QApplication on the offscreen
// platform (unless QT_QPA_PLATFORM names another one), then Google Benchmark.
// The offscreen screen is 3840 x 2160, so that a large panel window is as
// large as its file says up to that size rather than the platform's 800 x 600.
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    QTemporaryDir dir;
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if ((platform.isEmpty() || platform == "offscreen") && dir.isValid()) {
        QFile config(dir.filePath("screens.json"));
        if (config.open(QIODevice::WriteOnly) &&
            config.write(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 3840, "height": 2160,)"
                         R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})") > 0) {
            config.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toUtf8());
        } else {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
