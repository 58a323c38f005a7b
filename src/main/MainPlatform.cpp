#include "main/MainPlatform.h"

#include <QByteArray>
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

void MainPlatform::markSecret(QMimeData *objectData) {
    // One more target beside the text. Klipper and CopyQ keep nothing of a clipboard content that carries it.
    // Windows has no such target; there the same promise takes registered clipboard formats, which Qt offers
    // under names of the form application/x-qt-windows-mime;value="<format>":
    //   "ExcludeClipboardContentFromMonitorProcessing" (any content) - monitors, history and cloud sync skip it;
    //   "CanIncludeInClipboardHistory" and "CanUploadToCloudClipboard" (each a DWORD 0) - for readers that
    //   look only at those.
    objectData->setData("x-kde-passwordManagerHint", QByteArray("secret"));
}
