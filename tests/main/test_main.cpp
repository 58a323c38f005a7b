#include "display/Display.h"
#include "main/Main.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QPointer>
#include <QStyle>
#include <QTest>
#include <QTimer>

// Notes, when the window is first shown, whether the account data upgrade has already run.
class ShowWatcher : public QObject {
public:
    bool boolShown = false;
    bool boolUpgradedBefore = false;

protected:
    bool eventFilter(QObject *objectWatched, QEvent *objectEvent) override {
        if (!boolShown && objectEvent->type() == QEvent::Show && qobject_cast<Display *>(objectWatched) != nullptr) {
            boolShown = true;
            boolUpgradedBefore =
                TestSupport::readFile("res/PreferenceAccount.ini").contains("boolUpdate%284.0%29=false") &&
                QFile::exists(TestSupport::appPath("res/PreferenceAccount.sqlite"));
        }
        return false;
    }
};

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
        ShowWatcher objectWatcher;
        objectApplication->installEventFilter(&objectWatcher);

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
        objectApplication->removeEventFilter(&objectWatcher);
        QVERIFY(objectWatcher.boolShown);
        QVERIFY(objectWatcher.boolUpgradedBefore);
    }
};

QTEST_MAIN(TestMain)
#include "test_main.moc"
