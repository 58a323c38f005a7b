#include "display/Display.h"
#include "display/DisplayNetworkmanager.h"
#include "main/Main.h"
#include "support/TestSupport.h"

#include <QMimeData>
#include <QPointer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QVBoxLayout>
#include <QWebFrame>
#include <QWebPage>
#include <QWebView>

namespace {

const char *const strCountingPage = "<!DOCTYPE html>\n"
                                    "<html><head><meta charset=\"utf-8\">\n"
                                    "<script src=\"file:///android_asset/js/a.js?v=3\"></script>\n"
                                    "<script>\n"
                                    "var intBackward = 0;\n"
                                    "var Navigation = { updateBackward: function() { intBackward += 1; } };\n"
                                    "</script></head>\n"
                                    "<body><input id=\"field\" style=\"position:fixed;left:0;top:0\">\n"
                                    "<a id=\"link\" href=\"#\" style=\"position:fixed;left:0;top:100px\">link</a>\n"
                                    "<form id=\"form\" method=\"post\"><input type=\"submit\"\n"
                                    " style=\"position:fixed;left:0;top:200px\"></form></body></html>\n";

// A document from elsewhere. Its title says whether it ran and which bridge objects it found.
const char *const strForeignPage = "<!DOCTYPE html><html><body>foreign<script>\n"
                                   "document.title = typeof window.jsGeneral + typeof window.jsPreferenceAccount;\n"
                                   "</script></body></html>\n";

const QStringList qstringlistBridges = {
    "jsGeneral",           "jsLanguage", "jsPassword", "jsPreferenceAccount", "jsPreferenceAccountSelected",
    "jsPreferenceLanguage"};

} // namespace

class TestDisplay : public QObject {
    Q_OBJECT

    Main *objectMain = nullptr;
    // Answers every request with the foreign document.
    QTcpServer objectServer;
    int intRequests = 0;

    // Drags mime data over the view and drops it at objectPoint, in the order the desktop delivers a drop.
    static void drop(QWebView *objectWebview, const QPoint &objectPoint, const QMimeData *objectMime) {
        QDragEnterEvent objectEnter(objectPoint, Qt::CopyAction, objectMime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(objectWebview, &objectEnter);
        QDragMoveEvent objectMove(objectPoint, Qt::CopyAction, objectMime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(objectWebview, &objectMove);
        QDropEvent objectDrop(objectPoint, Qt::CopyAction, objectMime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(objectWebview, &objectDrop);
    }

    bool waitForFirstLoad() {
        QSignalSpy objectSpy(Display::obtain()->objectWebview, SIGNAL(loadFinished(bool)));
        return objectSpy.wait(20000) && objectSpy.first().first().toBool();
    }

    int backwardCount() { return TestSupport::evaluate(Display::obtain(), "intBackward").toInt(); }

private slots:
    void initTestCase() {
        objectMain = new Main(qobject_cast<QApplication *>(QCoreApplication::instance()));
        TestSupport::resetRes();
        TestSupport::writePage(strCountingPage);
        TestSupport::writeFile("assets/js/a.js", "var boolAssetLoaded = true;\n");

        QVERIFY(objectServer.listen(QHostAddress::LocalHost));
        connect(&objectServer, &QTcpServer::newConnection, this, [this]() {
            while (QTcpSocket *objectSocket = objectServer.nextPendingConnection()) {
                intRequests += 1;
                connect(objectSocket, &QTcpSocket::readyRead, objectSocket, [objectSocket]() {
                    objectSocket->write(QByteArray("HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n") +
                                        strForeignPage);
                    objectSocket->disconnectFromHost();
                });
            }
        });
        TestSupport::writeFile("foreign.html", strForeignPage);
        TestSupport::writeFile("frame.html", "<!DOCTYPE html><html><body><script>\n"
                                             "parent.document.title = 'reached ' + parent.jsGeneral.getName();\n"
                                             "</script></body></html>\n");
    }

    void cleanup() { Display::dispel(); }

    void windowHasItsTitleSizeAndLayout() {
        Display::init();
        Display *objectDisplay = Display::objectSingleton;
        QVERIFY(objectDisplay != nullptr);
        QVERIFY(objectDisplay->isVisible());
        QCOMPARE(objectDisplay->windowTitle(), QString("Tessaloquin"));
        QCOMPARE(objectDisplay->size(), QSize(665, 690));
        QCOMPARE(objectDisplay->centralWidget(), objectDisplay->objectWidget);
        QCOMPARE(objectDisplay->objectWebview->parentWidget(), objectDisplay->objectWidget);
        QCOMPARE(objectDisplay->objectLayout->contentsMargins(), QMargins(0, 0, 0, 0));
        QCOMPARE(objectDisplay->objectLayout->count(), 1);
        QTRY_COMPARE(objectDisplay->objectWebview->geometry(), objectDisplay->objectWidget->rect());
        QCOMPARE(objectDisplay->objectWidget->size(), QSize(665, 690));
    }

    void firstRequestIsRewritten() {
        Display::init();
        QVERIFY(waitForFirstLoad());
        QCOMPARE(TestSupport::evaluate(Display::obtain(), "typeof boolAssetLoaded").toString(), QString("boolean"));
        QVERIFY(qobject_cast<DisplayNetworkmanager *>(
                    Display::obtain()->objectWebview->page()->networkAccessManager()) != nullptr);
    }

    void initTwiceMakesOneWindow() {
        Display::init();
        QPointer<Display> objectFirst = Display::objectSingleton;
        Display::init();
        QCOMPARE(Display::objectSingleton, objectFirst.data());
        QCOMPARE(Display::obtain(), objectFirst.data());

        int intWindows = 0;
        for (QWidget *objectWidget : QApplication::topLevelWidgets()) {
            intWindows += qobject_cast<Display *>(objectWidget) != nullptr ? 1 : 0;
        }
        QCOMPARE(intWindows, 1);
    }

    void obtainAfterDispelMakesANewWindow() {
        QPointer<Display> objectFirst = Display::obtain();
        QVERIFY(objectFirst->isVisible());
        QPointer<QWebView> objectWebview = objectFirst->objectWebview;
        Display::dispel();
        QVERIFY(Display::objectSingleton == nullptr);
        QVERIFY(objectFirst.isNull());
        QVERIFY(objectWebview.isNull());
        Display::dispel(); // a second dispel does nothing

        Display *objectSecond = Display::obtain();
        QVERIFY(objectSecond != nullptr);
        QVERIFY(objectSecond->isVisible());
    }

    void escapeCallsBackwardOncePerPress() {
        QVERIFY(waitForFirstLoad());
        Display *objectDisplay = Display::obtain();
        objectDisplay->activateWindow();

        QTest::keyClick(objectDisplay->objectWebview, Qt::Key_Escape);
        QTRY_COMPARE(backwardCount(), 1);
        QTest::keyClick(objectDisplay->objectWebview, Qt::Key_Escape);
        QTRY_COMPARE(backwardCount(), 2);

        // Auto-repeated presses count as presses.
        QKeyEvent objectRepeat(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(objectDisplay->objectWebview, &objectRepeat);
        QTRY_COMPARE(backwardCount(), 3);

        // The key handler itself, reached directly.
        QTest::keyClick(objectDisplay, Qt::Key_Escape);
        QTRY_COMPARE(backwardCount(), 4);

        for (Qt::Key enumKey : {Qt::Key_A, Qt::Key_Return, Qt::Key_Backspace, Qt::Key_F1, Qt::Key_Tab}) {
            QTest::keyClick(objectDisplay, enumKey);
        }
        QTest::keyClick(objectDisplay->objectWebview, Qt::Key_Q);
        QTest::qWait(100);
        QCOMPARE(backwardCount(), 4);
    }

    void escapeHandledByThePageIsNotForwarded() {
        TestSupport::writePage(QByteArray(strCountingPage)
                                   .replace("<body>", "<body><script>document.addEventListener('keydown', "
                                                      "function(e) { e.preventDefault(); });</script>"));
        QVERIFY(waitForFirstLoad());
        Display *objectDisplay = Display::obtain();
        QTest::keyClick(objectDisplay->objectWebview, Qt::Key_Escape);
        QTest::qWait(100);
        QCOMPARE(backwardCount(), 0);
        TestSupport::writePage(strCountingPage);
        TestSupport::writeFile("assets/js/a.js", "var boolAssetLoaded = true;\n");
    }

    void escapeWithoutNavigationDoesNotCrash() {
        TestSupport::writePage("<!DOCTYPE html><html><body>no navigation</body></html>");
        QVERIFY(waitForFirstLoad());
        QTest::keyClick(Display::obtain()->objectWebview, Qt::Key_Escape);
        QTest::qWait(50);
        QVERIFY(Display::obtain()->isVisible());
        TestSupport::writePage(strCountingPage);
        TestSupport::writeFile("assets/js/a.js", "var boolAssetLoaded = true;\n");
    }

    void reloadPublishesFreshObjectsAndKeepsTheOld() {
        Display *objectDisplay = Display::obtain();
        QVERIFY(waitForFirstLoad());

        QList<QPointer<QObject>> qlistFirst;
        QStringList qstringlistPublished;
        for (const QString &strName : qstringlistBridges) {
            QObject *objectBridge = TestSupport::evaluate(objectDisplay, strName).value<QObject *>();
            if (objectBridge != nullptr) {
                qlistFirst.append(objectBridge);
                qstringlistPublished.append(strName);
            }
        }
        if (qstringlistPublished.isEmpty()) {
            QSKIP("no bridge object is published yet");
        }

        QVERIFY(TestSupport::reloadPage(objectDisplay));
        for (int intIndex = 0; intIndex < qstringlistPublished.size(); intIndex += 1) {
            QObject *objectFresh =
                TestSupport::evaluate(objectDisplay, qstringlistPublished[intIndex]).value<QObject *>();
            QVERIFY2(objectFresh != nullptr, qPrintable(qstringlistPublished[intIndex]));
            QVERIFY2(objectFresh != qlistFirst[intIndex].data(), qPrintable(qstringlistPublished[intIndex]));
            QVERIFY2(!qlistFirst[intIndex].isNull(), qPrintable(qstringlistPublished[intIndex]));
            QCOMPARE(objectFresh->parent(), nullptr);
        }
    }

    void foreignDocumentNeverLoads_data() {
        QTest::addColumn<QString>("strAction");
        QTest::addColumn<bool>("boolHttp");
        QTest::newRow("dropped file") << QString("drop") << false;
        QTest::newRow("dropped web link") << QString("drop") << true;
        QTest::newRow("location set to a local file") << QString("location") << false;
        QTest::newRow("link to a local file") << QString("link") << false;
        QTest::newRow("link to a web address") << QString("link") << true;
        QTest::newRow("form sent to a web address") << QString("form") << true;
        QTest::newRow("form sent to a local file") << QString("form") << false;
        // A frame of the page reaches the page's objects through parent.
        QTest::newRow("frame showing a local file") << QString("frame") << false;
        QTest::newRow("frame showing a web address") << QString("frame") << true;
    }

    void foreignDocumentNeverLoads() {
        QFETCH(QString, strAction);
        QFETCH(bool, boolHttp);
        const QString strForeign =
            boolHttp ? QString("http://127.0.0.1:%1/").arg(objectServer.serverPort())
                     : QUrl::fromLocalFile(TestSupport::appPath(strAction == "frame" ? "frame.html" : "foreign.html"))
                           .toString();

        // First on a page without the guard, which shows that the action does bring the document in; then on
        // the window's own page.
        for (bool boolGuarded : {false, true}) {
            Display::dispel();
            Display *objectDisplay = Display::obtain();
            if (boolGuarded) {
                QVERIFY(waitForFirstLoad());
            } else {
                TestSupport::installTestPage(objectDisplay)->boolGuarded = false;
            }
            QWebFrame *objectFrame = objectDisplay->objectWebview->page()->mainFrame();
            QObject *objectGeneral = TestSupport::evaluate(objectDisplay, "jsGeneral").value<QObject *>();
            QVERIFY(objectGeneral != nullptr);
            intRequests = 0;

            if (strAction == "drop") {
                // As a browser or a file manager drags it: the address, also as text.
                QMimeData objectMime;
                objectMime.setUrls({QUrl(strForeign)});
                objectMime.setText(strForeign);
                drop(objectDisplay->objectWebview, QPoint(400, 600), &objectMime);
            } else {
                TestSupport::evaluate(objectDisplay, "document.getElementById('link').href = '" + strForeign +
                                                         "'; document.getElementById('form').action = '" + strForeign +
                                                         "';");
                if (strAction == "location") {
                    TestSupport::evaluate(objectDisplay, "window.location = '" + strForeign + "';");
                } else if (strAction == "frame") {
                    TestSupport::evaluate(objectDisplay, "var f = document.createElement('iframe'); f.src = '" +
                                                             strForeign + "'; document.body.appendChild(f);");
                } else {
                    QTest::mouseClick(objectDisplay->objectWebview, Qt::LeftButton, Qt::NoModifier,
                                      QPoint(10, strAction == "link" ? 108 : 210));
                }
            }

            if (!boolGuarded && strAction == "frame") {
                // A local file in a frame calls the page's objects; a web address at least loads.
                if (boolHttp) {
                    QTRY_VERIFY(intRequests > 0);
                } else {
                    QTRY_COMPARE(objectFrame->title(), QString("reached Tessaloquin"));
                }
                continue;
            }
            if (!boolGuarded) {
                // Even there it gets no bridge object.
                QTRY_COMPARE(objectFrame->title(), QString("undefinedundefined"));
                continue;
            }
            // A refused document gives no signal to wait for.
            QTest::qWait(500);
            QCOMPARE(intRequests, 0);
            QCOMPARE(objectFrame->url(), QUrl::fromLocalFile(TestSupport::appPath("assets/index.html")));
            QCOMPARE(objectFrame->title(), QString());
            QCOMPARE(TestSupport::evaluate(objectDisplay, "jsGeneral.getName()"), QVariant("Tessaloquin"));
            // The page's own reload still publishes a fresh set.
            QVERIFY(TestSupport::reloadFromPage(objectDisplay));
            QObject *objectFresh = TestSupport::evaluate(objectDisplay, "jsGeneral").value<QObject *>();
            QVERIFY(objectFresh != nullptr && objectFresh != objectGeneral);
        }
    }

    void droppedTextStillFillsAField() {
        QVERIFY(waitForFirstLoad());
        QMimeData objectMime;
        objectMime.setUrls({QUrl::fromLocalFile(TestSupport::appPath("foreign.html"))});
        objectMime.setText("ada@example.org");
        drop(Display::obtain()->objectWebview, QPoint(10, 10), &objectMime);
        QTRY_COMPARE(TestSupport::evaluate(Display::obtain(), "document.getElementById('field').value"),
                     QVariant("ada@example.org"));
    }
};

QTEST_MAIN(TestDisplay)
#include "test_display.moc"
