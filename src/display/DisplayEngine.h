#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>

class QWidget;

// The web engine behind the window: its view, the page in it and the way scripts run there. Exactly one
// engine is built into the program; its room (webkit/ or webengine/) defines the static functions below.
// Nothing outside the display code sees which one it is.
class DisplayEngine : public QObject {
    Q_OBJECT

public:
    // Tests turn the guards off, to show that an action would bring another document in: no navigation is
    // refused and drops reach the engine as they came. The program never does.
    bool boolGuarded = true;
    // Whether evaluateNow answers without serving events: the page runs in this process.
    bool boolSynchronous = true;

public:
    // Before the application object exists: what the engine reads from the environment at its start.
    static void prepare();
    // Once the application object exists and before any window: the engine's part in assistive technology,
    // and a check that the engine can run at all (a program that cannot show its page ends here, before it
    // touches any data).
    static void install();
    // The engine for a window, its view a child of objectParent.
    static DisplayEngine *create(QWidget *objectParent);

    ~DisplayEngine() override = default;

    virtual QWidget *view() const = 0;
    // A fresh page in the view, loading objectUrl; the page before it is gone with everything it held.
    virtual void open(const QUrl &objectUrl) = 0;
    // Loads objectUrl into the page as it is.
    virtual void load(const QUrl &objectUrl) = 0;
    // The document the main frame shows.
    virtual QUrl url() const = 0;
    // Gives the document now loading objectBridge under strName, for its whole life; called at cleared().
    virtual void publish(const QString &strName, QObject *objectBridge) = 0;
    // The object the page's calls of strName reach now, null when there is none.
    virtual QObject *published(const QString &strName) const = 0;
    // Runs a script in the main frame, its result ignored; it may run after this returns.
    virtual void evaluate(const QString &strScript) = 0;
    // Runs a script in the main frame and hands its result to functionResult once it has run, without waiting
    // for it here; never when the page is gone first.
    virtual void evaluate(const QString &strScript, std::function<void(const QVariant &)> functionResult) = 0;
    // Runs a script in the main frame and waits for its result, at most intWait ms; an invalid QVariant when
    // there is none. boolRan, when given, tells whether the script came to its end within that time.
    virtual QVariant evaluateNow(const QString &strScript, int intWait = 5000, bool *boolRan = nullptr) = 0;

signals:
    // A new document's window object exists and none of its scripts has run: the moment to publish.
    void cleared();
    void loaded(bool boolOk);
    // A message the page's scripts wrote to the console, script errors included.
    void console(const QString &strMessage);
    // The page asked to close its own window (window.close()).
    void closeRequested();
    // The document is about to go while its scripts and calls can still run: an engine that answers no call
    // while a document unloads says so before it replaces the document or tears it down.
    void leaving();
};
