#pragma once

#include <QObject>
#include <QString>

// jsPreferenceAccountSelected: the page's access to the selected account, and the way the page hears of
// its changes.
class PreferenceAccountSelectedJavascriptinterface : public QObject {
    Q_OBJECT

public:
    // Registered with PreferenceAccountSelectedObserver; asks the page to refresh. Not callable from the page.
    static void observerPreferenceAccountSelected();

public:
    PreferenceAccountSelectedJavascriptinterface();
    ~PreferenceAccountSelectedJavascriptinterface() override;

public slots:
    void observerEnable();
    void observerDisable();

    QString getAll();

    int getIntIdent();
    void setIntIdent(int intIdent);
    void clearIntIdent();

    QString getStrWebsite();
    void setStrWebsite(QString strWebsite);
    void clearStrWebsite();

    QString getStrMail();
    void setStrMail(QString strMail);
    void clearStrMail();

    QString getStrUser();
    void setStrUser(QString strUser);
    void clearStrUser();

    QString getStrNote();
    void setStrNote(QString strNote);
    void clearStrNote();

    int getIntLength();
    void setIntLength(int intLength);
    void clearIntLength();

    QString getStrSpecial();
    void setStrSpecial(QString strSpecial);
    void clearStrSpecial();

    void clear();
};
