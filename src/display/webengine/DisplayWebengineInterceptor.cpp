#include "display/webengine/DisplayWebengineInterceptor.h"

#include "display/DisplayAddress.h"

#include <QCoreApplication>

DisplayWebengineInterceptor::DisplayWebengineInterceptor(QObject *objectParent)
    : QWebEngineUrlRequestInterceptor(objectParent) {}

void DisplayWebengineInterceptor::interceptRequest(QWebEngineUrlRequestInfo &objectInfo) {
    const QUrl objectRewritten =
        DisplayAddress::rewriteUrl(objectInfo.requestUrl(), QCoreApplication::applicationDirPath());
    // The rewritten request comes here again, and passes unchanged.
    if (objectRewritten != objectInfo.requestUrl()) {
        objectInfo.redirect(objectRewritten);
    }
}
