#pragma once

#include <QString>
#include <QWebPage>

class DisplayEngine;
class QEvent;
class QNetworkRequest;
class QUrl;
class QWebFrame;

// The window's web page. Its main frame only ever shows the shipped assets/index.html: the page is published
// the bridge objects, and any other document there (a dropped file or link, a followed link, a form, a
// changed location) would run with them or read local files. Drops reach the engine as plain text only.
class DisplayPage : public QWebPage {
    Q_OBJECT

public:
    // Keeps its guards while objectEngine->boolGuarded, and tells objectEngine the console messages.
    DisplayEngine *objectEngine;

public:
    DisplayPage(DisplayEngine *objectEngine, QObject *objectParent);
    ~DisplayPage() override = default;

    bool event(QEvent *objectEvent) override;

protected:
    bool acceptNavigationRequest(QWebFrame *objectFrame, const QNetworkRequest &objectRequest,
                                 QWebPage::NavigationType enumType) override;
    void javaScriptConsoleMessage(const QString &strMessage, int intLine, const QString &strSource) override;
};
