#include "display/Display.h"

#include "display/DisplayNetworkmanager.h"
#include "display/DisplayPage.h"
#include "general/GeneralJavascriptinterface.h"
#include "language/LanguageJavascriptinterface.h"
#include "password/PasswordJavascriptinterface.h"
#include "preference/PreferenceAccountJavascriptinterface.h"
#include "preference/PreferenceAccountSelectedJavascriptinterface.h"
#include "preference/PreferenceLanguageJavascriptinterface.h"
#include "preference/PreferenceNotice.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QUrl>
#include <QVBoxLayout>
#include <QWebFrame>
#include <QWebHistory>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>

Display *Display::objectSingleton = nullptr;

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
    Display::obtain()->objectWebview->page()->mainFrame()->evaluateJavaScript(
        QString() + "window.setTimeout(function() {" + "if (window." + strGlobal + " !== undefined) {" + strGlobal +
        ".update();" + "}" + "}, 0);");
}

bool Display::isPageDocument(const QUrl &objectUrl, const QString &strDirectory) {
    if (objectUrl.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment) == QUrl("about:blank")) {
        return true;
    }
    // The path as text, its "." and ".." resolved: another spelling of a file inside is refused, which is safe.
    const QString strAssets = QDir::cleanPath(strDirectory + "/assets") + "/";
    return objectUrl.isLocalFile() && objectUrl.host().isEmpty() &&
           QDir::cleanPath(objectUrl.toLocalFile()).startsWith(strAssets);
}

Display::Display() : QMainWindow(nullptr) {
    objectWidget = new QWidget(this);
    setCentralWidget(objectWidget);

    objectWebview = new QWebView(objectWidget);

    // A page that shows no document but the shipped one.
    objectWebview->setPage(new DisplayPage(objectWebview));

    // Installed before any URL is set, so that the very first request is rewritten too.
    objectWebview->page()->setNetworkAccessManager(new DisplayNetworkmanager(this));

    // The page keeps a preference of its own (the list's sort order) in the engine's local storage, in res/ with
    // the other data, where the process's mask keeps it owner-only.
    QWebSettings::globalSettings()->setAttribute(QWebSettings::LocalStorageEnabled, true);
    QWebSettings::globalSettings()->setLocalStoragePath(QCoreApplication::applicationDirPath() + "/res");

    objectWebview->setUrl(QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + "/assets/index.html"));

    // Loading goes on after the constructor returns, so the first clearing already finds this connection.
    connect(objectWebview->page()->mainFrame(), SIGNAL(javaScriptWindowObjectCleared()), this,
            SLOT(updateJavascriptinterface()));

    objectLayout = new QVBoxLayout(objectWidget);
    objectLayout->setContentsMargins(0, 0, 0, 0);
    objectLayout->addWidget(objectWebview);

    setWindowTitle(QCoreApplication::applicationName());

    resize(665, 690);

    show();
}

void Display::updateJavascriptinterface() {
    // A fresh set at every load. The framework keeps ownership, so the objects of earlier loads stay alive
    // together with the observer registrations their constructors made.
    QWebFrame *objectFrame = objectWebview->page()->mainFrame();
    // Whatever brought another document into the frame, it gets none of them.
    if (!DisplayPage::isShippedPage(objectFrame->url(), QCoreApplication::applicationDirPath())) {
        return;
    }
    // The shipped page is the only document the window shows, so it keeps no history; with none behind it, the
    // page may close its own window, which it does once closing loses nothing (closeEvent).
    QWebPage *objectPage = objectWebview->page();
    objectPage->history()->setMaximumItemCount(0);
    disconnect(objectPage, &QWebPage::windowCloseRequested, this, nullptr);
    connect(objectPage, &QWebPage::windowCloseRequested, this, [this]() {
        boolClosing = true;
        close();
        boolClosing = false;
    });
    objectFrame->addToJavaScriptWindowObject("jsGeneral", new GeneralJavascriptinterface(), QWebFrame::QtOwnership);
    objectFrame->addToJavaScriptWindowObject("jsLanguage", new LanguageJavascriptinterface(), QWebFrame::QtOwnership);
    objectFrame->addToJavaScriptWindowObject("jsPassword", new PasswordJavascriptinterface(), QWebFrame::QtOwnership);
    objectFrame->addToJavaScriptWindowObject("jsPreferenceAccount", new PreferenceAccountJavascriptinterface(),
                                             QWebFrame::QtOwnership);
    objectFrame->addToJavaScriptWindowObject(
        "jsPreferenceAccountSelected", new PreferenceAccountSelectedJavascriptinterface(), QWebFrame::QtOwnership);
    objectFrame->addToJavaScriptWindowObject("jsPreferenceLanguage", new PreferenceLanguageJavascriptinterface(),
                                             QWebFrame::QtOwnership);
    objectFrame->evaluateJavaScript(PreferenceNotice::script());
}

void Display::keyPressEvent(QKeyEvent *objectEvent) {
    // Only keys the page left unhandled arrive here.
    if (objectEvent->key() == Qt::Key_Escape) {
        objectWebview->page()->mainFrame()->evaluateJavaScript(QString() + "window.setTimeout(function() {" +
                                                               "Navigation.updateBackward();" + "}, 0);");
    }
}

void Display::closeEvent(QCloseEvent *objectEvent) {
    // The page may hold input not yet saved. It is asked as Escape asks it, on its next turn, so that the answer
    // can come later (an engine that runs the page elsewhere answers later in any case): it closes its own
    // window once it may, and Keep editing keeps it open. A page that cannot be asked lets the window close.
    const bool boolAsked =
        !boolClosing && objectWebview->page()
                            ->mainFrame()
                            ->evaluateJavaScript(QString() + "(function() {" +
                                                 "if (window.Navigation !== undefined && typeof Navigation.updateClose "
                                                 "=== 'function') {" +
                                                 "window.setTimeout(function() {Navigation.updateClose();}, 0);" +
                                                 "return true;" + "}" + "return false;" + "}())")
                            .toBool();
    if (boolAsked) {
        objectEvent->ignore();
    } else {
        QMainWindow::closeEvent(objectEvent);
    }
}
