#include "main/Main.h"
#include "display/Display.h"

#include <QApplication>
#include <QTimer>

int main(int, char **) {
    // The command line never reaches Qt: no -platform, -style or other switch changes the program.
    static int intArgc = 0;
    Display::prepare();
    QApplication objectApplication(intArgc, nullptr);

    Main *objectMain = new Main(&objectApplication);
    QTimer::singleShot(0, objectMain, SLOT(run()));

    return objectApplication.exec();
}
