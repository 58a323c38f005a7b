#pragma once

#include <QObject>
#include <QString>

// The page's way to the desktop: application identity, clipboard, link opener and a plain HTTP fetch.
class GeneralJavascriptinterface : public QObject {
    Q_OBJECT

public:
    GeneralJavascriptinterface() = default;
    ~GeneralJavascriptinterface() override = default;

public slots:
    QString getName();
    QString getVersion();
    QString getHttp(QString strLink);
    void openHttp(QString strLink);
    QString getClipboard();
    void setClipboard(QString strClipboard);
};
