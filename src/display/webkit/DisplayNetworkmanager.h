#pragma once

#include <QNetworkAccessManager>

class QIODevice;
class QNetworkReply;
class QNetworkRequest;

// The page's network access: its own files are addressed as file:///android_asset/..., which lands in the
// assets folder beside the executable, and no request keeps its query.
class DisplayNetworkmanager : public QNetworkAccessManager {
    Q_OBJECT

public:
    explicit DisplayNetworkmanager(QObject *objectParent);
    ~DisplayNetworkmanager() override = default;

protected:
    QNetworkReply *createRequest(QNetworkAccessManager::Operation enumOperation, const QNetworkRequest &objectRequest,
                                 QIODevice *objectOutgoing) override;
};
