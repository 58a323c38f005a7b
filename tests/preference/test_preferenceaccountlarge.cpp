#include "display/Display.h"
#include "display/DisplayEngine.h"
#include "main/Main.h"
#include "preference/PreferenceAccount.h"
#include "preference/PreferenceAccountJavascriptinterface.h"
#include "preference/PreferenceAccountObserver.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

namespace {

const int intAccounts = 100000;

// Bounds a user would still accept, with room for a machine shared with other work; the sanitizer build runs
// several times slower.
const qint64 intSlower = TestSupport::boolSanitized ? 5 : 1;

// Websites in an order of their own, so that sorting is visible.
QString website(int intIndex) {
    return QString("site%1.example").arg((qint64(intIndex) * 7919) % intAccounts, 6, 10, QChar('0'));
}

QString elapsed(qint64 intMs, qint64 intBound) {
    return QString("%1 ms, bound %2 ms").arg(intMs).arg(intBound);
}

} // namespace

class TestPreferenceAccountLarge : public QObject {
    Q_OBJECT

    Main *objectMain = nullptr;

    QVariant evaluate(const QString &strScript) { return TestSupport::evaluate(Display::obtain(), strScript); }

private slots:
    void initTestCase() {
        objectMain = new Main(qobject_cast<QApplication *>(QCoreApplication::instance()));
        TestSupport::resetRes(true);
        TestSupport::recordMessages();

        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        PreferenceAccountObserver::obtain()->boolEnabled = false;
        QElapsedTimer objectTimer;
        objectTimer.start();
        objectStore->transactionOpen();
        for (int intIndex = 0; intIndex < intAccounts; intIndex += 1) {
            objectStore->strWebsite = website(intIndex);
            objectStore->strMail = QString("user%1@mail%2.example").arg(intIndex).arg(intIndex % 37);
            objectStore->strUser = QString("user-%1").arg(intIndex);
            objectStore->strNote = intIndex % 10 == 0 ? QString("note of account %1").arg(intIndex) : QString();
            objectStore->intLength = 4 + intIndex % 24;
            objectStore->strSpecial = intIndex % 2 == 0 ? "!" : "";
            objectStore->create();
        }
        objectStore->transactionClose();
        PreferenceAccountObserver::obtain()->boolEnabled = true;
        qInfo("%d accounts stored in %lld ms", intAccounts, objectTimer.elapsed());
        QCOMPARE(TestSupport::recordMessages().filter("PreferenceAccount:"), QStringList());
    }

    void cleanupTestCase() {
        Display::dispel();
        TestSupport::closeStore();
        delete objectMain;
    }

    void countAndCursorWalkThemAll() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        QElapsedTimer objectTimer;
        objectTimer.start();
        QCOMPARE(objectStore->count(), intAccounts);
        const qint64 intCount = objectTimer.elapsed();
        QVERIFY2(intCount < 1000 * intSlower, qPrintable(elapsed(intCount, 1000 * intSlower)));

        objectTimer.restart();
        objectStore->selectOpen("SELECT * FROM PreferenceAccount WHERE strWebsite >= ? ORDER BY strWebsite", {""});
        int intRows = 0;
        QString strPrevious;
        bool boolOrdered = true;
        for (objectStore->selectNext(); objectStore->intIdent != 0; objectStore->selectNext()) {
            boolOrdered = boolOrdered && strPrevious < objectStore->strWebsite;
            strPrevious = objectStore->strWebsite;
            intRows += 1;
        }
        objectStore->selectClose();
        const qint64 intWalk = objectTimer.elapsed();
        QCOMPARE(intRows, intAccounts);
        QVERIFY(boolOrdered);
        QCOMPARE(strPrevious, QString("site099999.example"));
        QVERIFY2(intWalk < 10000 * intSlower, qPrintable(elapsed(intWalk, 10000 * intSlower)));
        qInfo("count in %lld ms, cursor over every account in %lld ms", intCount, intWalk);
    }

    void getAllWritesThemAll() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        PreferenceAccountJavascriptinterface objectBridge;
        QElapsedTimer objectTimer;
        objectTimer.start();
        objectStore->selectOpen("SELECT * FROM PreferenceAccount ORDER BY intIdent", {});
        const QString strJson = objectBridge.getAll();
        objectStore->selectClose();
        const qint64 intElapsed = objectTimer.elapsed();

        const QJsonArray objectArray = QJsonDocument::fromJson(strJson.toUtf8()).array();
        QCOMPARE(objectArray.size(), intAccounts);
        const QJsonObject objectLast = objectArray.last().toObject();
        QCOMPARE(objectLast.value("intIdent").toInt(), intAccounts);
        QCOMPARE(objectLast.value("strWebsite").toString(), website(intAccounts - 1));
        QCOMPARE(objectLast.value("intLength").toInt(), 4 + (intAccounts - 1) % 24);
        QCOMPARE(objectArray.first().toObject().value("strNote").toString(), QString("note of account 0"));
        QVERIFY2(intElapsed < 10000 * intSlower, qPrintable(elapsed(intElapsed, 10000 * intSlower)));
        qInfo("getAll of every account in %lld ms, %d characters", intElapsed, int(strJson.size()));
    }

    void shippedPageListsThem() {
        if (!QDir(TestSupport::appPath("assets/js")).exists()) {
            QSKIP("the shipped page has no scripts yet");
        }
        QElapsedTimer objectTimer;
        objectTimer.start();
        TestPage *objectPage = TestSupport::installTestPage(Display::obtain());
        // Some account's website shows once the page has listed them.
        QTRY_VERIFY_WITH_TIMEOUT(evaluate("document.body.textContent.indexOf('.example') !== -1").toBool(),
                                 int(20000 * intSlower));
        const qint64 intElapsed = objectTimer.elapsed();
        QCOMPARE(objectPage->qstringlistConsole, QStringList());
        QVERIFY2(intElapsed < 10000 * intSlower, qPrintable(elapsed(intElapsed, 10000 * intSlower)));
        qInfo("the shipped page loaded and listed %d accounts in %lld ms", intAccounts, intElapsed);
        // Still answering.
        QCOMPARE(evaluate("jsPreferenceAccount.count()").toInt(), intAccounts);
    }

    void pageReadsThemAllThroughItsBridge() {
        TestPage *objectPage =
            Display::objectSingleton == nullptr ? nullptr : Display::obtain()->objectEngine->findChild<TestPage *>();
        if (objectPage == nullptr) {
            objectPage = TestSupport::installTestPage(Display::obtain());
        }
        objectPage->qstringlistConsole.clear();

        QElapsedTimer objectTimer;
        objectTimer.start();
        const QString strResult =
            evaluate("jsPreferenceAccount.selectOpen('SELECT * FROM PreferenceAccount ORDER BY strWebsite DESC', []);"
                     "var listAccount = JSON.parse(jsPreferenceAccount.getAll());"
                     "jsPreferenceAccount.selectClose();"
                     "listAccount.length + ' ' + listAccount[0].strWebsite + ' ' + jsPreferenceAccount.count();")
                .toString();
        const qint64 intElapsed = objectTimer.elapsed();
        QCOMPARE(strResult, QString("%1 site099999.example %1").arg(intAccounts));
        QCOMPARE(objectPage->qstringlistConsole, QStringList());
        QVERIFY2(intElapsed < 15000 * intSlower, qPrintable(elapsed(intElapsed, 15000 * intSlower)));
        qInfo("the page listed every account through its bridge in %lld ms", intElapsed);
    }
};

QTEST_MAIN(TestPreferenceAccountLarge)
#include "test_preferenceaccountlarge.moc"
