#include "main/MainPlatform.h"

#include "display/DisplayAccessible.h"

#include <QAccessible>
#include <QPixmap>
#include <QString>
#include <QWebView>

QIcon MainPlatform::loadIcon(int intSize) {
    // The images are compiled into the static library; referencing the resource pulls them into the program.
    Q_INIT_RESOURCE(icons);

    QPixmap objectPixmap(QString(":/icons/tessaloquin-%1.png").arg(intSize));
    if (objectPixmap.isNull()) {
        return QIcon();
    }
    return QIcon(objectPixmap);
}

void MainPlatform::installAccessibility() {
    // QtWebKit installs its own factory with its first web view, and Qt asks the factory installed last first:
    // a view made and dropped here puts ours after the engine's.
    delete new QWebView();
    QAccessible::installFactory(DisplayAccessible::create);
}
