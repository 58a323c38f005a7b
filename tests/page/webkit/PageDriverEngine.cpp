#include "PageDriver.h"

#include "display/Display.h"
#include "display/webkit/DisplayAccessibleDocument.h"

#include <QWebView>

void PageDriver::refreshAccessible() const {
    // The mirror reads the page soon after input and every quarter second; a test reads it at once.
    DisplayAccessibleDocument::obtain(qobject_cast<QWebView *>(objectDisplay->objectView))->update();
}

QString PageDriver::accessibleGap(const QString &) {
    return QString();
}
