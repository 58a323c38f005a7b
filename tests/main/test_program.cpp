#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
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
        objectScript.write(QString("var Navigation = {updateBackward: function() {}};\n"
                                   "window.addEventListener('load', function() {\n"
                                   "  new Image().src = 'http://127.0.0.1:%1/report/' + window.innerWidth + 'x' +\n"
                                   "    window.innerHeight + '/' + encodeURIComponent(location.pathname);\n"
                                   "});\n")
                               .arg(objectServer.serverPort())
                               .toUtf8());
        objectScript.close();

        QProcess objectProcess;
        objectProcess.setProcessChannelMode(QProcess::MergedChannels);
        // Switches that Qt would obey if it saw them: an unknown platform would abort the start.
        objectProcess.start(strProgram, {"-platform", "nonexistent", "-style", "windows", "--help"});
        QVERIFY(objectProcess.waitForStarted());

        QTRY_VERIFY_WITH_TIMEOUT(!objectServer.qstringlistReports.isEmpty(), 30000);
        QCOMPARE(objectServer.qstringlistReports.first(),
                 QString("/report/665x690/%1").arg(QDir(objectFolder.path()).canonicalPath() + "/assets/index.html"));
        QCOMPARE(objectProcess.state(), QProcess::Running);

        objectProcess.terminate();
        QVERIFY(objectProcess.waitForFinished(10000));
        const QByteArray byteOutput = objectProcess.readAll();
        QVERIFY2(!byteOutput.contains("nonexistent"), byteOutput.constData());
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "test_program.moc"
