#include "display/Display.h"
#include "display/DisplayNetworkmanager.h"
#include "main/Main.h"
#include "support/TestSupport.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWebFrame>
#include <QWebPage>

namespace {

const char *const strCountingPage = "<!DOCTYPE html>\n"
                                    "<html><head><meta charset=\"utf-8\">\n"
                                    "<script src=\"file:///android_asset/js/a.js?v=3\"></script>\n"
                                    "<script>\n"
                                    "var intBackward = 0;\n"
                                    "var Navigation = { updateBackward: function() { intBackward += 1; } };\n"
                                    "</script></head>\n"
                                    "<body><input id=\"field\"></body></html>\n";

const QStringList qstringlistBridges = {
    "jsGeneral",           "jsLanguage", "jsPassword", "jsPreferenceAccount", "jsPreferenceAccountSelected",
    "jsPreferenceLanguage"};

} // namespace

class TestDisplay : public QObject {
    Q_OBJECT

    Main *objectMain = nullptr;

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
};

QTEST_MAIN(TestDisplay)
#include "test_display.moc"
