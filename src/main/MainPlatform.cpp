#include "main/MainPlatform.h"

#include <QPixmap>
#include <QString>

QIcon MainPlatform::loadIcon(int intSize) {
    // The images are compiled into the static library; referencing the resource pulls them into the program.
    Q_INIT_RESOURCE(icons);

    QPixmap objectPixmap(QString(":/icons/tessaloquin-%1.png").arg(intSize));
    if (objectPixmap.isNull()) {
        return QIcon();
    }
    return QIcon(objectPixmap);
}
