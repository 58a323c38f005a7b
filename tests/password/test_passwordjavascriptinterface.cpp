#include "display/Display.h"
#include "main/Main.h"
#include "password/Password.h"
#include "password/PasswordJavascriptinterface.h"
#include "support/TestSupport.h"

#include <QMetaMethod>
#include <QTest>

class TestPasswordJavascriptinterface : public QObject {
    Q_OBJECT

    Main *objectMain = nullptr;
    TestPage *objectPage = nullptr;

private slots:
    void initTestCase() {
        objectMain = new Main(qobject_cast<QApplication *>(QCoreApplication::instance()));
        TestSupport::resetRes();
        TestSupport::writePage("<!DOCTYPE html><html><head><meta charset=\"utf-8\"></head><body>page</body></html>");
        objectPage = TestSupport::installTestPage(Display::obtain());
    }

    void cleanupTestCase() {
        QCOMPARE(objectPage->qstringlistConsole, QStringList());
        Display::dispel();
        delete objectMain;
    }

    void pageCallEqualsTheDerivation_data() {
        QTest::addColumn<QString>("strMasterpassword");
        QTest::addColumn<QString>("strWebsite");
        QTest::addColumn<QString>("strMail");
        QTest::addColumn<QString>("strLength"); // as the page writes it
        QTest::addColumn<int>("intLength");
        QTest::addColumn<QString>("strSpecial");

        QTest::newRow("every marker") << QString("master") << QString("example.com") << QString("me@example.com")
                                      << QString("15") << 15 << QString("!?@#");
        QTest::newRow("non-ASCII and quotes") << QString::fromUtf8("pä'ss\"wörd") << QString::fromUtf8("例子.中国")
                                              << QString::fromUtf8("ü@x.de") << QString("20") << 20 << QString("#");
        QTest::newRow("all empty, negative")
            << QString("") << QString("") << QString("") << QString("-1") << -1 << QString("");
        QTest::newRow("largest length") << QString("a") << QString("b") << QString("c") << QString("2147483647")
                                        << 2147483647 << QString("@");
        QTest::newRow("smallest length") << QString("a") << QString("b") << QString("c") << QString("-2147483648")
                                         << int(-2147483647 - 1) << QString("!");
        QTest::newRow("zero") << QString("a") << QString("b") << QString("c") << QString("0") << 0 << QString("!");
        QTest::newRow("spaces kept untrimmed")
            << QString(" master ") << QString(" site ") << QString(" mail ") << QString("28") << 28 << QString(" ! ");
    }

    void pageCallEqualsTheDerivation() {
        QFETCH(QString, strMasterpassword);
        QFETCH(QString, strWebsite);
        QFETCH(QString, strMail);
        QFETCH(QString, strLength);
        QFETCH(int, intLength);
        QFETCH(QString, strSpecial);

        // The first call of a run creates the derivation on demand.
        Password::dispel();
        const auto literal = [](QString strText) {
            return "'" + strText.replace("\\", "\\\\").replace("'", "\\'").replace("\"", "\\\"") + "'";
        };
        const QVariant objectResult = TestSupport::evaluate(
            Display::obtain(), "jsPassword.update(" + literal(strMasterpassword) + ", " + literal(strWebsite) + ", " +
                                   literal(strMail) + ", " + strLength + ", " + literal(strSpecial) + ")");
        QVERIFY(Password::objectSingleton != nullptr);
        QCOMPARE(objectResult.userType(), int(QMetaType::QString));
        QCOMPARE(objectResult.toString(),
                 Password().update(strMasterpassword, strWebsite, strMail, intLength, strSpecial));
    }

    void pageSeesOnlyUpdate() {
        const QMetaObject &objectMeta = PasswordJavascriptinterface::staticMetaObject;
        QCOMPARE(QString(objectMeta.className()), QString("PasswordJavascriptinterface"));
        QCOMPARE(objectMeta.methodCount() - objectMeta.methodOffset(), 1);
        const QMetaMethod objectUpdate = objectMeta.method(objectMeta.methodOffset());
        QCOMPARE(objectUpdate.methodSignature(), QByteArray("update(QString,QString,QString,int,QString)"));
        QCOMPARE(objectUpdate.access(), QMetaMethod::Public);
        QCOMPARE(objectUpdate.methodType(), QMetaMethod::Slot);
        QCOMPARE(objectUpdate.parameterNames(),
                 QList<QByteArray>({"strMasterpassword", "strWebsite", "strMail", "intLength", "strSpecial"}));
        QCOMPARE(objectMeta.propertyCount() - objectMeta.propertyOffset(), 0);
    }
};

QTEST_MAIN(TestPasswordJavascriptinterface)
#include "test_passwordjavascriptinterface.moc"
