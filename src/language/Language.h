#pragma once

#include <QMap>
#include <QString>

// The page's interface texts in the language the preference names, read from the XML catalogues in res/.
class Language {
public:
    static Language *objectSingleton;

public:
    // The name whose file was last loaded, or tried.
    QString strLanguage = "";
    // Name to text, in ascending order of the names.
    QMap<QString, QString> qmapString;

public:
    static void init();
    static Language *obtain();
    static void dispel();

public:
    Language() = default;
    ~Language() = default;

    Language(const Language &) = delete;
    Language &operator=(const Language &) = delete;

    QString getStrLanguage();
    void setStrLanguage(QString strLanguage);
    QString getStrString(QString strName);
    QString getStrStrings();
};
