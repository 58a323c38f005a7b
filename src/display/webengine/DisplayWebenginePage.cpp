#include "display/webengine/DisplayWebenginePage.h"

#include "display/DisplayAddress.h"
#include "display/webengine/DisplayWebengine.h"

#include <QCoreApplication>

DisplayWebenginePage::DisplayWebenginePage(DisplayWebengine *objectEngine, QWebEngineProfile *objectProfile,
                                           QObject *objectParent)
    : QWebEnginePage(objectProfile, objectParent), objectEngine(objectEngine) {}

bool DisplayWebenginePage::acceptNavigationRequest(const QUrl &objectUrl, QWebEnginePage::NavigationType enumType,
                                                   bool boolMainFrame) {
    if (!objectEngine->boolGuarded) {
        return QWebEnginePage::acceptNavigationRequest(objectUrl, enumType, boolMainFrame);
    }
    const QString strDirectory = QCoreApplication::applicationDirPath();
    if (!boolMainFrame) {
        return DisplayAddress::isShippedDocument(objectUrl, strDirectory);
    }
    if (!DisplayAddress::isShippedPage(objectUrl, strDirectory)) {
        return false;
    }
    // The page's own reload: the document it replaces concludes before it unloads.
    objectEngine->leave();
    return true;
}

void DisplayWebenginePage::triggerAction(QWebEnginePage::WebAction enumAction, bool boolChecked) {
    if (enumAction == QWebEnginePage::Reload || enumAction == QWebEnginePage::ReloadAndBypassCache ||
        enumAction == QWebEnginePage::Back || enumAction == QWebEnginePage::Forward) {
        objectEngine->leave();
    }
    QWebEnginePage::triggerAction(enumAction, boolChecked);
}

QWebEnginePage *DisplayWebenginePage::createWindow(QWebEnginePage::WebWindowType) {
    // No window is ever made for a page's request.
    return nullptr;
}

bool DisplayWebenginePage::javaScriptPrompt(const QUrl &objectOrigin, const QString &strMessage,
                                            const QString &strDefault, QString *strResult) {
    // Only the injected script of the shipped page calls with the key, and only from a file of this machine;
    // every other prompt is cancelled without a dialog, as the shipped page asks nothing that way.
    if (strMessage != objectEngine->strKey || !(objectOrigin.isEmpty() || objectOrigin.scheme() == "file")) {
        return false;
    }
    const QUrl objectUrl = url();
    if (objectUrl != objectCheckedUrl) {
        boolShipped = DisplayAddress::isShippedPage(objectUrl, QCoreApplication::applicationDirPath());
        objectCheckedUrl = objectUrl;
    }
    if (!boolShipped) {
        return false;
    }
    *strResult = objectEngine->answer(strDefault);
    return true;
}

void DisplayWebenginePage::javaScriptConsoleMessage(QWebEnginePage::JavaScriptConsoleMessageLevel,
                                                    const QString &strMessage, int intLine, const QString &strSource) {
    // Chromium's own word about the bridge's prompts (none is let through while a document unloads); the page
    // itself asks nothing by prompt().
    if (strMessage.contains(objectEngine->strKey) || strMessage.startsWith("Blocked prompt(")) {
        return;
    }
    emit objectEngine->console(QString("%1:%2: %3").arg(strSource).arg(intLine).arg(strMessage));
}
