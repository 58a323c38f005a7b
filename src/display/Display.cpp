#include "display/Display.h"

#include "display/DisplayAddress.h"
#include "display/DisplayEngine.h"
#include "general/GeneralJavascriptinterface.h"
#include "language/LanguageJavascriptinterface.h"
#include "main/MainPlatform.h"
#include "password/PasswordJavascriptinterface.h"
#include "preference/PreferenceAccountJavascriptinterface.h"
#include "preference/PreferenceAccountSelectedJavascriptinterface.h"
#include "preference/PreferenceLanguageJavascriptinterface.h"
#include "preference/PreferenceNotice.h"

#include <QClipboard>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>

Display *Display::objectSingleton = nullptr;

void Display::prepare() {
    DisplayEngine::prepare();
}

void Display::install() {
    DisplayEngine::install();
}

void Display::init() {
    if (objectSingleton == nullptr) {
        objectSingleton = new Display();
    }
}

Display *Display::obtain() {
    Display::init();

    return objectSingleton;
}

void Display::dispel() {
    if (objectSingleton != nullptr) {
        delete objectSingleton;
        objectSingleton = nullptr;
    }
}

void Display::notify(const QString &strGlobal) {
    // Deferred, so that the page refreshes after the script that made the change, and skipped by a page that
    // has no such object of its own.
    Display::obtain()->evaluate(QString() + "window.setTimeout(function() {" + "if (window." + strGlobal +
                                " !== undefined) {" + strGlobal + ".update();" + "}" + "}, 0);");
}

void Display::evaluate(const QString &strScript) {
    objectEngine->evaluate(strScript);
}

QVariant Display::evaluateNow(const QString &strScript, int intWait, bool *boolRan) {
    return objectEngine->evaluateNow(strScript, intWait, boolRan);
}

bool Display::conclude(int intWait) {
    // The page writes nothing to the console of its own: whatever comes meanwhile is an error on the way.
    int intErrors = 0;
    const QMetaObject::Connection objectConsole =
        connect(objectEngine, &DisplayEngine::console, this, [&intErrors](const QString &) { intErrors += 1; });
    bool boolRan = false;
    evaluateNow("if (window.Copying !== undefined) {Copying.updateQuit();}", intWait, &boolRan);
    disconnect(objectConsole);
    if (boolRan && intErrors == 0) {
        return true;
    }
    MainPlatform::clearSecret();
    return false;
}

void Display::guardSelection() {
    const QString strScript = "window.Secrets !== undefined && Secrets.selected() === true";
    QClipboard *objectClipboard = QGuiApplication::clipboard();
    if (objectEngine->boolSynchronous) {
        // Asked inside the engine's own call, before any other program can ask for the selection.
        if (evaluateNow(strScript).toBool()) {
            objectClipboard->clear(QClipboard::Selection);
        }
        return;
    }
    // The page answers later: the selection is taken back at once and given again only when the page says it
    // came from no secret field and no newer one has taken its place.
    if (boolSelectionRestoring) {
        return;
    }
    const QMimeData *objectTaken = objectClipboard->mimeData(QClipboard::Selection);
    if (objectTaken == nullptr) {
        return;
    }
    std::shared_ptr<QMimeData> objectCopy = std::make_shared<QMimeData>();
    for (const QString &strFormat : objectTaken->formats()) {
        objectCopy->setData(strFormat, objectTaken->data(strFormat));
    }
    objectClipboard->clear(QClipboard::Selection);
    const int intSelection = ++intSelectionTaken;
    QPointer<Display> objectDisplay = this;
    objectEngine->evaluate(strScript, [objectDisplay, objectCopy, intSelection](const QVariant &objectSecret) {
        QClipboard *objectClipboard = QGuiApplication::clipboard();
        if (objectDisplay.isNull() || !objectSecret.isValid() || objectSecret.toBool() ||
            intSelection != objectDisplay->intSelectionTaken || objectClipboard->ownsSelection()) {
            return;
        }
        QMimeData *objectGiven = new QMimeData();
        for (const QString &strFormat : objectCopy->formats()) {
            objectGiven->setData(strFormat, objectCopy->data(strFormat));
        }
        objectDisplay->boolSelectionRestoring = true;
        objectClipboard->setMimeData(objectGiven, QClipboard::Selection);
        objectDisplay->boolSelectionRestoring = false;
    });
}

Display::Display() : QMainWindow(nullptr) {
    objectWidget = new QWidget(this);
    setCentralWidget(objectWidget);

    objectEngine = DisplayEngine::create(objectWidget);
    objectView = objectEngine->view();

    // Connected before the first load starts, so that the first document already gets the bridge objects.
    connect(objectEngine, SIGNAL(cleared()), this, SLOT(updateJavascriptinterface()));

    objectEngine->open(QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + "/assets/index.html"));

    // An engine that answers no call while a document unloads has the page conclude before.
    connect(objectEngine, &DisplayEngine::leaving, this, [this]() { conclude(); });

    // The page closes its own window once closing loses nothing (closeEvent): that close is let go.
    connect(objectEngine, &DisplayEngine::closeRequested, this, [this]() {
        boolClosing = true;
        close();
        boolClosing = false;
    });

    objectLayout = new QVBoxLayout(objectWidget);
    objectLayout->setContentsMargins(0, 0, 0, 0);
    objectLayout->addWidget(objectView);

    setWindowTitle(QCoreApplication::applicationName());

    resize(665, 690);

    show();
}

void Display::updateJavascriptinterface() {
    // A fresh set at every load. Nothing here keeps them, and nobody deletes them, so the objects of earlier
    // loads stay alive together with the observer registrations their constructors made.
    // Whatever brought another document into the frame, it gets none of them.
    if (!DisplayAddress::isShippedPage(objectEngine->url(), QCoreApplication::applicationDirPath())) {
        return;
    }
    objectEngine->publish("jsGeneral", new GeneralJavascriptinterface());
    objectEngine->publish("jsLanguage", new LanguageJavascriptinterface());
    objectEngine->publish("jsPassword", new PasswordJavascriptinterface());
    objectEngine->publish("jsPreferenceAccount", new PreferenceAccountJavascriptinterface());
    objectEngine->publish("jsPreferenceAccountSelected", new PreferenceAccountSelectedJavascriptinterface());
    objectEngine->publish("jsPreferenceLanguage", new PreferenceLanguageJavascriptinterface());
    // Run while the page's own scripts wait, so that they find it at their start.
    objectEngine->evaluate(PreferenceNotice::script());
}

void Display::keyPressEvent(QKeyEvent *objectEvent) {
    // Only keys the page left unhandled arrive here.
    if (objectEvent->key() == Qt::Key_Escape) {
        evaluate(QString() + "window.setTimeout(function() {" + "Navigation.updateBackward();" + "}, 0);");
    }
}

void Display::closeEvent(QCloseEvent *objectEvent) {
    // The page may hold input not yet saved. It is asked as Escape asks it, on its next turn, so that the answer
    // can come later (an engine that runs the page elsewhere answers later in any case): it closes its own
    // window once it may, and Keep editing keeps it open. A page that cannot be asked lets the window close.
    const bool boolAsked = !boolClosing && evaluateNow(QString() + "(function() {" +
                                                       "if (window.Navigation !== undefined && typeof "
                                                       "Navigation.updateClose === 'function') {" +
                                                       "window.setTimeout(function() {Navigation.updateClose();}, 0);" +
                                                       "return true;" + "}" + "return false;" + "}())")
                                               .toBool();
    if (boolAsked) {
        objectEvent->ignore();
    } else {
        QMainWindow::closeEvent(objectEvent);
    }
}
