#include "support/TestSupport.h"

#include "display/Display.h"
#include "display/DisplayEngine.h"
#include "preference/PreferenceAccount.h"
#include "preference/PreferenceAccountObserver.h"
#include "preference/PreferenceAccountSelectedJavascriptinterface.h"
#include "preference/PreferenceLanguage.h"
#include "preference/PreferenceLanguageJavascriptinterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QMutex>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTcpSocket>
#include <QTest>

#include <csignal>
#include <cstdio>
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

QJsonArray fixtureMasters() {
    return QJsonDocument::fromJson(fixture("strength/masters.json")).object().value("arrayMasters").toArray();
}

QString fixtureMaster(const QJsonValue &valueMaster) {
    return valueMaster["strMaster"].isString()
               ? valueMaster["strMaster"].toString()
               : valueMaster["strRepeat"].toString().repeated(valueMaster["intRepeat"].toInt());
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

Fresh readFresh() {
    const QByteArray byteOutput = runChild({"--fresh"});
    const QString strRead =
        QString::fromUtf16(reinterpret_cast<const char16_t *>(byteOutput.constData()), byteOutput.size() / 2);
    // JSON text has no line break of its own; the name may have any.
    const int intFirst = strRead.indexOf(QChar('\n'));
    const int intSecond = strRead.indexOf(QChar('\n'), intFirst + 1);
    if (intFirst == -1 || intSecond == -1) {
        return Fresh();
    }
    return {strRead.left(intFirst), strRead.mid(intFirst + 1, intSecond - intFirst - 1), strRead.mid(intSecond + 1)};
}

bool answerFresh(int argc, char **argv) {
    if (argc != 2 || qstrcmp(argv[1], "--fresh") != 0) {
        return false;
    }
    QCoreApplication objectApplication(argc, argv);
    // Bridge objects on the stack, so that their registrations are gone again before anything notifies.
    const QString strRead = PreferenceAccountSelectedJavascriptinterface().getAll() + QChar('\n') +
                            PreferenceLanguageJavascriptinterface().getAll() + QChar('\n') +
                            PreferenceLanguage::obtain()->getStrName();
    std::fwrite(strRead.utf16(), 2, size_t(strRead.size()), stdout);
    return true;
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

void closeStore() {
    PreferenceAccount::dispel();
    PreferenceAccountObserver::dispel();
}

void resetStore() {
    closeStore();
    resetRes();
    recordMessages().clear();
}

bool executeSql(const QString &strStatement, QList<QVariantList> *qlistRow) {
    bool boolDone = false;
    withDatabase([&](QSqlDatabase &objectDatabase) {
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
    });
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

FullFolder::FullFolder(const QString &strRelative) : strPath(appPath(strRelative)) {
    // Its files only: what the web engine keeps in folders of its own there stays open where it was.
    QMap<QString, QByteArray> qmapFile;
    for (const QString &strName : QDir(strPath).entryList(QDir::Files | QDir::Hidden)) {
        qmapFile.insert(strName, readFile(strRelative + "/" + strName));
    }
    if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=1m,mode=0700", "tmpfs", strPath}) != 0) {
        qWarning("cannot mount a full folder over %s", qPrintable(strPath));
        return;
    }
    boolMounted = true;
    for (auto objectFile = qmapFile.cbegin(); objectFile != qmapFile.cend(); ++objectFile) {
        writeFile(strRelative + "/" + objectFile.key(), objectFile.value());
    }
    QFile objectFiller(strPath + "/filler");
    objectFiller.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    const QByteArray byteBlock(4096, 'f');
    while (objectFiller.write(byteBlock) > 0) {
    }
}

FullFolder::~FullFolder() {
    if (boolMounted) {
        QProcess::execute("umount", {"-l", strPath});
    }
}

ReportServer::ReportServer() {
    connect(this, &QTcpServer::newConnection, this, [this]() {
        while (QTcpSocket *objectSocket = nextPendingConnection()) {
            // The request line may arrive in pieces; the rest of the request is not read.
            connect(objectSocket, &QTcpSocket::readyRead, objectSocket, [this, objectSocket]() {
                const QByteArray byteRequest =
                    objectSocket->property("byteRequest").toByteArray() + objectSocket->readAll();
                objectSocket->setProperty("byteRequest", byteRequest);
                if (!byteRequest.contains("\r\n")) {
                    return;
                }
                QObject::disconnect(objectSocket, &QTcpSocket::readyRead, nullptr, nullptr);
                const QByteArray bytePath = byteRequest.left(byteRequest.indexOf("\r\n")).split(' ').value(1);
                qstringlistReports.append(QUrl::fromPercentEncoding(bytePath));
                objectSocket->write("HTTP/1.0 204 No Content\r\nConnection: close\r\n\r\n");
                objectSocket->disconnectFromHost();
            });
        }
    });
}

// Runs functionStart and waits until the page it loads has loaded; false when it failed or never did.
template <typename Function> static bool waitForLoad(Display *objectDisplay, Function functionStart) {
    QSignalSpy objectSpy(objectDisplay->objectEngine, SIGNAL(loaded(bool)));
    functionStart();
    if (objectSpy.isEmpty() && !objectSpy.wait(20000)) {
        return false;
    }
    return objectSpy.first().first().toBool();
}

TestPage *installTestPage(Display *objectDisplay) {
    DisplayEngine *objectEngine = objectDisplay->objectEngine;
    TestPage *objectPage = objectEngine->findChild<TestPage *>(QString(), Qt::FindDirectChildrenOnly);
    if (objectPage == nullptr) {
        objectPage = new TestPage(objectEngine);
    }
    const QUrl objectUrl = QUrl::fromLocalFile(appPath("assets/index.html"));
    if (!waitForLoad(objectDisplay, [objectEngine, objectUrl]() { objectEngine->open(objectUrl); })) {
        qWarning("the page did not load");
    }
    return objectPage;
}

bool reloadPage(Display *objectDisplay) {
    const QUrl objectUrl = QUrl::fromLocalFile(appPath("assets/index.html"));
    return waitForLoad(objectDisplay, [objectDisplay, objectUrl]() { objectDisplay->objectEngine->load(objectUrl); });
}

bool reloadFromPage(Display *objectDisplay) {
    return waitForLoad(objectDisplay, [objectDisplay]() { objectDisplay->evaluate("window.location.reload();"); });
}

QVariant evaluate(Display *objectDisplay, const QString &strScript) {
    return objectDisplay->evaluateNow(strScript);
}

const char *const strCountingPage =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><script>\n"
    "var Navigation = { updateBackward: function() {} };\n"
    "var intUpdate = { PreferenceAccount: 0, PreferenceAccountSelected: 0, PreferenceLanguage: 0 };\n"
    "var PreferenceAccount = { update: function() { intUpdate.PreferenceAccount += 1; } };\n"
    "var PreferenceAccountSelected = { update: function() { intUpdate.PreferenceAccountSelected += 1; } };\n"
    "var PreferenceLanguage = { update: function() { intUpdate.PreferenceLanguage += 1; } };\n"
    "</script></head><body></body></html>\n";

const char *const strPlainPage = "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><script>\n"
                                 "var Navigation = { updateBackward: function() {} };\n"
                                 "</script></head><body></body></html>\n";

bool settle(Display *objectDisplay) {
    evaluate(objectDisplay, "var boolSettled = false; window.setTimeout(function() { boolSettled = true; }, 0);");
    return QTest::qWaitFor([objectDisplay]() { return evaluate(objectDisplay, "boolSettled").toBool(); }, 5000);
}

int settledCount(Display *objectDisplay, const QString &strCounter) {
    return settle(objectDisplay) ? evaluate(objectDisplay, strCounter).toInt() : -1;
}

} // namespace TestSupport

TestPage::TestPage(DisplayEngine *objectEngine) : QObject(objectEngine) {
    connect(objectEngine, &DisplayEngine::console, this,
            [this](const QString &strMessage) { qstringlistConsole.append(strMessage); });
}
