#pragma once

#include <QString>

// Derives an account's password from the master password, the account's website and mail, the wanted length
// and the chosen special characters. Nothing is stored: the same inputs give the same password everywhere.
class Password {
public:
    static Password *objectSingleton;

public:
    static void init();
    static Password *obtain();
    static void dispel();

public:
    Password() = default;
    ~Password() = default;

    QString update(QString strMasterpassword, QString strWebsite, QString strMail, int intLength, QString strSpecial);
};
