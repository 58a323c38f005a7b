#pragma once

#include <QString>

// The name of the interface language the user chose, kept in res/PreferenceLanguage.ini and nowhere in memory.
class PreferenceLanguage {
public:
    static PreferenceLanguage *objectSingleton;

public:
    static void init();
    static PreferenceLanguage *obtain();
    static void dispel();

public:
    PreferenceLanguage() = default;
    ~PreferenceLanguage() = default;

    PreferenceLanguage(const PreferenceLanguage &) = delete;
    PreferenceLanguage &operator=(const PreferenceLanguage &) = delete;

    QString getStrName();
    void setStrName(QString strName);
    void clearStrName();

    void clear();
};
