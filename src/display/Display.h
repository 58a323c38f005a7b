#pragma once

#include <QMainWindow>

#include <QVariant>

class DisplayEngine;
class QCloseEvent;
class QKeyEvent;
class QVBoxLayout;

// The one window: a web view showing assets/index.html, into which the bridge objects are published.
//
// What the native side evaluates in the page, the scripts as sent:
//   "window.setTimeout(function() {Navigation.updateBackward();}, 0);"
//       Escape pressed and left unhandled by the page (here, keyPressEvent).
//   "window.setTimeout(function() {if (window.X !== undefined) {X.update();}}, 0);"
//       with X one of PreferenceAccount, PreferenceAccountSelected and PreferenceLanguage: the account list, the
//       selected account or the language preference changed (sent by their bridge objects).
//   "window.Secrets !== undefined && Secrets.selected() === true"
//       The page has just put its selection into the X11 primary selection; true means it came from a secret
//       field, and the selection is given up (guardSelection). The only script whose result is used.
//   "if (window.Copying !== undefined) {Copying.updateQuit();}"
//       The program is ending and still owns the clipboard, or the engine is about to replace or tear down the
//       document (leaving): waited for with its calls answered, so the page can take a password it copied off
//       the clipboard before the program hands the clipboard to a manager (conclude, Main::run).
//   "(function() {if (window.Navigation !== undefined && typeof Navigation.updateClose === 'function') {"
//   "window.setTimeout(function() {Navigation.updateClose();}, 0);return true;}return false;}())"
//       The window is being closed (closeEvent). true: the page asks what Escape asks of unsaved input, and closes
//       its own window (window.close()) once it may, which the window then lets go; false: it closes at once. Its
//       answer comes on a later turn, so an engine whose scripts answer later serves it the same way.
//   "window.jsNotices = [...];"
//       At every load, before the page's own scripts: what was found wrong with the stored data
//       (PreferenceNotice), a JSON array the page tells the user of.
// Every script but Escape's tests for its object, so a page without it is left alone.
class Display : public QMainWindow {
    Q_OBJECT

public:
    static Display *objectSingleton;

public:
    QWidget *objectWidget;
    DisplayEngine *objectEngine;
    // The engine's view, filling the window.
    QWidget *objectView;
    QVBoxLayout *objectLayout;
    // The primary selections taken back while the page was asked about them, and whether one is being given
    // again.
    int intSelectionTaken = 0;
    bool boolSelectionRestoring = false;
    // Set while the page closes its own window: that close is let go.
    bool boolClosing = false;

public:
    // Before the application object exists, and once it exists: what the web engine needs from the process.
    static void prepare();
    static void install();

    static void init();
    static Display *obtain();
    static void dispel();

    // Has the page's X.update() run, X being strGlobal, once the running script has finished: the notify script
    // of the stored data above. The window is made first if there is none.
    static void notify(const QString &strGlobal);

    // Runs a script in the page's main frame, its result ignored; with some engines it runs after this returns.
    void evaluate(const QString &strScript);
    // Runs a script in the page's main frame and returns its result once it has run, serving events meanwhile
    // where the engine runs scripts elsewhere; an invalid QVariant when the page gave none within intWait ms.
    QVariant evaluateNow(const QString &strScript, int intWait = 5000, bool *boolRan = nullptr);

    // The page's last word before its document goes: it takes a password it copied off the clipboard. When it
    // does not come to its end within intWait ms, or reports an error on the way, the program takes off what it
    // marked itself (MainPlatform::clearSecret). Returns whether the page had its word.
    bool conclude(int intWait = 5000);

    // The X11 primary selection this program has just taken: given up when the page says it came from a secret
    // field. Nothing can read it while the page is asked.
    void guardSelection();

public:
    Display();
    ~Display() override = default;

public slots:
    void updateJavascriptinterface();

protected:
    void keyPressEvent(QKeyEvent *objectEvent) override;
    void closeEvent(QCloseEvent *objectEvent) override;
};
