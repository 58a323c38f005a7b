#include "support/TestSupport.h"

#include "display/Display.h"
#include "display/DisplayNetworkmanager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMutex>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QWebFrame>

#include <csignal>
#include <sys/resource.h>

namespace TestSupport {

QString appPath(const QString &strRelative) {
    return QCoreApplication::applicationDirPath() + "/" + strRelative;
}

QString sourcePath(const QString &strRelative) {
    return QString(TESSALOQUIN_SOURCE_DIR) + "/" + strRelative;
}

QString copyBeside(const QString &strExecutable) {
    const QString strPath = appPath(strExecutable);
    QFile::remove(strPath);
    if (!QFile::copy(QString(TESSALOQUIN_BINARY_DIR) + "/" + strExecutable, strPath)) {
        qFatal("cannot copy %s", qPrintable(strExecutable));
    }
    return strPath;
}

QByteArray fixture(const QString &strRelative) {
    QFile objectFile(sourcePath("tests/fixtures/" + strRelative));
    if (!objectFile.open(QIODevice::ReadOnly)) {
        qFatal("cannot read the fixture %s", qPrintable(strRelative));
    }
    return objectFile.readAll();
}

void resetRes(bool boolCatalogues) {
    QDir objectRes(appPath("res"));
    objectRes.removeRecursively();
    QFile::remove(appPath("res")); // a test may have left a file in its place
    QDir().mkpath(appPath("res"));

    if (boolCatalogues) {
        const QDir objectSource(sourcePath("res"));
        for (const QString &strName : objectSource.entryList({"language*.xml"}, QDir::Files)) {
            QFile::copy(objectSource.filePath(strName), objectRes.filePath(strName));
        }
    }
}

void writePage(const QByteArray &byteHtml) {
    QDir(appPath("assets")).removeRecursively();
    writeFile("assets/index.html", byteHtml);
}

void writeFile(const QString &strRelative, const QByteArray &byteContent) {
    const QString strPath = appPath(strRelative);
    QDir().mkpath(QFileInfo(strPath).absolutePath());
    QFile objectFile(strPath);
    if (!objectFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qFatal("cannot write %s", qPrintable(strPath));
    }
    objectFile.write(byteContent);
}

QByteArray readFile(const QString &strRelative) {
    QFile objectFile(appPath(strRelative));
    if (!objectFile.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return objectFile.readAll();
}

QByteArray runChild(const QStringList &qstringlistArgument, const QProcessEnvironment &objectEnvironment) {
    QProcess objectProcess;
    objectProcess.setProcessEnvironment(objectEnvironment);
    objectProcess.setProcessChannelMode(QProcess::SeparateChannels);
    objectProcess.start(QCoreApplication::applicationFilePath(), qstringlistArgument);
    if (!objectProcess.waitForFinished(60000) || objectProcess.exitStatus() != QProcess::NormalExit ||
        objectProcess.exitCode() != 0) {
        qWarning("the child process failed: %s", objectProcess.readAllStandardError().constData());
        return QByteArray();
    }
    return objectProcess.readAllStandardOutput();
}

static QtMessageHandler functionPrevious = nullptr;

static void recordMessage(QtMsgType enumType, const QMessageLogContext &objectContext, const QString &strMessage) {
    {
        // The web engine may report from threads of its own.
        static QMutex objectMutex;
        QMutexLocker objectLocker(&objectMutex);
        recordMessages().append(strMessage);
    }
    if (functionPrevious != nullptr) {
        functionPrevious(enumType, objectContext, strMessage);
    }
}

QStringList &recordMessages() {
    static QStringList qstringlistMessage;
    static bool boolInstalled = false;
    if (!boolInstalled) {
        boolInstalled = true;
        functionPrevious = qInstallMessageHandler(recordMessage);
    }
    return qstringlistMessage;
}

QStringList connectionWarnings() {
    QStringList qstringlistWarning;
    for (const QString &strMessage : recordMessages()) {
        if (strMessage.contains("still in use") || strMessage.contains("duplicate connection name")) {
            qstringlistWarning.append(strMessage);
        }
    }
    return qstringlistWarning;
}

bool executeSql(const QString &strStatement, QList<QVariantList> *qlistRow) {
    const QString strConnection = "TestSupport";
    bool boolDone = false;
    {
        QSqlDatabase objectDatabase = QSqlDatabase::addDatabase("QSQLITE", strConnection);
        objectDatabase.setDatabaseName(appPath("res/PreferenceAccount.sqlite"));
        if (objectDatabase.open()) {
            QSqlQuery objectQuery(objectDatabase);
            boolDone = objectQuery.exec(strStatement);
            if (!boolDone) {
                qWarning("executeSql: %s", qPrintable(objectQuery.lastError().text()));
            }
            while (qlistRow != nullptr && objectQuery.next()) {
                QVariantList qlistValue;
                for (int intColumn = 0; intColumn < objectQuery.record().count(); intColumn += 1) {
                    qlistValue.append(objectQuery.value(intColumn));
                }
                qlistRow->append(qlistValue);
            }
        }
        objectDatabase.close();
    }
    QSqlDatabase::removeDatabase(strConnection);
    return boolDone;
}

QList<QVariantList> selectSql(const QString &strStatement) {
    QList<QVariantList> qlistRow;
    executeSql(strStatement, &qlistRow);
    return qlistRow;
}

static void setFileSizeLimit(qint64 intSize) {
    rlimit objectLimit;
    getrlimit(RLIMIT_FSIZE, &objectLimit);
    objectLimit.rlim_cur = intSize < 0 ? objectLimit.rlim_max : rlim_t(intSize);
    setrlimit(RLIMIT_FSIZE, &objectLimit);
}

FileSizeLimit::FileSizeLimit(qint64 intSize) {
    // A write beyond the limit then fails with an error instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    setFileSizeLimit(intSize);
}

FileSizeLimit::~FileSizeLimit() {
    setFileSizeLimit(-1);
}

static bool waitForLoad(QWebPage *objectPage, const QUrl &objectUrl) {
    QSignalSpy objectSpy(objectPage, SIGNAL(loadFinished(bool)));
    objectPage->mainFrame()->setUrl(objectUrl);
    if (objectSpy.isEmpty() && !objectSpy.wait(20000)) {
        return false;
    }
    return objectSpy.first().first().toBool();
}

TestPage *installTestPage(Display *objectDisplay) {
    TestPage *objectPage = new TestPage(objectDisplay->objectWebview);
    objectPage->setNetworkAccessManager(new DisplayNetworkmanager(objectPage));
    QObject::connect(objectPage->mainFrame(), SIGNAL(javaScriptWindowObjectCleared()), objectDisplay,
                     SLOT(updateJavascriptinterface()));
    objectDisplay->objectWebview->setPage(objectPage);
    if (!waitForLoad(objectPage, QUrl::fromLocalFile(appPath("assets/index.html")))) {
        qWarning("the page did not load");
    }
    return objectPage;
}

bool reloadPage(Display *objectDisplay) {
    return waitForLoad(objectDisplay->objectWebview->page(), QUrl::fromLocalFile(appPath("assets/index.html")));
}

bool reloadFromPage(Display *objectDisplay) {
    QWebPage *objectPage = objectDisplay->objectWebview->page();
    QSignalSpy objectSpy(objectPage, SIGNAL(loadFinished(bool)));
    objectPage->mainFrame()->evaluateJavaScript("window.location.reload();");
    if (objectSpy.isEmpty() && !objectSpy.wait(20000)) {
        return false;
    }
    return objectSpy.first().first().toBool();
}

QVariant evaluate(Display *objectDisplay, const QString &strScript) {
    return objectDisplay->objectWebview->page()->mainFrame()->evaluateJavaScript(strScript);
}

} // namespace TestSupport

TestPage::TestPage(QObject *objectParent) : DisplayPage(objectParent) {}

bool TestPage::event(QEvent *objectEvent) {
    return boolGuarded ? DisplayPage::event(objectEvent) : QWebPage::event(objectEvent);
}

bool TestPage::acceptNavigationRequest(QWebFrame *objectFrame, const QNetworkRequest &objectRequest,
                                       QWebPage::NavigationType enumType) {
    return boolGuarded ? DisplayPage::acceptNavigationRequest(objectFrame, objectRequest, enumType)
                       : QWebPage::acceptNavigationRequest(objectFrame, objectRequest, enumType);
}

void TestPage::javaScriptConsoleMessage(const QString &strMessage, int intLine, const QString &strSource) {
    qstringlistConsole.append(QString("%1:%2: %3").arg(strSource).arg(intLine).arg(strMessage));
}

void TestPage::javaScriptAlert(QWebFrame *, const QString &strMessage) {
    qstringlistAlert.append(strMessage);
}

bool TestPage::javaScriptConfirm(QWebFrame *, const QString &strMessage) {
    qstringlistConfirm.append(strMessage);
    return boolConfirm;
}

bool TestPage::javaScriptPrompt(QWebFrame *, const QString &, const QString &, QString *strResult) {
    if (boolPrompt && strResult != nullptr) {
        *strResult = strPrompt;
    }
    return boolPrompt;
}
