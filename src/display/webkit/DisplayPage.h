#pragma once

#include <QString>
#include <QWebPage>

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
    explicit DisplayPage(QObject *objectParent = nullptr);
    ~DisplayPage() override = default;

    // Whether objectUrl names assets/index.html of the application living in strDirectory, as the page's
    // own requests address it; its query and fragment do not matter.
    static bool isShippedPage(const QUrl &objectUrl, const QString &strDirectory);

    bool event(QEvent *objectEvent) override;

protected:
    bool acceptNavigationRequest(QWebFrame *objectFrame, const QNetworkRequest &objectRequest,
                                 QWebPage::NavigationType enumType) override;
};
