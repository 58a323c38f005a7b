#pragma once

#include <QKeyEvent>
#include <QMainWindow>
#include <QVBoxLayout>
#include <QWebView>
#include <QWidget>

// The one window: a web view showing assets/index.html, into which the bridge objects are published.
class Display : public QMainWindow {
    Q_OBJECT

public:
    static Display *objectSingleton;

public:
    QWidget *objectWidget;
    QWebView *objectWebview;
    QVBoxLayout *objectLayout;

public:
    static void init();
    static Display *obtain();
    static void dispel();

public:
    Display();
    ~Display() override;

public slots:
    void updateJavascriptinterface();

protected:
    void keyPressEvent(QKeyEvent *objectEvent) override;
};
