#include "display/webkit/DisplayWebkit.h"

#include "display/webkit/DisplayAccessible.h"
#include "display/webkit/DisplayNetworkmanager.h"
#include "display/webkit/DisplayPage.h"

#include <QCoreApplication>
#include <QWebFrame>
#include <QWebHistory>
#include <QWebPage>
#include <QWebSettings>
#include <QWebView>

void DisplayEngine::prepare() {}

void DisplayEngine::install() {
    DisplayAccessible::install();
}

DisplayEngine *DisplayEngine::create(QWidget *objectParent) {
    return new DisplayWebkit(objectParent);
}

DisplayWebkit::DisplayWebkit(QWidget *objectParent) : DisplayEngine() {
    setParent(objectParent);
    objectWebview = new QWebView(objectParent);
    // The page keeps a preference of its own (the list's sort order) in the engine's local storage, in res/ with
    // the other data, where the process's mask keeps it owner-only.
    QWebSettings::globalSettings()->setAttribute(QWebSettings::LocalStorageEnabled, true);
    QWebSettings::globalSettings()->setLocalStoragePath(QCoreApplication::applicationDirPath() + "/res");
}

QWidget *DisplayWebkit::view() const {
    return objectWebview;
}

void DisplayWebkit::open(const QUrl &objectUrl) {
    // The page before it says nothing more: a load it gives up is not this page's.
    QWebPage *objectBefore = objectWebview->page();
    objectBefore->disconnect(this);
    objectBefore->mainFrame()->disconnect(this);

    // A page that shows no document but the shipped one. The view deletes the page before it.
    DisplayPage *objectPage = new DisplayPage(this, objectWebview);

    // Installed before any URL is set, so that the very first request is rewritten too.
    objectPage->setNetworkAccessManager(new DisplayNetworkmanager(objectPage));

    connect(objectPage->mainFrame(), SIGNAL(javaScriptWindowObjectCleared()), this, SIGNAL(cleared()));
    connect(objectPage, SIGNAL(loadFinished(bool)), this, SIGNAL(loaded(bool)));
    // The shipped page is the only document the window shows, so it keeps no history; with none behind it, the
    // page may close its own window.
    objectPage->history()->setMaximumItemCount(0);
    connect(objectPage, SIGNAL(windowCloseRequested()), this, SIGNAL(closeRequested()));
    objectWebview->setPage(objectPage);
    objectWebview->setUrl(objectUrl);
}

void DisplayWebkit::load(const QUrl &objectUrl) {
    objectWebview->page()->mainFrame()->load(objectUrl);
}

QUrl DisplayWebkit::url() const {
    return objectWebview->page()->mainFrame()->url();
}

void DisplayWebkit::publish(const QString &strName, QObject *objectBridge) {
    // The framework keeps ownership: the script engine never deletes the object.
    objectWebview->page()->mainFrame()->addToJavaScriptWindowObject(strName, objectBridge, QWebFrame::QtOwnership);
}

QObject *DisplayWebkit::published(const QString &strName) const {
    return objectWebview->page()->mainFrame()->evaluateJavaScript(strName).value<QObject *>();
}

void DisplayWebkit::evaluate(const QString &strScript) {
    objectWebview->page()->mainFrame()->evaluateJavaScript(strScript);
}

void DisplayWebkit::evaluate(const QString &strScript, std::function<void(const QVariant &)> functionResult) {
    functionResult(objectWebview->page()->mainFrame()->evaluateJavaScript(strScript));
}

QVariant DisplayWebkit::evaluateNow(const QString &strScript, int, bool *boolRan) {
    if (boolRan != nullptr) {
        *boolRan = true;
    }
    return objectWebview->page()->mainFrame()->evaluateJavaScript(strScript);
}
