#include "PageDriver.h"
#include "cli/CliClipboard.h"
#include "support/TestSupport.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <csignal>

namespace {

// The reference account's password for the master password "master", computed independently of this code.
const QString strPassword = "S50X3jGa0BtqkPX";

// The clipboard as another program on the same display sees it.
QByteArray xclip(const QStringList &qstringlistArgument, const QByteArray &byteInput = QByteArray()) {
    return PageDriver::run(QStringList({"xclip", "-selection", "clipboard"}) + qstringlistArgument, byteInput);
}

} // namespace

class TestCliClipboard : public QObject {
    Q_OBJECT

    QString strProgram;
    QProcess objectProcess;

    void copy() {
        objectProcess.start(strProgram, {"password", "example.com", "--copy"});
        objectProcess.write("master\n");
        objectProcess.closeWriteChannel();
        QTRY_COMPARE_WITH_TIMEOUT(xclip({"-o"}), strPassword.toUtf8(), 20000);
        QVERIFY(xclip({"-o", "-t", "TARGETS"}).contains("x-kde-passwordManagerHint"));
    }

private slots:
    void initTestCase() {
        strProgram = TestSupport::copyBeside("tessaloquin-cli");
        TestSupport::resetRes();
        PageDriver::seed({account("example.com", "me@example.com")});
    }

    void cleanup() {
        objectProcess.kill();
        objectProcess.waitForFinished();
    }

    // In this process, so that the clipboard can be read between the countdown's end and the process's end, when
    // a clipboard manager would be handed whatever is still on it.
    void countdownClearsThePasswordInTime() {
        CliClipboard objectClipboard;
        QClipboard *objectSystem = QGuiApplication::clipboard();
        QStringList qstringlistSeen;
        QTimer::singleShot(1000, [&]() {
            qstringlistSeen << objectSystem->text() << objectSystem->mimeData()->data("x-kde-passwordManagerHint");
        });
        QElapsedTimer objectElapsed;
        objectElapsed.start();
        QCOMPARE(objectClipboard.run(strPassword), 0);
        QVERIFY(objectElapsed.elapsed() >= 20000);
        // Clipboard-history managers leave out what is marked so.
        QCOMPARE(qstringlistSeen, QStringList({strPassword, "secret"}));
        QVERIFY(!objectSystem->ownsClipboard());
        QCOMPARE(objectSystem->text(), QString());
    }

    void interruptionClearsOnlyThePassword_data() {
        QTest::addColumn<QByteArray>("byteCopiedMeanwhile");
        QTest::newRow("still the password") << QByteArray();
        QTest::newRow("the user copied something else") << QByteArray("a note of mine");
    }

    void interruptionClearsOnlyThePassword() {
        QFETCH(QByteArray, byteCopiedMeanwhile);
        copy();
        if (!byteCopiedMeanwhile.isEmpty()) {
            xclip({"-i"}, byteCopiedMeanwhile);
            QTRY_COMPARE(xclip({"-o"}), byteCopiedMeanwhile);
        }
        ::kill(pid_t(objectProcess.processId()), SIGINT);
        QVERIFY(objectProcess.waitForFinished(5000));
        // Ended by the signal, so that a shell running it stops too.
        QCOMPARE(objectProcess.exitStatus(), QProcess::CrashExit);
        QCOMPARE(xclip({"-o"}), byteCopiedMeanwhile);
        QCOMPARE(objectProcess.readAllStandardOutput(), QByteArray());
    }
};

QTEST_MAIN(TestCliClipboard)
#include "test_cliclipboard.moc"
