#pragma once

#include <QNetworkAccessManager>
#include <QString>

class QIODevice;
class QNetworkReply;
class QNetworkRequest;
class QUrl;

// The page's network access: its own files are addressed as file:///android_asset/..., which lands in the
// assets folder beside the executable, and no request keeps its query.
class DisplayNetworkmanager : public QNetworkAccessManager {
    Q_OBJECT

public:
    explicit DisplayNetworkmanager(QObject *objectParent);
    ~DisplayNetworkmanager() override = default;

    // The URL a request for objectUrl is made for, with the application living in strDirectory.
    static QUrl rewriteUrl(const QUrl &objectUrl, const QString &strDirectory);

protected:
    QNetworkReply *createRequest(QNetworkAccessManager::Operation enumOperation, const QNetworkRequest &objectRequest,
                                 QIODevice *objectOutgoing) override;
};
