#include "PageDriver.h"

#include "display/Display.h"
#include "display/DisplayEngine.h"
#include "display/webkit/DisplayAccessibleDocument.h"

#include <QAction>
#include <QSignalSpy>
#include <QWebPage>
#include <QWebView>

void PageDriver::refreshAccessible() const {
    // The mirror reads the page soon after input and every quarter second; a test reads it at once.
    DisplayAccessibleDocument::obtain(qobject_cast<QWebView *>(objectDisplay->objectView))->update();
}

bool PageDriver::reloadFromMenu() {
    QSignalSpy objectLoaded(objectDisplay->objectEngine, &DisplayEngine::loaded);
    qobject_cast<QWebView *>(objectDisplay->objectView)->page()->action(QWebPage::Reload)->trigger();
    return objectLoaded.wait(10000) && objectLoaded.last().first().toBool();
}

QString PageDriver::accessibleGap(const QString &) {
    return QString();
}
