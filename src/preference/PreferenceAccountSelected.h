#pragma once

#include <QString>

// The account the page has selected, kept in res/PreferenceAccountSelected.ini and nowhere in memory.
class PreferenceAccountSelected {
public:
    static PreferenceAccountSelected *objectSingleton;

public:
    static void init();
    static PreferenceAccountSelected *obtain();
    static void dispel();

public:
    PreferenceAccountSelected() = default;
    ~PreferenceAccountSelected() = default;

    PreferenceAccountSelected(const PreferenceAccountSelected &) = delete;
    PreferenceAccountSelected &operator=(const PreferenceAccountSelected &) = delete;

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
