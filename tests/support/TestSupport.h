#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonValue>
#include <QProcessEnvironment>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QTcpServer>
#include <QVariantList>

class Display;
class DisplayEngine;

namespace TestSupport {

// The sanitizer build, whose instrumented code runs several times slower: time bounds stretch for it.
#ifdef TESSALOQUIN_SANITIZED
const bool boolSanitized = true;
#else
const bool boolSanitized = false;
#endif

// The interface engine built in, for what only one of them does at all.
#ifdef TESSALOQUIN_WEBENGINE
const bool boolWebengine = true;
#else
const bool boolWebengine = false;
#endif

// The bytes of a literal, zero bytes included, without its terminating zero.
template <int intSize> QByteArray raw(const char (&charData)[intSize]) {
    return QByteArray(charData, intSize - 1);
}

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
// The masters of the shared strength table, and the master text of one of them.
QJsonArray fixtureMasters();
QString fixtureMaster(const QJsonValue &valueMaster);

// Runs this test executable again with the arguments and returns what it printed. A fresh process holds no
// settings that Qt cached while this one wrote them, so it sees only what reached the disk.
QByteArray runChild(const QStringList &qstringlistArgument,
                    const QProcessEnvironment &objectEnvironment = QProcessEnvironment::systemEnvironment());
// What a process that never saw this one's settings reads from the disk: the selected account and the language
// preference as their bridge objects' getAll() gives them, and the language name. Carried as UTF-16, so that
// nothing is lost on the way. The test's main() lets answerFresh answer first (TESSALOQUIN_TEST_FRESH_MAIN).
struct Fresh {
    QString strSelected;
    QString strLanguage;
    QString strName;
};
Fresh readFresh();
// In a process that readFresh started: writes what it reads and returns true.
bool answerFresh(int argc, char **argv);

// From the first call on, every message Qt reports is also kept here (the test framework still sees each one,
// so QTest::ignoreMessage goes on working). Tests clear the list themselves.
QStringList &recordMessages();

// The kept messages that say a database connection was replaced or removed while still in use.
QStringList connectionWarnings();

// Closes the account store and empties its registry, as a fresh start of the program finds them.
void closeStore();
// closeStore, then an empty res/ and no kept messages: the start of a test of the account list.
void resetStore();

// Runs functionWork on a connection of the test's own to res/PreferenceAccount.sqlite, never the default one, when
// it opens; the connection is gone again afterwards.
template <typename Function> void withDatabase(Function functionWork) {
    const QString strConnection = "TestSupport";
    {
        QSqlDatabase objectDatabase = QSqlDatabase::addDatabase("QSQLITE", strConnection);
        objectDatabase.setDatabaseName(appPath("res/PreferenceAccount.sqlite"));
        if (objectDatabase.open()) {
            functionWork(objectDatabase);
            objectDatabase.close();
        }
    }
    QSqlDatabase::removeDatabase(strConnection);
}

// Runs one statement on res/PreferenceAccount.sqlite through withDatabase. Rows of a result are appended to qlistRow
// when it is given. False on failure.
bool executeSql(const QString &strStatement, QList<QVariantList> *qlistRow = nullptr);

// The rows of a query on res/PreferenceAccount.sqlite; empty when it fails.
QList<QVariantList> selectSql(const QString &strStatement);

// While it lives, no file this process writes grows beyond intSize bytes (a negative size sets no limit): a full
// disk, which root feels too.
struct FileSizeLimit {
    explicit FileSizeLimit(qint64 intSize);
    ~FileSizeLimit();
};

// While it lives, the folder under the application's one (res, say) is a full disk of its own: a tmpfs mounted over
// it with a copy of its files, filled to the last byte. Chromium needs to write beyond a file size limit to show a
// page at all (its shared memory counts as files), so a page test of a full disk takes this. Needs root.
struct FullFolder {
    QString strPath;
    bool boolMounted = false;

    explicit FullFolder(const QString &strRelative);
    ~FullFolder();
};

// Keeps the path of every request it is sent, percent-decoded, and answers each with an empty 204: how a page in a
// program under test reports back over the loopback. Listening is the test's to start.
class ReportServer : public QTcpServer {
public:
    QStringList qstringlistReports;

public:
    ReportServer();
};

} // namespace TestSupport

// A main() for a test that reads through readFresh: QTEST_GUILESS_MAIN's application, after answerFresh.
#define TESSALOQUIN_TEST_FRESH_MAIN(TestObject)                                                                        \
    int main(int argc, char **argv) {                                                                                  \
        if (TestSupport::answerFresh(argc, argv)) {                                                                    \
            return 0;                                                                                                  \
        }                                                                                                              \
        QCoreApplication objectApplication(argc, argv);                                                                \
        TestObject objectTest;                                                                                         \
        return QTest::qExec(&objectTest, argc, argv);                                                                  \
    }

// Keeps every console message of the window's page (the page under test logs nothing, so each one is a script
// error), for as long as the window lives.
class TestPage : public QObject {
    Q_OBJECT

public:
    QStringList qstringlistConsole;

public:
    explicit TestPage(DisplayEngine *objectEngine);
};

namespace TestSupport {

// Keeps the window's console messages in a TestPage (one for the window's whole life), loads assets/index.html
// into a fresh page of the window and waits until it has loaded.
TestPage *installTestPage(Display *objectDisplay);

// Loads assets/index.html again into the window's current page and waits until it has loaded. Navigating a
// loaded frame from outside makes QtWebKit clear its window object twice, so this may publish two sets of
// bridge objects.
bool reloadPage(Display *objectDisplay);

// Has the page reload itself, as the page does in the program, and waits until it has loaded: one clearing
// of the window object, one set of bridge objects.
bool reloadFromPage(Display *objectDisplay);

// Evaluates a script in the window's main frame and waits for its result, whatever the engine.
QVariant evaluate(Display *objectDisplay, const QString &strScript);

// Pages that count the calls the native side makes into them: intUpdate.X counts the update() of X, each of
// PreferenceAccount, PreferenceAccountSelected and PreferenceLanguage. The plain page has none of those objects.
// Both have a Navigation that ignores Escape.
extern const char *const strCountingPage;
extern const char *const strPlainPage;

// Waits until every update() that notify scripts deferred so far has run: a timeout queued now runs after all of
// them. False when it never ran.
bool settle(Display *objectDisplay);
// The value of the page's counter strCounter (such as "intUpdate.PreferenceAccount") once settled; -1 when the page
// did not settle.
int settledCount(Display *objectDisplay, const QString &strCounter);

} // namespace TestSupport
