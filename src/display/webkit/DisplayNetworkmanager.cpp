#include "display/webkit/DisplayNetworkmanager.h"

#include "display/DisplayAddress.h"

#include <QCoreApplication>
#include <QNetworkRequest>
#include <QUrl>

DisplayNetworkmanager::DisplayNetworkmanager(QObject *objectParent) : QNetworkAccessManager(objectParent) {}

QNetworkReply *DisplayNetworkmanager::createRequest(QNetworkAccessManager::Operation enumOperation,
                                                    const QNetworkRequest &objectRequest, QIODevice *objectOutgoing) {
    QNetworkRequest objectCopy(objectRequest);
    objectCopy.setUrl(DisplayAddress::rewriteUrl(objectRequest.url(), QCoreApplication::applicationDirPath()));

    return QNetworkAccessManager::createRequest(enumOperation, objectCopy, objectOutgoing);
}
