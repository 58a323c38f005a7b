#include "display/DisplayNetworkmanager.h"

#include <QCoreApplication>
#include <QNetworkRequest>
#include <QUrl>

DisplayNetworkmanager::DisplayNetworkmanager(QObject *objectParent) : QNetworkAccessManager(objectParent) {}

QUrl DisplayNetworkmanager::rewriteUrl(const QUrl &objectUrl, const QString &strDirectory) {
    // The folder as a fully encoded file URL: no doubled slash after "file://", and a "?", "#" or "%" in the
    // folder's own name can neither cut the URL below nor be misread.
    const QString strAssets = QUrl::fromLocalFile(strDirectory + "/assets/").toString(QUrl::FullyEncoded);

    QString strUrl = objectUrl.toString();
    strUrl.replace("file:///android_asset/", strAssets);

    // Drops the query and everything after it, a fragment included, whatever the scheme.
    const int intQuery = strUrl.indexOf('?');
    if (intQuery != -1) {
        strUrl.truncate(intQuery);
    }

    return QUrl(strUrl, QUrl::TolerantMode);
}

QNetworkReply *DisplayNetworkmanager::createRequest(QNetworkAccessManager::Operation enumOperation,
                                                    const QNetworkRequest &objectRequest, QIODevice *objectOutgoing) {
    QNetworkRequest objectCopy(objectRequest);
    objectCopy.setUrl(rewriteUrl(objectRequest.url(), QCoreApplication::applicationDirPath()));

    return QNetworkAccessManager::createRequest(enumOperation, objectCopy, objectOutgoing);
}
