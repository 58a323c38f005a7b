#include "PageDriver.h"

#include "display/Display.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QProcess>
#include <QTest>
#include <QWebView>

namespace {

const QString strMaster = "Zq7-vault";

// The notices and the focus moves the program told assistive technology.
QStringList qstringlistTold;
QStringList qstringlistFocus;

void record(QAccessibleEvent *objectEvent) {
    QAccessibleInterface *objectInterface = objectEvent->accessibleInterface();
    if (objectEvent->type() == QAccessible::ObjectShow && objectInterface->role() == QAccessible::Notification) {
        qstringlistTold.append(objectInterface->text(QAccessible::Name));
    } else if (objectEvent->type() == QAccessible::Focus) {
        qstringlistFocus.append(objectInterface->text(QAccessible::Name));
    }
}

QString last(const QStringList &qstringlistEvent) {
    return qstringlistEvent.isEmpty() ? QString() : qstringlistEvent.last();
}

} // namespace

// The page on a real X server with the accessibility bus running, as a screen reader meets it.
class TestPageAccessibleBus : public QObject {
    Q_OBJECT

    PageDriver objectDriver;

    void openAccount() {
        objectDriver.openFirst();
        objectDriver.keys(strMaster);
    }

private slots:
    void initTestCase() {
        objectDriver.start();
        QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), 10000);
        QTRY_VERIFY(objectDriver.objectDisplay->objectWebview->hasFocus());
    }

    void init() {
        QVERIFY(objectDriver.restart({account("example.com", "me@example.com", "me"), account("b.org", "b@b.org")}));
        objectDriver.accessible();
        qstringlistTold.clear();
        qstringlistFocus.clear();
        QAccessible::installUpdateHandler(record);
    }

    void cleanup() {
        QAccessible::installUpdateHandler(nullptr);
        objectDriver.checkConsole();
    }

    void focusMovesByTabAndTheListsArrowsAreTold() {
        objectDriver.key(Qt::Key_Tab);
        QTRY_COMPARE(last(qstringlistFocus), PageDriver::catalogue("list_sort_label"));
        objectDriver.js("document.getElementById('list').focus();");
        QTRY_COMPARE(last(qstringlistFocus), QString("b.org b@b.org"));
        objectDriver.key(Qt::Key_Down);
        QTRY_COMPARE(last(qstringlistFocus), QString("example.com me@example.com \u00b7 me"));
    }

    void copiesAndTheClearingAreAnnouncedOnceEach() {
        objectDriver.js("Timing.intClipboardSeconds = 2;");
        openAccount();
        QTRY_VERIFY_WITH_TIMEOUT(!objectDriver.text("master-estimate").isEmpty(), 20000);
        objectDriver.key(Qt::Key_Enter);
        QTRY_COMPARE(last(qstringlistTold), PageDriver::catalogue("clipboard_cleared"));
        objectDriver.click("#account-copy-mail");
        QTRY_COMPARE(last(qstringlistTold), PageDriver::catalogue("clipboard_copied"));
        objectDriver.click("#account-copy-mail");
        QTRY_COMPARE(qstringlistTold.size(), 5);
        QTest::qWait(500);
        // The master password's strength once; not the ticking of the countdown; the same text again for a
        // second copy.
        QCOMPARE(qstringlistTold.takeFirst(), objectDriver.text("master-estimate"));
        QCOMPARE(qstringlistTold,
                 QStringList({PageDriver::catalogue("clipboard_countdown").replace("{seconds}", "2"),
                              PageDriver::catalogue("clipboard_cleared"), PageDriver::catalogue("clipboard_copied"),
                              PageDriver::catalogue("clipboard_copied")}));
    }

    void aScreenReaderReadsThePageThroughTheBus() {
        QAccessible::installUpdateHandler(nullptr);
        openAccount();
        const QString strPassword = objectDriver.value("password");
        objectDriver.click("#master-toggle");
        objectDriver.click("#master");
        QProcess objectReader;
        QString strRead;
        auto functionRead = [&objectReader, &strRead]() {
            strRead += QString::fromUtf8(objectReader.readAllStandardOutput());
            return strRead;
        };
        objectReader.start("/usr/bin/python3",
                           {TestSupport::sourcePath("tests/page/test_pageaccessiblebus.py"), "Tessaloquin", "60"});
        QTRY_VERIFY_WITH_TIMEOUT(functionRead().contains("\nready\n"), 20000);
        // With a reader listening, Qt hands each key to the bus first and only then to the window.
        objectDriver.key(Qt::Key_Tab);
        QTRY_COMPARE(objectDriver.focused(), QString("master-toggle"));
        QCOMPARE(objectDriver.accessible()->focusChild()->text(QAccessible::Name),
                 PageDriver::catalogue("action_hide"));
        objectDriver.click("#account-copy-mail");
        // The reader asks the program while it runs: wait with the event loop turning.
        QTRY_VERIFY_WITH_TIMEOUT(objectReader.state() == QProcess::NotRunning, 60000);
        functionRead();
        QVERIFY2(objectReader.exitCode() == 0, objectReader.readAllStandardError().constData());
        const QString strBullets = QString(15, QChar(0x2022));
        for (const QString &strLine :
             QStringList{"tree|document web|b.org \u2013 Tessaloquin|",
                         "tree|password text|Master password|" + QString(9, QChar(0x2022)),
                         "tree|password text|Password|" + strBullets, "tree|push button|Copy password|",
                         "focus|push button|" + PageDriver::catalogue("action_hide"),
                         "notice|" + PageDriver::catalogue("clipboard_copied")}) {
            QVERIFY2(strRead.split('\n').contains(strLine), qPrintable(strLine + "\n" + strRead));
        }
        QVERIFY(!strRead.contains(strMaster) && !strRead.contains(strPassword));
    }
};

QTEST_MAIN(TestPageAccessibleBus)
#include "test_pageaccessiblebus.moc"
