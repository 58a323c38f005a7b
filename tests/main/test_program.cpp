#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

// Starts the built program from a folder of its own and listens to what its page reports over loopback.
class TestProgram : public QObject {
    Q_OBJECT

    TestSupport::ReportServer objectServer;

private slots:
    void initTestCase() { QVERIFY(objectServer.listen(QHostAddress::LocalHost)); }

    void runsThePageBesideItsOwnCopyIgnoringArguments() {
        QTemporaryDir objectFolder;
        QVERIFY(objectFolder.isValid());
        const QString strProgram = objectFolder.filePath("tessaloquin");
        QVERIFY(QFile::copy(QString(TESSALOQUIN_BINARY_DIR) + "/tessaloquin", strProgram));

        QDir().mkpath(objectFolder.filePath("assets/js"));
        QFile objectPage(objectFolder.filePath("assets/index.html"));
        QVERIFY(objectPage.open(QIODevice::WriteOnly));
        objectPage.write("<!DOCTYPE html><html><head><meta charset=\"utf-8\">"
                         "<script src=\"file:///android_asset/js/report.js?v=3\"></script></head>"
                         "<body>other page</body></html>");
        objectPage.close();

        QFile objectScript(objectFolder.filePath("assets/js/report.js"));
        QVERIFY(objectScript.open(QIODevice::WriteOnly));
        // It counts its starts in its own storage, which must outlast each run.
        objectScript.write(QString("var Navigation = {updateBackward: function() {}};\n"
                                   "window.addEventListener('load', function() {\n"
                                   "  var intRuns = Number(localStorage.getItem('runs')) + 1;\n"
                                   "  localStorage.setItem('runs', String(intRuns));\n"
                                   "  new Image().src = 'http://127.0.0.1:%1/report/' + window.innerWidth + 'x' +\n"
                                   "    window.innerHeight + '/' + intRuns + encodeURIComponent(location.pathname);\n"
                                   "});\n")
                               .arg(objectServer.serverPort())
                               .toUtf8());
        objectScript.close();

        // A home of its own, to see that the program keeps nothing of its own there.
        QTemporaryDir objectHome;
        QProcessEnvironment objectEnvironment = QProcessEnvironment::systemEnvironment();
        objectEnvironment.insert("HOME", objectHome.path());
        for (const char *strName : {"XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_CONFIG_HOME"}) {
            objectEnvironment.remove(strName);
        }
        for (int intRun = 1; intRun <= 2; intRun += 1) {
            objectServer.qstringlistReports.clear();
            QProcess objectProcess;
            objectProcess.setProcessEnvironment(objectEnvironment);
            objectProcess.setProcessChannelMode(QProcess::MergedChannels);
            // Switches that Qt would obey if it saw them: an unknown platform would abort the start.
            objectProcess.start(strProgram, {"-platform", "nonexistent", "-style", "windows", "--help"});
            QVERIFY(objectProcess.waitForStarted());

            QTRY_VERIFY_WITH_TIMEOUT(!objectServer.qstringlistReports.isEmpty(), 30000);
            QCOMPARE(objectServer.qstringlistReports.first(),
                     QString("/report/665x690/%1%2")
                         .arg(intRun)
                         .arg(QDir(objectFolder.path()).canonicalPath() + "/assets/index.html"));
            QCOMPARE(objectProcess.state(), QProcess::Running);

            objectProcess.terminate();
            QVERIFY(objectProcess.waitForFinished(10000));
            const QByteArray byteOutput = objectProcess.readAll();
            QVERIFY2(!byteOutput.contains("nonexistent"), byteOutput.constData());
            // The window's page goes before the engine's storage.
            QVERIFY2(!byteOutput.contains("Expect troubles"), byteOutput.constData());
        }
        // The page's storage stays in the program's folder, its owner's alone.
        const QFileInfoList qlistStorage =
            QDir(objectFolder.filePath("res")).entryInfoList({"*localstorage", "QtWebEngine"}, QDir::AllEntries);
        QCOMPARE(qlistStorage.size(), 1);
        QCOMPARE(int(qlistStorage.first().permissions() & 0x0077), 0);
        QDirIterator objectOutside(objectHome.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                   QDirIterator::Subdirectories);
        while (objectOutside.hasNext()) {
            const QString strPath = objectOutside.next();
            QVERIFY2(!strPath.contains("QtWebEngine") && !strPath.contains("Tessaloquin"), qPrintable(strPath));
        }
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"
