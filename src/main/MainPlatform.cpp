#include "main/MainPlatform.h"

#include <QByteArray>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QMimeData>
#include <QPixmap>
#include <QString>

#include <sys/stat.h>

namespace {

// The mask the process was started with, once protectData has replaced it.
mode_t intMaskStarted = 0;
bool boolMaskReplaced = false;

// Takes the access of group and others away from an existing file or folder; the owner's own stays.
void protectPath(const QString &strPath) {
    const QByteArray bytePath = QFile::encodeName(strPath);
    struct stat objectStatus;
    if (::stat(bytePath.constData(), &objectStatus) == 0 &&
        (objectStatus.st_mode & 07777) != (objectStatus.st_mode & S_IRWXU)) {
        // Nothing to report when it fails: the file is someone else's, or the data is not on this disk.
        ::chmod(bytePath.constData(), objectStatus.st_mode & S_IRWXU);
    }
}

} // namespace

void MainPlatform::setIdentity() {
    QCoreApplication::setOrganizationName("Harlowin");
    QCoreApplication::setApplicationName("Tessaloquin");
    QCoreApplication::setApplicationVersion("4.5");
}

QIcon MainPlatform::loadIcon(int intSize) {
    // The images are compiled into the static library; referencing the resource pulls them into the program.
    Q_INIT_RESOURCE(icons);

    QPixmap objectPixmap(QString(":/icons/tessaloquin-%1.png").arg(intSize));
    if (objectPixmap.isNull()) {
        return QIcon();
    }
    return QIcon(objectPixmap);
}

void MainPlatform::protectData() {
    // The mask covers everything made later, by whatever makes it: SQLite's database, QSettings's INI files,
    // their temporary and lock files, and res/ itself when QSettings has to make it. SQLite gives its journal
    // the database's own mode.
    const mode_t intMask = ::umask(S_IRWXG | S_IRWXO);
    if (!boolMaskReplaced) {
        intMaskStarted = intMask;
        boolMaskReplaced = true;
    }

    // Files of older versions were made readable by everyone.
    const QString strRes = QCoreApplication::applicationDirPath() + "/res";
    protectPath(strRes);
    for (const char *strName : {"PreferenceAccount.sqlite", "PreferenceAccount.sqlite-journal",
                                "PreferenceAccount.sqlite-wal", "PreferenceAccount.sqlite-shm", "PreferenceAccount.ini",
                                "PreferenceAccountSelected.ini", "PreferenceLanguage.ini"}) {
        protectPath(strRes + "/" + strName);
    }
}

bool MainPlatform::openUrl(const QUrl &objectUrl) {
    if (!boolMaskReplaced) {
        return QDesktopServices::openUrl(objectUrl);
    }
    // The handler is started before openUrl returns; the GUI thread is the only one that makes files in res/.
    const mode_t intMask = ::umask(intMaskStarted);
    const bool boolOpened = QDesktopServices::openUrl(objectUrl);
    ::umask(intMask);
    return boolOpened;
}

void MainPlatform::copySecret(const QString &strText) {
    QMimeData *objectData = new QMimeData();
    objectData->setText(strText);
    markSecret(objectData);
    QGuiApplication::clipboard()->setMimeData(objectData, QClipboard::Clipboard);
}

void MainPlatform::clearSecret() {
    QClipboard *objectClipboard = QGuiApplication::clipboard();
    const QMimeData *objectData = objectClipboard->mimeData(QClipboard::Clipboard);
    if (objectClipboard->ownsClipboard() && objectData != nullptr &&
        objectData->hasFormat("x-kde-passwordManagerHint") && !objectData->text().isEmpty()) {
        // Emptied as the page empties it, so that a clipboard manager asked at the end is handed nothing.
        copySecret(QString());
    }
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
