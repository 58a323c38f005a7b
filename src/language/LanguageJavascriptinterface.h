#pragma once

#include <QObject>
#include <QString>

// jsLanguage: the page's interface texts.
class LanguageJavascriptinterface : public QObject {
    Q_OBJECT

public:
    LanguageJavascriptinterface() = default;
    ~LanguageJavascriptinterface() override = default;

public slots:
    QString getStrLanguage();
    void setStrLanguage(QString strLanguage);
    QString getStrString(QString strName);
    QString getStrStrings();
};
