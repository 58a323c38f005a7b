#include "main/Main.h"

#include "display/Display.h"
#include "main/MainPlatform.h"
#include "main/MainUpdate.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QStyleFactory>

Main::Main(QApplication *objectApplication) : QObject(nullptr), objectApplication(objectApplication) {
    QCoreApplication::setOrganizationName("Harlowin");
    QCoreApplication::setApplicationName("Tessaloquin");
    QCoreApplication::setApplicationVersion("4.5");

    QApplication::setStyle(QStyleFactory::create("Fusion"));

    QApplication::setWindowIcon(MainPlatform::loadIcon(16));

    // Before anything can read or write res/.
    MainPlatform::protectData();
}

Main::~Main() {
    objectApplication = nullptr;
}

void Main::run() {
    // Before the window exists, and with it before anything can use the account list.
    MainUpdate::run();

    Display::init();

    // Every interaction of the whole run is served inside this loop; it ends when the application quits.
    QEventLoop objectLoop;
    connect(objectApplication, SIGNAL(aboutToQuit()), &objectLoop, SLOT(quit()));
    objectLoop.exec();
}
