#include "display/Display.h"
#include "main/Main.h"
#include "support/TestSupport.h"

#include <QPointer>
#include <QStyle>
#include <QTest>
#include <QTimer>

class TestMain : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        TestSupport::resetRes();
        TestSupport::writePage("<!DOCTYPE html><html><body><script>var Navigation = {updateBackward: function() "
                               "{}};</script>started</body></html>");
    }

    void constructorSetsIdentityStyleAndIcon() {
        QApplication *objectApplication = qobject_cast<QApplication *>(QCoreApplication::instance());
        Main *objectMain = new Main(objectApplication);
        QCOMPARE(objectMain->objectApplication, objectApplication);
        QCOMPARE(QCoreApplication::organizationName(), QString("Harlowin"));
        QCOMPARE(QCoreApplication::applicationName(), QString("Tessaloquin"));
        QCOMPARE(QCoreApplication::applicationVersion(), QString("4.5"));
        QCOMPARE(QApplication::style()->objectName().toLower(), QString("fusion"));

        const QIcon objectIcon = QApplication::windowIcon();
        QVERIFY(!objectIcon.isNull());
        QCOMPARE(objectIcon.availableSizes(), QList<QSize>({QSize(16, 16)}));

        delete objectMain;
    }

    void runShowsTheWindowAndEndsWhenItCloses() {
        Display::dispel();
        QApplication *objectApplication = qobject_cast<QApplication *>(QCoreApplication::instance());
        Main *objectMain = new Main(objectApplication);

        bool boolQuit = false;
        bool boolShownInsideExec = false;
        QTimer::singleShot(0, objectMain, SLOT(run()));
        QTimer::singleShot(0, objectMain, [&]() {
            // Queued after run: by now run is in its own loop and the window exists.
            QPointer<Display> objectDisplay = Display::objectSingleton;
            boolShownInsideExec = !objectDisplay.isNull() && objectDisplay->isVisible();
            QTimer::singleShot(200, objectMain, []() { Display::obtain()->close(); });
        });
        connect(objectApplication, &QCoreApplication::aboutToQuit, objectMain, [&]() { boolQuit = true; });

        QVERIFY(Display::objectSingleton == nullptr);
        const int intResult = objectApplication->exec();
        QCOMPARE(intResult, 0);
        QVERIFY(boolShownInsideExec);
        QVERIFY(boolQuit);
    }
};

QTEST_MAIN(TestMain)
#include "test_main.moc"
