#pragma once

#include <QObject>
#include <QString>

// The page's way to derive a password: every call goes to the Password singleton unchanged.
class PasswordJavascriptinterface : public QObject {
    Q_OBJECT

public:
    PasswordJavascriptinterface() = default;
    ~PasswordJavascriptinterface() override = default;

public slots:
    QString update(QString strMasterpassword, QString strWebsite, QString strMail, int intLength, QString strSpecial);
};
