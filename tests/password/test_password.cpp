#include "password/Password.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QTest>

#include <climits>

namespace {

// The derivation written out step by step with plain string operations, to hold the fast one against.
QString deriveStepByStep(const QString &strMasterpassword, const QString &strWebsite, const QString &strMail,
                         int intLength, const QString &strSpecial) {
    QString strText = QString::fromLatin1(
        QCryptographicHash::hash((strMasterpassword + strWebsite + strMail).toUtf8(), QCryptographicHash::Sha1)
            .toBase64());
    strText.replace("+", "");
    strText.replace("/", "");
    strText = strText.mid(0, intLength);
    const QStringList qstringlistGroups = {"!1ai", "?3ck", "@5em", "#7go"};
    for (const QString &strGroup : qstringlistGroups) {
        if (strSpecial.indexOf(strGroup.at(0)) != -1) {
            for (int intIndex = 1; intIndex < 4; intIndex += 1) {
                strText.replace(strGroup.at(intIndex), strGroup.at(0));
            }
        }
    }
    return strText;
}

QString derive(const QString &strMasterpassword, const QString &strWebsite, const QString &strMail, int intLength,
               const QString &strSpecial) {
    return Password::obtain()->update(strMasterpassword, strWebsite, strMail, intLength, strSpecial);
}

// Text of 0 to 12 characters drawn from ASCII, Latin-1, CJK, surrogate pairs and lone surrogates.
QString randomText(QRandomGenerator &objectRandom) {
    static const QString strPool = QString::fromUtf8("aZ09 !?@#+/=äöüß例子中国") + QChar(0xd83d) + QChar(0xde00) +
                                   QChar(0xdc00) + QChar(0xd800) + QChar(0x0000) + QChar(0xffff);
    QString strText;
    const int intSize = objectRandom.bounded(13);
    for (int intIndex = 0; intIndex < intSize; intIndex += 1) {
        strText.append(strPool.at(objectRandom.bounded(strPool.size())));
    }
    return strText;
}

} // namespace

class TestPassword : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { Password::dispel(); }

    void referenceVectors_data() {
        QTest::addColumn<QString>("strMasterpassword");
        QTest::addColumn<QString>("strWebsite");
        QTest::addColumn<QString>("strMail");
        QTest::addColumn<int>("intLength");
        QTest::addColumn<QString>("strSpecial");
        QTest::addColumn<QString>("strPassword");

        // Computed independently of this code.
        struct Vector {
            const char *strName;
            const char *strMasterpassword;
            const char *strWebsite;
            const char *strMail;
            int intLength;
            const char *strSpecial;
            const char *strPassword;
        };
        const Vector objectVectors[] = {
            {"plain, shortened", "master", "example.com", "me@example.com", 15, "", "S50X3jGa0BtqkPX"},
            {"every marker", "master", "example.com", "me@example.com", 15, "!?@#", "S@0X?jG!0Btq?PX"},
            {"all empty, negative length keeps padding", "", "", "", -1, "", "2jmj7l5rSw0yVbvlWAYkKYBwk="},
            {"length zero is empty", "", "", "", 0, "!", ""},
            {"non-ASCII hashed as UTF-8", "pässwörd", "例子.中国", "ü@x.de", 20, "#", "UaLKczrsKQyswiaA#6k#"},
            {"length equal to text keeps padding", "a", "b", "c", 28, "@", "qZkNkcGgWq6PiVx@FDCbJzQ2J0="},
            {"length beyond text", "a", "b", "c", 100, "!", "qZkNkcGgWq6P!VxeFDCbJzQ2J0="},
            {"other special characters ignored", "abc", "def", "", 10, "xyz!", "H4rBDyPFtb"},
        };
        for (const Vector &objectVector : objectVectors) {
            QTest::newRow(objectVector.strName)
                << QString::fromUtf8(objectVector.strMasterpassword) << QString::fromUtf8(objectVector.strWebsite)
                << QString::fromUtf8(objectVector.strMail) << objectVector.intLength
                << QString::fromUtf8(objectVector.strSpecial) << QString::fromUtf8(objectVector.strPassword);
        }
    }

    void referenceVectors() {
        QFETCH(QString, strMasterpassword);
        QFETCH(QString, strWebsite);
        QFETCH(QString, strMail);
        QFETCH(int, intLength);
        QFETCH(QString, strSpecial);
        QFETCH(QString, strPassword);

        QCOMPARE(derive(strMasterpassword, strWebsite, strMail, intLength, strSpecial), strPassword);
        // Again on the same instance and on a fresh one: nothing is kept between calls.
        QCOMPARE(derive(strMasterpassword, strWebsite, strMail, intLength, strSpecial), strPassword);
        Password::dispel();
        QCOMPARE(derive(strMasterpassword, strWebsite, strMail, intLength, strSpecial), strPassword);
    }

    void matchesTheStepByStepDerivation() {
        QRandomGenerator objectRandom(20240611);
        const QVector<int> qvectorLength = {INT_MIN, -100, -1, 0, 1, 2, 13, 24, 25, 26, 27, 28, 29, 100, INT_MAX};
        for (int intRound = 0; intRound < 5000; intRound += 1) {
            const QString strMasterpassword = randomText(objectRandom);
            const QString strWebsite = randomText(objectRandom);
            const QString strMail = randomText(objectRandom);
            const int intLength = qvectorLength.at(objectRandom.bounded(qvectorLength.size()));
            // Every set of markers turns up, among other characters and repeated.
            QString strSpecial;
            for (int intIndex = objectRandom.bounded(6); intIndex > 0; intIndex -= 1) {
                strSpecial.append(QString("!?@#x1a ").at(objectRandom.bounded(8)));
            }
            QCOMPARE(derive(strMasterpassword, strWebsite, strMail, intLength, strSpecial),
                     deriveStepByStep(strMasterpassword, strWebsite, strMail, intLength, strSpecial));
        }
    }

    void shorterLengthIsPrefixOfLonger() {
        const QString strWhole = derive("correct horse", "example.org", "user@example.org", -1, "!?@#");
        QVERIFY(strWhole.size() <= 28);
        QVERIFY(strWhole.endsWith('='));
        for (int intLength = 0; intLength <= 30; intLength += 1) {
            const QString strShort = derive("correct horse", "example.org", "user@example.org", intLength, "!?@#");
            QCOMPARE(strShort.size(), qMin(intLength, strWhole.size()));
            QVERIFY2(strWhole.startsWith(strShort), qPrintable(strShort));
        }
        QCOMPARE(derive("correct horse", "example.org", "user@example.org", INT_MAX, "!?@#"), strWhole);
        QCOMPARE(derive("correct horse", "example.org", "user@example.org", INT_MIN, "!?@#"), strWhole);
        QCOMPARE(derive("correct horse", "example.org", "user@example.org", 0, "!?@#"), QString(""));
    }

    void boundariesBetweenPartsDoNotCount_data() {
        QTest::addColumn<QString>("strJoined");
        QTest::newRow("ASCII") << QString("masterexample.comme@example.com");
        QTest::newRow("non-ASCII") << QString::fromUtf8("pässwörd例子.中国ü@x.de");
        // A character outside the basic plane is two UTF-16 units, which a boundary may split.
        QTest::newRow("surrogate pairs") << QString::fromUtf8("a😀b😀c😀");
    }

    void boundariesBetweenPartsDoNotCount() {
        QFETCH(QString, strJoined);
        const QString strExpected = derive(strJoined, "", "", -1, "!?@#");
        for (int intFirst = 0; intFirst <= strJoined.size(); intFirst += 1) {
            for (int intSecond = intFirst; intSecond <= strJoined.size(); intSecond += 1) {
                QCOMPARE(derive(strJoined.left(intFirst), strJoined.mid(intFirst, intSecond - intFirst),
                                strJoined.mid(intSecond), -1, "!?@#"),
                         strExpected);
            }
        }
    }

    void markerReplacesOnlyItsLowerCaseGroup_data() {
        QTest::addColumn<QString>("strSpecial");
        QTest::addColumn<QString>("strReplaced");
        QTest::newRow("!") << QString("!") << QString("1ai");
        QTest::newRow("?") << QString("?") << QString("3ck");
        QTest::newRow("@") << QString("@") << QString("5em");
        QTest::newRow("#") << QString("#") << QString("7go");
        QTest::newRow("marker amid other text") << QString("xx#yy") << QString("7go");
        QTest::newRow("two markers repeated, any order") << QString("@!@!") << QString("1ai5em");
        QTest::newRow("no marker") << QString("$%&*()") << QString("");
    }

    void markerReplacesOnlyItsLowerCaseGroup() {
        QFETCH(QString, strSpecial);
        QFETCH(QString, strReplaced);

        // Enough inputs that every replaced character and its upper-case form turn up.
        QString strSeenPlain;
        for (int intInput = 0; intInput < 300; intInput += 1) {
            const QString strWebsite = QString("site%1.example").arg(intInput);
            const QString strPlain = derive("master", strWebsite, "me@example.com", -1, "");
            const QString strMarked = derive("master", strWebsite, "me@example.com", -1, strSpecial);
            QCOMPARE(strMarked.size(), strPlain.size());
            strSeenPlain += strPlain;
            for (int intIndex = 0; intIndex < strPlain.size(); intIndex += 1) {
                const QChar charPlain = strPlain.at(intIndex);
                if (!strReplaced.contains(charPlain)) {
                    QCOMPARE(strMarked.at(intIndex), charPlain);
                    continue;
                }
                // The marker of the group the character belongs to.
                const QString strGroups = "!1ai?3ck@5em#7go";
                const QChar charMarker = strGroups.at(strGroups.indexOf(charPlain) / 4 * 4);
                QCOMPARE(strMarked.at(intIndex), charMarker);
            }
        }
        for (const QChar charReplaced : strReplaced) {
            QVERIFY(strSeenPlain.contains(charReplaced));
            QVERIFY(strSeenPlain.contains(charReplaced.toUpper()) || charReplaced.isDigit());
        }
    }

    void withoutMarkersOnlyLettersAndDigits() {
        for (int intInput = 0; intInput < 200; intInput += 1) {
            const QString strWhole = derive(QString::number(intInput), "example.com", "", -1, "abc+/=");
            QVERIFY(strWhole.endsWith('='));
            for (const QChar charPassword : strWhole.chopped(1)) {
                QVERIFY2(charPassword.isLetterOrNumber() && charPassword.unicode() < 128, qPrintable(strWhole));
            }
        }
    }

    void obtainCreatesOneInstance() {
        QVERIFY(Password::objectSingleton == nullptr);
        Password::init();
        Password *objectFirst = Password::objectSingleton;
        QVERIFY(objectFirst != nullptr);
        Password::init();
        QCOMPARE(Password::obtain(), objectFirst);
        Password::dispel();
        QVERIFY(Password::objectSingleton == nullptr);
        Password::dispel();
        QVERIFY(Password::obtain() != nullptr);
    }
};

QTEST_APPLESS_MAIN(TestPassword)
#include "test_password.moc"
