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

namespace {

// Evaluated in the page, if the window exists, and waited for; the script belongs to the page contract beside
// Display.
QVariant evaluate(const QString &strScript) {
    if (Display::objectSingleton == nullptr) {
        return QVariant();
    }
    return Display::objectSingleton->evaluateNow(strScript);
}

} // namespace

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
}

void Main::run() {
    // Before the window exists, and with it before anything can use the account list.
    MainUpdate::run();

    Display::init();

    // Every interaction of the whole run is served inside this loop; it ends when the application quits.
    QEventLoop objectLoop;
    connect(objectApplication, SIGNAL(aboutToQuit()), &objectLoop, SLOT(quit()));
    objectLoop.exec();

    // The page has the last word, while the clipboard is still ours: a password it copied must not outlive the
    // program, nor be handed to a clipboard manager when the application object goes.
    evaluate("if (window.Copying !== undefined) {Copying.updateQuit();}");
}
