// quelnet: virtual control panel ("-k" editor, no switch: run the panel) and
// maintenance windows for one controller ("-u", "-r", "-b", "-x").
#include "app/ProgramInfo.h"
#include "app/StartUp.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    // Read before QApplication takes its own options out of argv.
    const QStringList arguments = quelnet::ArgumentsAsGiven(argc, argv);
    // --help and --version need no display: answered before QApplication.
    if (const auto info = quelnet::ProgramInfoText(arguments)) {
        const QByteArray text = info->toLocal8Bit();
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    quelnet::PrepareApplication();
    quelnet::RunApplication(arguments);
    return 0;
}
