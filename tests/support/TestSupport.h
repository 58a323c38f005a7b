#pragma once

#include "display/DisplayPage.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QWebPage>

class Display;

namespace TestSupport {

// A path inside the test executable's own folder.
QString appPath(const QString &strRelative);

// Empties res/ beside the test executable; with boolCatalogues the shipped catalogues are copied back in.
void resetRes(bool boolCatalogues = false);

// Replaces assets/ beside the test executable by a folder holding only index.html with this text.
void writePage(const QByteArray &byteHtml);

void writeFile(const QString &strRelative, const QByteArray &byteContent);
QByteArray readFile(const QString &strRelative);

// Every file of a shipped folder of the source tree, such as "assets" or "res".
QString sourcePath(const QString &strRelative);

// Copies an executable of the build (such as "tessaloquin-cli") beside the test executable, where it works on the
// test's own res/; its path there.
QString copyBeside(const QString &strExecutable);

// A file of tests/fixtures: the fixtures that the page's tests and the terminal companion's tests share.
QByteArray fixture(const QString &strRelative);

// Runs this test executable again with the arguments and returns what it printed. A fresh process holds no
// settings that Qt cached while this one wrote them, so it sees only what reached the disk.
QByteArray runChild(const QStringList &qstringlistArgument,
                    const QProcessEnvironment &objectEnvironment = QProcessEnvironment::systemEnvironment());
// From the first call on, every message Qt reports is also kept here (the test framework still sees each one,
// so QTest::ignoreMessage goes on working). Tests clear the list themselves.
QStringList &recordMessages();

// The kept messages that say a database connection was replaced or removed while still in use.
QStringList connectionWarnings();

// Runs one statement on res/PreferenceAccount.sqlite through a connection of the test's own, never the default
// one, and closes it again. Rows of a result are appended to qlistRow when it is given. False on failure.
bool executeSql(const QString &strStatement, QList<QVariantList> *qlistRow = nullptr);

// The rows of a query on res/PreferenceAccount.sqlite; empty when it fails.
QList<QVariantList> selectSql(const QString &strStatement);

// While it lives, no file this process writes grows beyond intSize bytes (a negative size sets no limit): a full
// disk, which root feels too.
struct FileSizeLimit {
    explicit FileSizeLimit(qint64 intSize);
    ~FileSizeLimit();
};

} // namespace TestSupport

// The window's own kind of web page that also keeps every console message (the page under test logs nothing,
// so each one is a script error) and answers dialogs without blocking. With boolGuarded false it navigates and
// takes drops as a plain web page does, which shows that an action really would bring a document in.
class TestPage : public DisplayPage {
    Q_OBJECT

public:
    bool boolGuarded = true;
    QStringList qstringlistConsole;
    QStringList qstringlistAlert;
    QStringList qstringlistConfirm;
    bool boolConfirm = true;
    QString strPrompt;
    bool boolPrompt = false;

public:
    explicit TestPage(QObject *objectParent = nullptr);

    bool event(QEvent *objectEvent) override;

protected:
    bool acceptNavigationRequest(QWebFrame *objectFrame, const QNetworkRequest &objectRequest,
                                 QWebPage::NavigationType enumType) override;
    void javaScriptConsoleMessage(const QString &strMessage, int intLine, const QString &strSource) override;
    void javaScriptAlert(QWebFrame *objectFrame, const QString &strMessage) override;
    bool javaScriptConfirm(QWebFrame *objectFrame, const QString &strMessage) override;
    bool javaScriptPrompt(QWebFrame *objectFrame, const QString &strMessage, const QString &strDefault,
                          QString *strResult) override;
};

namespace TestSupport {

// Puts a TestPage into the window's web view, wired as the window wires its own page (asset rewriting and
// publication of the bridge objects), loads assets/index.html into it and waits until it has loaded.
TestPage *installTestPage(Display *objectDisplay);

// Loads assets/index.html again into the window's current page and waits until it has loaded. Navigating a
// loaded frame from outside makes QtWebKit clear its window object twice, so this publishes two sets of
// bridge objects.
bool reloadPage(Display *objectDisplay);

// Has the page reload itself, as the page does in the program, and waits until it has loaded: one clearing
// of the window object, one set of bridge objects.
bool reloadFromPage(Display *objectDisplay);

// Evaluates a script in the window's main frame.
QVariant evaluate(Display *objectDisplay, const QString &strScript);

} // namespace TestSupport
