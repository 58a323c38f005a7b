#include "main/MainUpdate.h"
#include "password/Password.h"
#include "preference/PreferenceAccount.h"
#include "preference/PreferenceAccountObserver.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

using TestSupport::raw;

// Asks every bridge object what a user's first minute would, and sends the answers home over loopback (in
// the path: the window drops queries).
const char *const strReportingPage =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><script>\n"
    "var Navigation = { updateBackward: function() {} };\n"
    "window.addEventListener('load', function() {\n"
    "  var objectReport = {};\n"
    "  function attempt(strName, functionCall) {\n"
    "    try { objectReport[strName] = functionCall(); } catch (objectError) {\n"
    "      objectReport[strName] = 'thrown: ' + objectError; }\n"
    "  }\n"
    "  attempt('count', function() { return jsPreferenceAccount.count(); });\n"
    "  attempt('list', function() {\n"
    "    jsPreferenceAccount.selectOpen('SELECT * FROM PreferenceAccount ORDER BY intIdent', []);\n"
    "    var strList = jsPreferenceAccount.getAll(); jsPreferenceAccount.selectClose(); return strList; });\n"
    "  attempt('created', function() { jsPreferenceAccount.setStrWebsite('new.example');\n"
    "    jsPreferenceAccount.create(); return jsPreferenceAccount.count(); });\n"
    "  attempt('selected', function() { jsPreferenceAccountSelected.setStrUser('ada');\n"
    "    return jsPreferenceAccountSelected.getAll(); });\n"
    "  attempt('language', function() { return jsPreferenceLanguage.getStrName(); });\n"
    "  attempt('strings', function() { return jsLanguage.getStrStrings(); });\n"
    "  attempt('chosen', function() { jsPreferenceLanguage.setStrName('de');\n"
    "    return jsPreferenceLanguage.getStrName(); });\n"
    "  attempt('password', function() {\n"
    "    return jsPassword.update('master', 'example.org', 'ada@example.org', 12, '!'); });\n"
    "  attempt('name', function() { return jsGeneral.getName(); });\n"
    "  new Image().src = 'http://127.0.0.1:%1/report/' + encodeURIComponent(JSON.stringify(objectReport));\n"
    "});\n"
    "</script></head><body></body></html>\n";

QByteArray randomBytes(int intSize, quint32 intSeed) {
    QRandomGenerator objectRandom(intSeed);
    QByteArray byteResult(intSize, '\0');
    for (char &charByte : byteResult) {
        charByte = char(objectRandom.bounded(256));
    }
    return byteResult;
}

// The permission bits of a file or folder; -1 when it is missing.
int modeOf(const QString &strPath) {
    struct stat objectStatus;
    return ::stat(QFile::encodeName(strPath).constData(), &objectStatus) == 0 ? int(objectStatus.st_mode & 07777) : -1;
}

QString selectedDefaults(const QString &strUser) {
    return "{\"intIdent\":0,\"intLength\":0,\"strMail\":\"\",\"strNote\":\"\",\"strSpecial\":\"\",\"strUser\":\"" +
           strUser + "\",\"strWebsite\":\"\"}";
}

} // namespace

class TestMainFaults : public QObject {
    Q_OBJECT

    TestSupport::ReportServer objectServer;

    // Starts a copy of the program in the folder, waits for its page's report and ends it.
    QJsonObject runProgram(const QString &strFolder) {
        objectServer.qstringlistReports.clear();
        QFile::remove(strFolder + "/tessaloquin");
        if (!QFile::copy(QString(TESSALOQUIN_BINARY_DIR) + "/tessaloquin", strFolder + "/tessaloquin")) {
            qWarning("the program could not be copied");
            return QJsonObject();
        }
        QDir().mkpath(strFolder + "/assets");
        QFile objectPage(strFolder + "/assets/index.html");
        objectPage.open(QIODevice::WriteOnly | QIODevice::Truncate);
        objectPage.write(QString(strReportingPage).arg(objectServer.serverPort()).toUtf8());
        objectPage.close();

        QProcess objectProcess;
        objectProcess.setProcessChannelMode(QProcess::MergedChannels);
        objectProcess.start(strFolder + "/tessaloquin", QStringList());
        objectProcess.waitForStarted();
        const bool boolReported = QTest::qWaitFor(
            [this, &objectProcess]() {
                return !objectServer.qstringlistReports.isEmpty() || objectProcess.state() == QProcess::NotRunning;
            },
            60000);
        // Still running once the page has reported: nothing it did brought the program down.
        const bool boolRunning = objectProcess.state() == QProcess::Running;
        objectProcess.terminate();
        objectProcess.waitForFinished(20000);
        if (!boolRunning || !boolReported || objectServer.qstringlistReports.isEmpty()) {
            qWarning("the program ended or never reported: %s", objectProcess.readAll().constData());
            return QJsonObject();
        }
        const QString strReport = objectServer.qstringlistReports.first().mid(QString("/report/").size());
        return QJsonDocument::fromJson(strReport.toUtf8()).object();
    }

    QString strPassword;

private slots:
    void initTestCase() {
        QVERIFY(objectServer.listen(QHostAddress::LocalHost));
        strPassword = Password::obtain()->update("master", "example.org", "ada@example.org", 12, "!");
    }

    void init() { TestSupport::resetStore(); }

    void cleanup() { TestSupport::closeStore(); }

    void garbageDatabaseIsNeitherReadNorWritten_data() {
        QTest::addColumn<QByteArray>("byteGarbage");
        QTest::addColumn<bool>("boolPending");

        QByteArray byteHeader = raw("SQLite format 3\0") + randomBytes(4080, 3);
        const QList<QPair<const char *, QByteArray>> qlistGarbage = {
            {"text", "These are the minutes of the meeting, not an account list.\n"},
            {"random bytes", randomBytes(4096, 1)},
            {"a database header, then garbage", byteHeader},
            {"a megabyte of random bytes", randomBytes(1024 * 1024, 2)}};
        for (const QPair<const char *, QByteArray> &qpairGarbage : qlistGarbage) {
            QTest::newRow(qPrintable(QString("%1, upgrade due").arg(qpairGarbage.first)))
                << qpairGarbage.second << true;
            QTest::newRow(qPrintable(QString("%1, upgrade done").arg(qpairGarbage.first)))
                << qpairGarbage.second << false;
        }
    }

    void garbageDatabaseIsNeitherReadNorWritten() {
        QFETCH(QByteArray, byteGarbage);
        QFETCH(bool, boolPending);
        QTemporaryDir objectFolder;
        QVERIFY(objectFolder.isValid());
        QDir().mkpath(objectFolder.filePath("res"));
        QFile objectDatabase(objectFolder.filePath("res/PreferenceAccount.sqlite"));
        QVERIFY(objectDatabase.open(QIODevice::WriteOnly));
        objectDatabase.write(byteGarbage);
        objectDatabase.close();
        if (!boolPending) {
            QSettings(objectFolder.filePath("res/PreferenceAccount.ini"), QSettings::IniFormat)
                .setValue("boolUpdate(4.0)", false);
        }

        const QJsonObject objectReport = runProgram(objectFolder.path());

        QCOMPARE(objectReport.value("count").toVariant(), QVariant(0));
        QCOMPARE(objectReport.value("list").toString(), QString("[]"));
        QCOMPARE(objectReport.value("created").toVariant(), QVariant(0));
        // Everything that does not need the list goes on working.
        QCOMPARE(objectReport.value("selected").toString(), selectedDefaults("ada"));
        QCOMPARE(objectReport.value("language").toString(), QString("en"));
        QCOMPARE(objectReport.value("password").toString(), strPassword);
        QCOMPARE(objectReport.value("name").toString(), QString("Tessaloquin"));

        QVERIFY(objectDatabase.open(QIODevice::ReadOnly));
        QVERIFY(objectDatabase.readAll() == byteGarbage);
        QCOMPARE(QDir(objectFolder.filePath("res")).entryList({"PreferenceAccount.sqlite*"}, QDir::Files),
                 QStringList({"PreferenceAccount.sqlite"}));
        // An upgrade that could not read the database stays due.
        QCOMPARE(QSettings(objectFolder.filePath("res/PreferenceAccount.ini"), QSettings::IniFormat)
                     .value("boolUpdate(4.0)")
                     .toString(),
                 QString(boolPending ? "" : "false"));
    }

    void fileInPlaceOfTheDataFolderGivesDefaults() {
        QTemporaryDir objectFolder;
        QVERIFY(objectFolder.isValid());
        QFile objectRes(objectFolder.filePath("res"));
        QVERIFY(objectRes.open(QIODevice::WriteOnly));
        objectRes.write("a file where the data folder belongs");
        objectRes.close();

        const QJsonObject objectReport = runProgram(objectFolder.path());

        QCOMPARE(objectReport.value("count").toVariant(), QVariant(0));
        QCOMPARE(objectReport.value("list").toString(), QString("[]"));
        QCOMPARE(objectReport.value("created").toVariant(), QVariant(0));
        QCOMPARE(objectReport.value("selected").toString(), selectedDefaults(""));
        QCOMPARE(objectReport.value("language").toString(), QString("en"));
        QCOMPARE(objectReport.value("strings").toString(), QString("[]"));
        QCOMPARE(objectReport.value("password").toString(), strPassword);

        QVERIFY(objectRes.open(QIODevice::ReadOnly));
        QCOMPARE(objectRes.readAll(), QByteArray("a file where the data folder belongs"));
    }

    void dataIsTheOwnersAlone() {
        QTemporaryDir objectFolder;
        QVERIFY(objectFolder.isValid());
        const QString strRes = objectFolder.filePath("res");
        const QStringList qstringlistData = {"PreferenceAccount.ini", "PreferenceAccount.sqlite",
                                             "PreferenceAccountSelected.ini", "PreferenceLanguage.ini"};

        // The first start makes the files; the second finds them open to everyone, as older versions left them.
        for (int intStart = 1; intStart <= 2; intStart += 1) {
            const QJsonObject objectReport = runProgram(objectFolder.path());
            QCOMPARE(objectReport.value("created").toVariant(), QVariant(intStart));
            QCOMPARE(objectReport.value("chosen").toString(), QString("de"));
            QCOMPARE(QDir(strRes).entryList(QDir::Files | QDir::Hidden, QDir::Name), qstringlistData);
            QCOMPARE(modeOf(strRes), 0700);
            for (const QString &strName : qstringlistData) {
                QVERIFY2(modeOf(strRes + "/" + strName) == 0600, qPrintable(strName));
                QVERIFY(::chmod(QFile::encodeName(strRes + "/" + strName).constData(), 0644) == 0);
            }
            QVERIFY(::chmod(QFile::encodeName(strRes).constData(), 0755) == 0);
        }
    }

    void brokenEngineHelperEndsTheProgramBeforeTheData_data() {
        QTest::addColumn<QByteArray>("byteHelper");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("not a program") << QByteArray("#!/bin/sh\nexit 0\n");
        QTest::newRow("cut short") << QByteArray("\x7f"
                                                 "E");
    }

    void brokenEngineHelperEndsTheProgramBeforeTheData() {
        QFETCH(QByteArray, byteHelper);
        if (!TestSupport::boolWebengine) {
            QSKIP("QtWebKit runs in the program's own process");
        }
        QTemporaryDir objectFolder;
        QVERIFY(QFile::copy(QString(TESSALOQUIN_BINARY_DIR) + "/tessaloquin", objectFolder.filePath("tessaloquin")));
        QDir().mkpath(objectFolder.filePath("res"));
        const QByteArray byteFlag = "[General]\nboolUpdate%284.0%29=true\n";
        QFile objectFlag(objectFolder.filePath("res/PreferenceAccount.ini"));
        QVERIFY(objectFlag.open(QIODevice::WriteOnly));
        objectFlag.write(byteFlag);
        objectFlag.close();
        const QString strHelper = objectFolder.filePath("helper");
        if (!byteHelper.isEmpty()) {
            QFile objectHelper(strHelper);
            QVERIFY(objectHelper.open(QIODevice::WriteOnly));
            objectHelper.write(byteHelper);
            objectHelper.close();
            objectHelper.setPermissions(objectHelper.permissions() | QFileDevice::ExeOwner);
        }

        QProcess objectProcess;
        QProcessEnvironment objectEnvironment = QProcessEnvironment::systemEnvironment();
        objectEnvironment.insert("QTWEBENGINEPROCESS_PATH", strHelper);
        objectProcess.setProcessEnvironment(objectEnvironment);
        objectProcess.start(objectFolder.filePath("tessaloquin"), QStringList());
        QVERIFY(objectProcess.waitForFinished(30000));
        QCOMPARE(objectProcess.exitCode(), 1);
        // One line that names the helper, and the data as it was: the upgrade has not run, no database exists.
        const QList<QByteArray> qlistLine = objectProcess.readAllStandardError().trimmed().split('\n');
        QVERIFY2(qlistLine.last().contains("QtWebEngineProcess") && qlistLine.last().contains(strHelper.toUtf8()),
                 qlistLine.last().constData());
        QVERIFY(objectFlag.open(QIODevice::ReadOnly));
        QCOMPARE(objectFlag.readAll(), byteFlag);
        QVERIFY(!QFile::exists(objectFolder.filePath("res/PreferenceAccount.sqlite")));
    }

    void damagedUpgradeFlagLosesNoAccount_data() {
        QTest::addColumn<QByteArray>("byteSettings");
        QTest::addColumn<bool>("boolConverted");

        QTest::newRow("broken lines around the flag")
            << QByteArray("no equals sign\n[General]\n=\nboolUpdate%284.0%29=false\n\"unclosed") << false;
        QTest::newRow("binary junk around the flag")
            << raw("\x00\xff\xfe\x80\nboolUpdate%284.0%29=false\n\x01\x02\xc3\x28") << false;
        QTest::newRow("a word where a truth value belongs") << QByteArray("boolUpdate%284.0%29=banana\n") << true;
        QTest::newRow("a serialised list that would abort the program")
            << QByteArray("boolUpdate%284.0%29=@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\n") << true;
        QTest::newRow("only junk") << randomBytes(512, 4) << true;
    }

    void damagedUpgradeFlagLosesNoAccount() {
        QFETCH(QByteArray, byteSettings);
        QFETCH(bool, boolConverted);

        // An older table with an account, and a current one kept beside it for the second start.
        QVERIFY(
            TestSupport::executeSql("CREATE TABLE PreferenceAccount (strWebsite TEXT, strMail TEXT, strUser TEXT)"));
        QVERIFY(TestSupport::executeSql("INSERT INTO PreferenceAccount VALUES ('a.example', 'ada@a.example', 'ada')"));
        TestSupport::writeFile("res/PreferenceAccount.ini", byteSettings);

        MainUpdate::run();

        const QList<QVariantList> qlistRow =
            TestSupport::selectSql("SELECT strWebsite, strMail, strUser FROM PreferenceAccount");
        QCOMPARE(qlistRow, QList<QVariantList>({{"a.example", "ada@a.example", "ada"}}));
        QCOMPARE(TestSupport::selectSql("SELECT COUNT(*) FROM pragma_table_info('PreferenceAccount')"),
                 QList<QVariantList>({{boolConverted ? 7 : 3}}));
        QCOMPARE(QSettings(TestSupport::appPath("res/PreferenceAccount.ini"), QSettings::IniFormat)
                     .value("boolUpdate(4.0)")
                     .toString(),
                 QString("false"));

        // The next start converts nothing and the store finds every account.
        MainUpdate::run();
        QCOMPARE(TestSupport::selectSql("SELECT strWebsite, strMail, strUser FROM PreferenceAccount"), qlistRow);
    }
};

QTEST_GUILESS_MAIN(TestMainFaults)
#include "test_mainfaults.moc"
