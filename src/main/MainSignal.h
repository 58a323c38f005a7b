#pragma once

#include <QObject>

class QSocketNotifier;

// SIGTERM, SIGINT and SIGHUP (a logout, kill, Ctrl+C in the terminal that started the program) end it the way
// closing its window does: the window closes, the page has its last word and the program ends, so that a
// password it copied does not outlive the program on the clipboard. The handler itself only writes the
// signal's number into a socket pair, which is all a handler may safely do; the event loop reads it.
class MainSignal : public QObject {
    Q_OBJECT

public:
    static MainSignal *objectSingleton;

public:
    int intSocket[2] = {-1, -1};
    QSocketNotifier *objectNotifier = nullptr;

public:
    // Installs the handlers once the application object exists; a second call does nothing.
    static void init();
    static MainSignal *obtain();
    static void dispel();

    MainSignal();
    ~MainSignal() override;

signals:
    // A signal asked for the end, once every window has been asked to close.
    void received();

public slots:
    void update();
};
