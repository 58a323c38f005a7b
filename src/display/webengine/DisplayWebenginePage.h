#pragma once

#include <QWebEnginePage>

class DisplayWebengine;

// The window's page on Qt WebEngine. Its main frame only ever shows the shipped assets/index.html, frames
// inside it only the page's own files, it opens no window, and it answers the prompts of the injected
// bridge script of the shipped page and of nothing else.
class DisplayWebenginePage : public QWebEnginePage {
    Q_OBJECT

public:
    DisplayWebengine *objectEngine;
    // The address the shipped-page rule was last applied to, and its verdict: every call asks it, and the
    // address changes only with the document.
    QUrl objectCheckedUrl;
    bool boolShipped = false;

public:
    DisplayWebenginePage(DisplayWebengine *objectEngine, QWebEngineProfile *objectProfile, QObject *objectParent);
    ~DisplayWebenginePage() override = default;

    // Reloading or going back replaces the document: it concludes first.
    void triggerAction(QWebEnginePage::WebAction enumAction, bool boolChecked = false) override;

protected:
    bool acceptNavigationRequest(const QUrl &objectUrl, QWebEnginePage::NavigationType enumType,
                                 bool boolMainFrame) override;
    QWebEnginePage *createWindow(QWebEnginePage::WebWindowType enumType) override;
    bool javaScriptPrompt(const QUrl &objectOrigin, const QString &strMessage, const QString &strDefault,
                          QString *strResult) override;
    void javaScriptConsoleMessage(QWebEnginePage::JavaScriptConsoleMessageLevel enumLevel, const QString &strMessage,
                                  int intLine, const QString &strSource) override;
};
