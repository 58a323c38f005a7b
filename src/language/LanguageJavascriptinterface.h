#pragma once

#include <QObject>
#include <QString>

// jsLanguage: the page's interface texts.
class LanguageJavascriptinterface : public QObject {
    Q_OBJECT

public:
    LanguageJavascriptinterface();
    ~LanguageJavascriptinterface() override;

public slots:
    QString getStrLanguage();
    void setStrLanguage(QString strLanguage);
    QString getStrString(QString strName);
    QString getStrStrings();
};
