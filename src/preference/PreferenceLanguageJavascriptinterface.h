#pragma once

#include <QObject>
#include <QString>

// jsPreferenceLanguage: the page's access to the chosen language name, and the way the page hears of its
// changes.
class PreferenceLanguageJavascriptinterface : public QObject {
    Q_OBJECT

public:
    // Registered with PreferenceLanguageObserver; asks the page to refresh. Not callable from the page.
    static void observerPreferenceLanguage();

public:
    PreferenceLanguageJavascriptinterface();
    ~PreferenceLanguageJavascriptinterface() override;

public slots:
    void observerEnable();
    void observerDisable();

    QString getAll();

    QString getStrName();
    void setStrName(QString strName);
    void clearStrName();

    void clear();
};
