#include "display/Display.h"
#include "general/GeneralJavascriptinterface.h"
#include "main/Main.h"
#include "support/TestSupport.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QMetaMethod>
#include <QMimeData>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <sys/stat.h>
#include <zlib.h>

namespace {

// One step of a scripted answer: wait intDelay ms after the previous step, then send byteData.
struct Step {
    int intDelay;
    QByteArray byteData;
};

QByteArray header(const QByteArray &byteStatus, int intLength) {
    return "HTTP/1.1 " + byteStatus +
           "\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: " + QByteArray::number(intLength) +
           "\r\nConnection: close\r\n\r\n";
}

} // namespace

// A small HTTP server on loopback that answers each path with a script of timed pieces. After the last piece
// it closes the connection, unless the path's script is marked to hold it open.
class TestServer : public QObject {
    Q_OBJECT

public:
    QTcpServer objectServer;
    QHash<QByteArray, QList<Step>> qhashScript;
    QHash<QByteArray, bool> qhashHoldOpen;

    bool listen() {
        connect(&objectServer, SIGNAL(newConnection()), this, SLOT(accept()));
        return objectServer.listen(QHostAddress::LocalHost, 0);
    }

    QString link(const QString &strPath) const {
        return QString("http://127.0.0.1:%1%2").arg(objectServer.serverPort()).arg(strPath);
    }

private slots:
    void accept() {
        while (QTcpSocket *objectSocket = objectServer.nextPendingConnection()) {
            objectSocket->setParent(this);
            connect(objectSocket, SIGNAL(readyRead()), this, SLOT(read()));
        }
    }

    void read() {
        QTcpSocket *objectSocket = qobject_cast<QTcpSocket *>(sender());
        QByteArray byteRequest = objectSocket->property("byteRequest").toByteArray() + objectSocket->readAll();
        objectSocket->setProperty("byteRequest", byteRequest);
        if (!byteRequest.contains("\r\n\r\n") || objectSocket->property("boolAnswered").toBool()) {
            return;
        }
        objectSocket->setProperty("boolAnswered", true);

        const QByteArray bytePath = byteRequest.split(' ').value(1);
        int intAt = 0;
        for (const Step &objectStep : qhashScript.value(bytePath)) {
            intAt += objectStep.intDelay;
            const QByteArray byteData = objectStep.byteData;
            QTimer::singleShot(intAt, objectSocket, [objectSocket, byteData]() {
                objectSocket->write(byteData);
                objectSocket->flush();
            });
        }
        if (!qhashHoldOpen.value(bytePath)) {
            QTimer::singleShot(intAt, objectSocket, [objectSocket]() { objectSocket->disconnectFromHost(); });
        }
    }
};

// Stands in for the desktop's link handler.
class TestOpener : public QObject {
    Q_OBJECT

public:
    QList<QUrl> qlistOpened;
    mode_t intMask = 0;

public slots:
    void open(const QUrl &objectUrl) {
        qlistOpened.append(objectUrl);
        intMask = ::umask(0);
        ::umask(intMask);
    }
};

class TestGeneralJavascriptinterface : public QObject {
    Q_OBJECT

    Main *objectMain = nullptr;
    TestServer *objectServer = nullptr;
    // What getHttp reads at most.
    static constexpr int intBound = 32 * 1024 * 1024;
    const QByteArray bytePieces = QByteArray("first piece, ") + "second piece with \xc3" + "\xbc split, " + "third";

private slots:
    void initTestCase() {
        ::umask(022); // the mask a desktop session usually gives, which Main narrows for the program's own files
        objectMain = new Main(qobject_cast<QApplication *>(QCoreApplication::instance()));
        TestSupport::resetRes();
        TestSupport::writePage("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>page</body></html>");

        objectServer = new TestServer();
        // Three pieces with pauses; the second ends inside a two-byte character.
        objectServer->qhashScript["/pieces"] = {{0, header("200 OK", bytePieces.size()) + "first piece, "},
                                                {300, "second piece with \xc3"},
                                                {300, "\xbc split, third"}};
        objectServer->qhashScript["/slow"] = {
            {0, header("200 OK", 10) + "slow"}, {300, " and"}, {300, " "}, {300, "a"}};
        objectServer->qhashScript["/fast"] = {{0, header("200 OK", 4) + "fast"}};
        objectServer->qhashScript["/zero"] = {{0, header("200 OK", 12) + QByteArray("before\0after", 12)}};
        objectServer->qhashScript["/error"] = {{0, header("500 Internal Server Error", 17) + "server error page"}};
        objectServer->qhashScript["/empty"] = {{0, header("204 No Content", 0)}};
        objectServer->qhashScript["/close-delimited"] = {
            {0, "HTTP/1.0 200 OK\r\n\r\nuntil"}, {200, " the"}, {200, " end"}};
        objectServer->qhashScript["/stall"] = {{0, header("200 OK", 100) + "partial"}};
        objectServer->qhashHoldOpen["/stall"] = true;
        objectServer->qhashScript["/large"] = {{0, header("200 OK", intBound + 1)}, {0, QByteArray(intBound + 1, 'a')}};
        QVERIFY(objectServer->listen());
    }

    void cleanupTestCase() {
        delete objectServer;
        Display::dispel();
        delete objectMain;
    }

    void nameAndVersionAreTheApplicationIdentity() {
        GeneralJavascriptinterface objectGeneral;
        QCOMPARE(objectGeneral.getName(), QString("Tessaloquin"));
        QCOMPARE(objectGeneral.getVersion(), QString("4.5"));
    }

    void clipboardRoundTrip_data() {
        QTest::addColumn<QString>("strClipboard");
        QTest::newRow("password") << QString("S@0X?jG!0Btq?PX");
        QTest::newRow("non-ASCII and emoji") << QString::fromUtf8("pässwörd 例子 😀");
        QTest::newRow("spaces and lines kept") << QString("  two\nlines\t ");
        QTest::newRow("empty") << QString("");
    }

    void clipboardRoundTrip() {
        QFETCH(QString, strClipboard);
        GeneralJavascriptinterface objectGeneral;
        objectGeneral.setClipboard("something before");
        objectGeneral.setClipboard(strClipboard);
        QCOMPARE(objectGeneral.getClipboard(), strClipboard);
        QCOMPARE(QGuiApplication::clipboard()->text(QClipboard::Clipboard), strClipboard);
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("x-kde-passwordManagerHint"), QByteArray("secret"));
    }

    void openHttpHandsTheLinkToTheDesktop() {
        TestOpener objectOpener;
        QDesktopServices::setUrlHandler("http", &objectOpener, "open");
        GeneralJavascriptinterface objectGeneral;
        objectGeneral.openHttp("http://example.com/a b?q=ü");
        objectGeneral.openHttp("");
        QDesktopServices::unsetUrlHandler("http");
        QCOMPARE(objectOpener.qlistOpened.size(), 1);
        QCOMPARE(objectOpener.qlistOpened.first().toEncoded(), QByteArray("http://example.com/a%20b?q=%C3%BC"));
        // What the handler starts is the user's, with the user's mask.
        QCOMPARE(objectOpener.intMask, mode_t(022));
    }

    void getHttpReturnsTheWholeBody_data() {
        QTest::addColumn<QString>("strPath");
        QTest::addColumn<QString>("strExpected");
        QTest::newRow("three pieces with pauses")
            << QString("/pieces") << QString::fromUtf8("first piece, second piece with ü split, third");
        QTest::newRow("body ending with the connection") << QString("/close-delimited") << QString("until the end");
        QTest::newRow("zero byte ends the text") << QString("/zero") << QString("before");
        QTest::newRow("error status with a body") << QString("/error") << QString("server error page");
        QTest::newRow("empty body") << QString("/empty") << QString("");
        QTest::newRow("unknown path, connection closed") << QString("/nothing") << QString("");
        QTest::newRow("data link") << QString("data:,done%00hidden") << QString("done");
        // Reading stops at the bound.
        QTest::newRow("web body larger than the bound") << QString("/large") << QString(intBound, 'a');
        TestSupport::writeFile("large.txt", QByteArray(intBound + 1, 'a'));
        QTest::newRow("local file larger than the bound")
            << QUrl::fromLocalFile(TestSupport::appPath("large.txt")).toString() << QString(intBound, 'a');
        QTest::newRow("file:///dev/zero") << QString("file:///dev/zero") << QString("");
    }

    void getHttpReturnsTheWholeBody() {
        QFETCH(QString, strPath);
        QFETCH(QString, strExpected);
        GeneralJavascriptinterface objectGeneral;
        QElapsedTimer objectTimer;
        objectTimer.start();
        const QString strResult =
            objectGeneral.getHttp(strPath.startsWith("/") ? objectServer->link(strPath) : strPath);
        QCOMPARE(strResult, strExpected);
        QVERIFY2(objectTimer.elapsed() < 4000, qPrintable(QString::number(objectTimer.elapsed())));
    }

    void getHttpFailsQuickly_data() {
        QTest::addColumn<QString>("strLink");
        QTcpServer objectClosed;
        QVERIFY(objectClosed.listen(QHostAddress::LocalHost, 0));
        const quint16 intPort = objectClosed.serverPort();
        objectClosed.close();
        QTest::newRow("refused port") << QString("http://127.0.0.1:%1/").arg(intPort);
        QTest::newRow("unknown scheme") << QString("nosuchscheme://example.com/");
        QTest::newRow("empty link") << QString("");
        QTest::newRow("missing file") << QUrl::fromLocalFile(TestSupport::appPath("no-such-file")).toString();
    }

    void getHttpFailsQuickly() {
        QFETCH(QString, strLink);
        GeneralJavascriptinterface objectGeneral;
        QElapsedTimer objectTimer;
        objectTimer.start();
        QCOMPARE(objectGeneral.getHttp(strLink), QString());
        QVERIFY2(objectTimer.elapsed() < 2000, qPrintable(QString::number(objectTimer.elapsed())));
    }

    void getHttpGivesUpAfterFiveSecondsWithWhatArrived() {
        GeneralJavascriptinterface objectGeneral;
        // A call the page makes meanwhile, which the first cannot return before, ends with it.
        QString strInner;
        QTimer::singleShot(2500, this, [&]() { strInner = objectGeneral.getHttp(objectServer->link("/stall")); });
        QElapsedTimer objectTimer;
        objectTimer.start();
        QCOMPARE(objectGeneral.getHttp(objectServer->link("/stall")), QString("partial"));
        QVERIFY2(objectTimer.elapsed() >= 4900 && objectTimer.elapsed() < 5500,
                 qPrintable(QString::number(objectTimer.elapsed())));
        QCOMPARE(strInner, QString("partial"));
    }

    void finishedCallLeavesNoTimerBehind() {
        GeneralJavascriptinterface objectGeneral;
        QCOMPARE(objectGeneral.getHttp(objectServer->link("/fast")), QString("fast"));
        QCOMPARE(objectGeneral.getHttp(""), QString());

        // Five seconds on, nothing of those calls may end a loop that is running then.
        QEventLoop objectLoop;
        QElapsedTimer objectTimer;
        objectTimer.start();
        QTimer::singleShot(5600, Qt::PreciseTimer, &objectLoop, SLOT(quit()));
        objectLoop.exec();
        QVERIFY2(objectTimer.elapsed() >= 5500, qPrintable(QString::number(objectTimer.elapsed())));
    }

    // A hostile server sends a small compressed answer that unpacks to gigabytes, whatever was asked for.
    void getHttpNeverUnpacksAnAnswerBeyondItsBound() {
        z_stream objectStream = {};
        QVERIFY(deflateInit2(&objectStream, 9, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY) == Z_OK);
        QByteArray byteZeros(1 << 20, '\0');
        QByteArray byteBlocks[2];
        for (QByteArray &byteBlock : byteBlocks) {
            byteBlock.resize(1 << 16);
            objectStream.next_in = reinterpret_cast<Bytef *>(byteZeros.data());
            objectStream.avail_in = uInt(byteZeros.size());
            objectStream.next_out = reinterpret_cast<Bytef *>(byteBlock.data());
            objectStream.avail_out = uInt(byteBlock.size());
            QCOMPARE(deflate(&objectStream, Z_FULL_FLUSH), Z_OK);
            byteBlock.resize(byteBlock.size() - int(objectStream.avail_out));
        }
        deflateEnd(&objectStream);
        // Each flushed megabyte of zeros after the first is the same block: 2 GiB in about 2 MB.
        objectServer->qhashScript["/bomb"] = {
            {0, "HTTP/1.1 200 OK\r\nContent-Encoding: gzip\r\nContent-Type: text/plain\r\nConnection: close\r\n\r\n" +
                    byteBlocks[0] + byteBlocks[1].repeated(2047)}};

        // The peak of this process's memory is counted afresh from here.
        const auto status = [](const QByteArray &byteField) {
            QFile objectStatus("/proc/self/status");
            objectStatus.open(QIODevice::ReadOnly);
            const QByteArray byteStatus = objectStatus.readAll();
            const int intAt = byteStatus.indexOf(byteField) + byteField.size();
            return byteStatus.mid(intAt, byteStatus.indexOf("kB", intAt) - intAt).trimmed().toLongLong();
        };
        QFile objectClear("/proc/self/clear_refs");
        QVERIFY(objectClear.open(QIODevice::WriteOnly) && objectClear.write("5") == 1);
        objectClear.close();
        const qint64 intBefore = status("VmRSS:");
        GeneralJavascriptinterface objectGeneral;
        QElapsedTimer objectTimer;
        objectTimer.start();
        // The answer as it was sent, up to its first zero byte.
        QCOMPARE(objectGeneral.getHttp(objectServer->link("/bomb")), QString::fromUtf8(byteBlocks[0].left(3)));
        QVERIFY2(objectTimer.elapsed() < 4000, qPrintable(QString::number(objectTimer.elapsed())));
        QVERIFY2(status("VmHWM:") - intBefore < 200 * 1024, qPrintable(QString::number(status("VmHWM:") - intBefore)));
    }

    void nestedCallsEachGetTheirOwnAnswer_data() {
        QTest::addColumn<QString>("strOuterPath");
        QTest::addColumn<QString>("strInnerPath");
        QTest::addColumn<QString>("strOuterExpected");
        QTest::addColumn<QString>("strInnerExpected");
        QTest::newRow("inner ends first")
            << QString("/slow") << QString("/fast") << QString("slow and a") << QString("fast");
        QTest::newRow("outer ends while inner waits")
            << QString("/close-delimited") << QString("/slow") << QString("until the end") << QString("slow and a");
    }

    void nestedCallsEachGetTheirOwnAnswer() {
        QFETCH(QString, strOuterPath);
        QFETCH(QString, strInnerPath);
        QFETCH(QString, strOuterExpected);
        QFETCH(QString, strInnerExpected);

        // The page may call again while a fetch waits, as a timer of its own would.
        GeneralJavascriptinterface objectGeneral;
        QString strInner = "not called";
        QTimer::singleShot(100, this, [&]() { strInner = objectGeneral.getHttp(objectServer->link(strInnerPath)); });
        QElapsedTimer objectTimer;
        objectTimer.start();
        const QString strOuter = objectGeneral.getHttp(objectServer->link(strOuterPath));
        QCOMPARE(strOuter, strOuterExpected);
        QCOMPARE(strInner, strInnerExpected);
        QVERIFY2(objectTimer.elapsed() < 4000, qPrintable(QString::number(objectTimer.elapsed())));
    }

    void pageReachesTheServices() {
        TestPage *objectPage = TestSupport::installTestPage(Display::obtain());
        QCOMPARE(TestSupport::evaluate(Display::obtain(), "jsGeneral.getName() + ' ' + jsGeneral.getVersion()"),
                 QVariant("Tessaloquin 4.5"));
        QCOMPARE(TestSupport::evaluate(Display::obtain(), "jsGeneral.getHttp('" + objectServer->link("/pieces") + "')"),
                 QVariant(QString::fromUtf8(bytePieces)));
        TestSupport::evaluate(Display::obtain(), QString::fromUtf8("jsGeneral.setClipboard('kopiert ü')"));
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("kopiert ü"));
        QCOMPARE(TestSupport::evaluate(Display::obtain(), "jsGeneral.getClipboard()"),
                 QVariant(QString::fromUtf8("kopiert ü")));
        QCOMPARE(objectPage->qstringlistConsole, QStringList());
    }

    void pageSeesTheSixServicesInOrder() {
        const QMetaObject &objectMeta = GeneralJavascriptinterface::staticMetaObject;
        QCOMPARE(QString(objectMeta.className()), QString("GeneralJavascriptinterface"));
        QStringList qstringlistSignatures;
        for (int intIndex = objectMeta.methodOffset(); intIndex < objectMeta.methodCount(); intIndex += 1) {
            const QMetaMethod objectMethod = objectMeta.method(intIndex);
            QCOMPARE(objectMethod.access(), QMetaMethod::Public);
            QCOMPARE(objectMethod.methodType(), QMetaMethod::Slot);
            qstringlistSignatures.append(QString(objectMethod.typeName()) + " " + objectMethod.methodSignature());
        }
        QCOMPARE(qstringlistSignatures,
                 QStringList({"QString getName()", "QString getVersion()", "QString getHttp(QString)",
                              "void openHttp(QString)", "QString getClipboard()", "void setClipboard(QString)"}));
    }
};

QTEST_MAIN(TestGeneralJavascriptinterface)
#include "test_generaljavascriptinterface.moc"
