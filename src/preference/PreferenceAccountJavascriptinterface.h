#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The page's handle on the account list, published as jsPreferenceAccount. It keeps nothing itself: every
// call goes to the one PreferenceAccount.
class PreferenceAccountJavascriptinterface : public QObject {
    Q_OBJECT

public:
    // Tells the page, once the script running now has finished, that the account list has changed.
    static void observerPreferenceAccount();

public:
    PreferenceAccountJavascriptinterface();
    ~PreferenceAccountJavascriptinterface() override;

public slots:
    void observerEnable();
    void observerDisable();

    QString getAll();

    int getIntIdent();
    void setIntIdent(int intIdent);
    QString getStrWebsite();
    void setStrWebsite(QString strWebsite);
    QString getStrMail();
    void setStrMail(QString strMail);
    QString getStrUser();
    void setStrUser(QString strUser);
    QString getStrNote();
    void setStrNote(QString strNote);
    int getIntLength();
    void setIntLength(int intLength);
    QString getStrSpecial();
    void setStrSpecial(QString strSpecial);

    void acquire();
    void release();
    void transactionOpen();
    void transactionClose();
    void selectOpen(QString strSql, QStringList qstringlistParameter);
    void selectNext();
    void selectClose();
    void create();
    void save();
    void remove();
    void clear();
    int count();
};
