// quelnet: virtual control panel ("-k" editor, no switch: run the panel) and
// maintenance windows for one controller ("-u", "-r", "-b", "-x").
#include "app/StartUp.h"

#include <QApplication>

int main(int argc, char** argv) {
    // Read before QApplication takes its own options out of argv.
    const QStringList arguments = quelnet::ArgumentsAsGiven(argc, argv);
    QApplication app(argc, argv);
    quelnet::PrepareApplication();
    quelnet::RunApplication(arguments);
    return 0;
}
