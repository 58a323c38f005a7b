#include "PageDriver.h"

#include "display/Display.h"
#include "display/DisplayEngine.h"

#include <QAction>
#include <QMap>
#include <QSignalSpy>
#include <QWebEnginePage>
#include <QWebEngineView>

void PageDriver::refreshAccessible() const {
    // Chromium keeps the page's accessibility tree current by itself; there is nothing to read at once.
}

bool PageDriver::reloadFromMenu() {
    QSignalSpy objectLoaded(objectDisplay->objectEngine, &DisplayEngine::loaded);
    qobject_cast<QWebEngineView *>(objectDisplay->objectView)->page()->action(QWebEnginePage::Reload)->trigger();
    return objectLoaded.wait(10000) && objectLoaded.last().first().toBool();
}

QString PageDriver::accessibleGap(const QString &strPromise) {
    // Measured on Qt 6.4: its WebEngine hands Chromium's tree to Qt's accessibility layer, but not every event.
    static const QMap<QString, QString> qmapGap = {
        {"told gone", "Qt 6.4 WebEngine tells assistive technology of no object that is gone"}};
    return qmapGap.value(strPromise);
}
