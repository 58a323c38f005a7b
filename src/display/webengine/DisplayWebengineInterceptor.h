#pragma once

#include <QWebEngineUrlRequestInterceptor>

// The page's requests, rewritten as DisplayAddress says: file:///android_asset/... lands in the assets
// folder, and no request keeps its query.
class DisplayWebengineInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT

public:
    explicit DisplayWebengineInterceptor(QObject *objectParent);
    ~DisplayWebengineInterceptor() override = default;

    void interceptRequest(QWebEngineUrlRequestInfo &objectInfo) override;
};
