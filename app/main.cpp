// quelnet: virtual control panel ("-k" editor, no switch: run the panel) and
// maintenance windows for one controller ("-u", "-r", "-b", "-x").
#include "app/StartUp.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    quelnet::PrepareApplication();
    quelnet::RunApplication(QApplication::arguments());
    return 0;
}
