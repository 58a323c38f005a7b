#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// A password on the clipboard for a while: marked so that clipboard-history managers do not keep it, counted
// down on standard error, and taken off again after the countdown, or at once when the process is interrupted,
// provided the clipboard still holds it. Its timers reach it through lambdas rather than slots: the program's
// meta-objects all live in one object file, and a slot here would pull it, and the web engine with it, into the
// terminal companion.
class CliClipboard {
public:
    static const int intSeconds = 20;

    QString strSecret;
    QElapsedTimer objectElapsed;
    // The countdown shown, once a second, and its end, on time.
    QTimer objectTimer;
    QTimer objectDeadline;
    QSocketNotifier *objectNotifier = nullptr;
    bool boolTerminal = false;
    int intSignal = 0;

public:
    // Whether a clipboard can be reached at all; the reason when not. Asked before any platform is started,
    // since starting one without a display ends the process.
    static bool available(QString *strError);

    CliClipboard();
    ~CliClipboard();

    CliClipboard(const CliClipboard &) = delete;
    CliClipboard &operator=(const CliClipboard &) = delete;

    // Runs the whole countdown in an event loop of its own; the exit code. A signal ends the process after the
    // clipboard has been cleared.
    int run(const QString &strPassword);

private:
    void tick();
    void expire();
    void interrupt();
    void finish();
};
