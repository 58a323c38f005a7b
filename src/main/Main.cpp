#include "main/Main.h"

#include "display/Display.h"
#include "main/MainPlatform.h"
#include "main/MainSignal.h"
#include "main/MainUpdate.h"

#include <QApplication>
#include <QClipboard>
#include <QEventLoop>
#include <QIcon>
#include <QStyleFactory>

Main::Main(QApplication *objectApplication) : QObject(nullptr), objectApplication(objectApplication) {
    MainPlatform::setIdentity();

    QApplication::setStyle(QStyleFactory::create("Fusion"));

    QApplication::setWindowIcon(MainPlatform::loadIcon(16));

    // The web engine's own start-up check, before anything can read or write res/.
    Display::install();

    // Before anything can read or write res/.
    MainPlatform::protectData();

    // The web engine hands every selection to the X11 primary selection, which a middle click in any program
    // pastes; one taken from a secret field, shown or hidden, is given up before any other program can read it.
    QClipboard *objectClipboard = QGuiApplication::clipboard();
    connect(objectClipboard, &QClipboard::selectionChanged, this, [objectClipboard]() {
        if (objectClipboard->ownsSelection() && Display::objectSingleton != nullptr) {
            Display::objectSingleton->guardSelection();
        }
    });

    MainSignal::init();
    connect(MainSignal::objectSingleton, &MainSignal::received, this, &Main::end);
}

void Main::run() {
    // Before the window exists, and with it before anything can use the account list.
    MainUpdate::run();

    Display::init();

    // Every interaction of the whole run is served inside this loop. It ends before the application is asked to
    // quit, so that the page's last word is served like any other call: once the application quits, no event
    // loop runs again, and an engine whose page runs in another process would hear nothing more from it.
    QApplication::setQuitOnLastWindowClosed(false);
    QEventLoop objectRun;
    objectLoop = &objectRun;
    connect(objectApplication, &QGuiApplication::lastWindowClosed, this, &Main::end);
    // Asked to quit by someone else (a session ending, say), it ends all the same; where no loop can serve the
    // page any more, the program takes off what it marked itself (Display::conclude).
    connect(objectApplication, &QCoreApplication::aboutToQuit, &objectRun, &QEventLoop::quit);
    objectRun.exec();
    objectLoop = nullptr;

    // The page has the last word, while the clipboard is still ours: a password it copied must not outlive the
    // program, nor be handed to a clipboard manager when the application object goes. Then the window goes, its
    // page before the engine's storage.
    if (Display::objectSingleton != nullptr) {
        Display::objectSingleton->conclude();
    }
    Display::dispel();
    QCoreApplication::quit();
}

void Main::end() {
    if (objectLoop != nullptr) {
        objectLoop->quit();
        return;
    }
    // Still starting, or a test's own window: nothing to wait for.
    QCoreApplication::quit();
}
