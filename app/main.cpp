// quelnet: virtual control panel ("-k" editor, no switch: run the panel) and
// maintenance windows for one controller ("-u", "-r", "-b", "-x").
#include "app/StartUp.h"

#include <QApplication>

int main(int argc, char** argv) {
    // The switches are read by position from the command line as given: the
    // toolkit removes the options it knows from its own copy, which would move
    // the update window's second argument.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    QApplication app(argc, argv);
    QApplication::setApplicationName("quelnet");
    quelnet::RunApplication(arguments);
    return 0;
}
