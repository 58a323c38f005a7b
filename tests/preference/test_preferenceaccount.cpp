#include "preference/PreferenceAccount.h"
#include "preference/PreferenceAccountObserver.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QTest>
#include <QThread>

namespace {

int intNotified = 0;

void observerCount() {
    intNotified += 1;
}

void fill(PreferenceAccount *objectStore, const QString &strWebsite, const QString &strMail, const QString &strUser,
          const QString &strNote, int intLength, const QString &strSpecial) {
    objectStore->strWebsite = strWebsite;
    objectStore->strMail = strMail;
    objectStore->strUser = strUser;
    objectStore->strNote = strNote;
    objectStore->intLength = intLength;
    objectStore->strSpecial = strSpecial;
}

// The whole current record as one line, nulls shown as such, for comparisons that name every field.
QString record(PreferenceAccount *objectStore) {
    const auto text = [](const QString &strValue) {
        return strValue.isNull() ? QString("null") : "'" + strValue + "'";
    };
    return QString("%1 %2 %3 %4 %5 %6 %7")
        .arg(objectStore->intIdent)
        .arg(text(objectStore->strWebsite), text(objectStore->strMail), text(objectStore->strUser),
             text(objectStore->strNote))
        .arg(objectStore->intLength)
        .arg(text(objectStore->strSpecial));
}

const QString strEmptyRecord = "0 null null null null 0 null";

QList<int> identsOf(PreferenceAccount *objectStore, const QString &strSql, const QStringList &qstringlistParameter) {
    QList<int> qlistIdent;
    objectStore->selectOpen(strSql, qstringlistParameter);
    for (objectStore->selectNext(); objectStore->intIdent != 0; objectStore->selectNext()) {
        qlistIdent.append(objectStore->intIdent);
    }
    objectStore->selectClose();
    return qlistIdent;
}

QStringList storeMessages() {
    return TestSupport::recordMessages().filter("PreferenceAccount:");
}

} // namespace

class TestPreferenceAccount : public QObject {
    Q_OBJECT

private slots:
    void init() {
        TestSupport::resetStore();
        intNotified = 0;
        PreferenceAccountObserver::obtain()->addObserver(observerCount);
    }

    void cleanup() {
        TestSupport::closeStore();
        QCOMPARE(TestSupport::connectionWarnings(), QStringList());
    }

    void freshFileGetsTheTableAndKeepsItsRows() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        QVERIFY(QFile::exists(TestSupport::appPath("res/PreferenceAccount.sqlite")));

        const QList<QVariantList> qlistColumn =
            TestSupport::selectSql("SELECT name, type, pk, \"notnull\" FROM pragma_table_info('PreferenceAccount')");
        const QList<QVariantList> qlistExpected = {{"intIdent", "INTEGER", 1, 0}, {"strWebsite", "TEXT", 0, 0},
                                                   {"strMail", "TEXT", 0, 0},     {"strUser", "TEXT", 0, 0},
                                                   {"strNote", "TEXT", 0, 0},     {"intLength", "INTEGER", 0, 0},
                                                   {"strSpecial", "TEXT", 0, 0}};
        QCOMPARE(qlistColumn, qlistExpected);
        QCOMPARE(TestSupport::selectSql("SELECT sql FROM sqlite_master WHERE name = 'PreferenceAccount'"),
                 QList<QVariantList>({{"CREATE TABLE PreferenceAccount \t( \t\tintIdent INTEGER PRIMARY KEY "
                                       "AUTOINCREMENT, \t\tstrWebsite TEXT, \t\tstrMail TEXT, \t\tstrUser TEXT, "
                                       "\t\tstrNote TEXT, \t\tintLength INTEGER, \t\tstrSpecial TEXT \t)"}}));
        QCOMPARE(objectStore->count(), 0);
        QCOMPARE(record(objectStore), strEmptyRecord);

        fill(objectStore, "example.org", "ada@example.org", "ada", "first", 20, "!#");
        objectStore->create();
        objectStore->create();
        PreferenceAccount::dispel();

        objectStore = PreferenceAccount::obtain();
        QCOMPARE(objectStore->count(), 2);
        QCOMPARE(identsOf(objectStore, "SELECT * FROM PreferenceAccount", {}), QList<int>({1, 2}));
    }

    void createStoresTheRecordAsItIs() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        objectStore->intIdent = 77;
        fill(objectStore, "example.org", "ada@example.org", "ada", QString(), 24, "");
        objectStore->create();

        // The current record is left as the caller wrote it.
        QCOMPARE(record(objectStore), QString("77 'example.org' 'ada@example.org' 'ada' null 24 ''"));
        QCOMPARE(objectStore->count(), 1);

        // No value is stored as NULL, an empty text as an empty text.
        QCOMPARE(TestSupport::selectSql("SELECT intIdent, typeof(strNote), typeof(strSpecial), typeof(intLength) "
                                        "FROM PreferenceAccount"),
                 QList<QVariantList>({{1, "null", "text", "integer"}}));

        objectStore->selectOpen("SELECT * FROM PreferenceAccount", {});
        objectStore->selectNext();
        QCOMPARE(record(objectStore), QString("1 'example.org' 'ada@example.org' 'ada' null 24 ''"));
        objectStore->selectNext();
        QCOMPARE(record(objectStore), strEmptyRecord);
        objectStore->selectNext();
        QCOMPARE(record(objectStore), strEmptyRecord);
    }

    void selectNextWithoutCursorGivesTheEmptyRecord() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        objectStore->create();
        objectStore->intIdent = 5;
        fill(objectStore, "a", "b", "c", "d", 6, "e");
        objectStore->selectNext();
        QCOMPARE(record(objectStore), strEmptyRecord);

        objectStore->selectOpen("SELECT * FROM PreferenceAccount", {});
        objectStore->selectClose();
        objectStore->selectNext();
        QCOMPARE(record(objectStore), strEmptyRecord);

        objectStore->selectOpen("SELECT * FROM nowhere", {});
        objectStore->selectNext();
        QCOMPARE(record(objectStore), strEmptyRecord);
    }

    void saveRemoveAndClearTouchOnlyTheirRows() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        fill(objectStore, "one.org", "1@one.org", "one", "n1", 10, "!");
        objectStore->create();
        fill(objectStore, "two.org", "2@two.org", "two", "n2", 12, "?");
        objectStore->create();

        objectStore->intIdent = 2;
        fill(objectStore, "zwei.org", QString(), "zwei", "", 16, "$%");
        objectStore->save();
        QCOMPARE(TestSupport::selectSql("SELECT intIdent, strWebsite, typeof(strMail), strUser, strNote, intLength, "
                                        "strSpecial FROM PreferenceAccount ORDER BY intIdent"),
                 QList<QVariantList>(
                     {{1, "one.org", "text", "one", "n1", 10, "!"}, {2, "zwei.org", "null", "zwei", "", 16, "$%"}}));

        // An identifier of no row changes nothing.
        objectStore->intIdent = 9;
        objectStore->save();
        objectStore->remove();
        QCOMPARE(objectStore->count(), 2);

        objectStore->intIdent = 1;
        objectStore->remove();
        QCOMPARE(identsOf(objectStore, "SELECT intIdent FROM PreferenceAccount", {}), QList<int>({2}));

        objectStore->intIdent = 3;
        fill(objectStore, "kept", "kept", "kept", "kept", 3, "kept");
        objectStore->clear();
        QCOMPARE(objectStore->count(), 0);
        QCOMPARE(record(objectStore), QString("3 'kept' 'kept' 'kept' 'kept' 3 'kept'"));
    }

    void cursorBindsItsValues_data() {
        QTest::addColumn<QString>("strSql");
        QTest::addColumn<QStringList>("qstringlistParameter");
        QTest::addColumn<QList<int>>("qlistIdent");

        const QString strWhere = "SELECT * FROM PreferenceAccount WHERE strWebsite = ? ORDER BY intIdent";
        QTest::newRow("two rows match") << strWhere << QStringList({"a.org"}) << QList<int>({1, 3});
        QTest::newRow("a quote is a value") << strWhere << QStringList({"it's.org"}) << QList<int>({4});
        QTest::newRow("empty text is not null") << strWhere << QStringList({""}) << QList<int>({5});
        QTest::newRow("null string binds as empty text") << strWhere << QStringList({QString()}) << QList<int>({5});
        QTest::newRow("no match") << strWhere << QStringList({"nowhere.org"}) << QList<int>();
        QTest::newRow("injection stays a value") << strWhere << QStringList({"a.org' OR '1'='1"}) << QList<int>();
        QTest::newRow("positions in order") << "SELECT * FROM PreferenceAccount WHERE strWebsite = ? AND strUser = ?"
                                            << QStringList({"a.org", "ann"}) << QList<int>({3});
        QTest::newRow("values are text")
            << "SELECT * FROM PreferenceAccount WHERE typeof(?) = 'text' AND intLength = 16" << QStringList({"7"})
            << QList<int>({2});
    }

    void cursorBindsItsValues() {
        QFETCH(QString, strSql);
        QFETCH(QStringList, qstringlistParameter);
        QFETCH(QList<int>, qlistIdent);

        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        const QStringList qstringlistWebsite = {"a.org", "b.org", "a.org", "it's.org", "", QString()};
        for (int intIndex = 0; intIndex < qstringlistWebsite.size(); intIndex += 1) {
            fill(objectStore, qstringlistWebsite[intIndex], "m", intIndex == 2 ? "ann" : "bob", "", 15 + intIndex, "");
            objectStore->create();
        }

        QCOMPARE(identsOf(objectStore, strSql, qstringlistParameter), qlistIdent);
    }

    void cursorLoadsTheColumnsItHasByName() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        fill(objectStore, "example.org", "ada@example.org", "ada", "note", 24, "!");
        objectStore->create();

        objectStore->selectOpen("SELECT strWebsite, intIdent FROM PreferenceAccount", {});
        objectStore->selectNext();
        QCOMPARE(record(objectStore), QString("1 'example.org' null null null 0 null"));

        // Any order, other columns ignored, names without regard to case.
        objectStore->selectOpen(
            "SELECT 'x' AS strOther, intLength, strNote AS STRUSER, intIdent FROM PreferenceAccount", {});
        objectStore->selectNext();
        QCOMPARE(record(objectStore), QString("1 null null 'note' null 24 null"));

        // Without intIdent a row reads like the end.
        objectStore->selectOpen("SELECT strWebsite FROM PreferenceAccount", {});
        objectStore->selectNext();
        QCOMPARE(record(objectStore), QString("0 'example.org' null null null 0 null"));

        // Not a number gives 0.
        objectStore->selectOpen("SELECT intIdent, 'long' AS intLength FROM PreferenceAccount", {});
        objectStore->selectNext();
        QCOMPARE(record(objectStore), QString("1 null null null null 0 null"));
    }

    void identifiersAreNeverReused() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        for (int intIndex = 0; intIndex < 3; intIndex += 1) {
            objectStore->create();
        }
        objectStore->intIdent = 3;
        objectStore->remove();
        objectStore->create();
        QCOMPARE(identsOf(objectStore, "SELECT intIdent FROM PreferenceAccount ORDER BY intIdent", {}),
                 QList<int>({1, 2, 4}));

        objectStore->clear();
        objectStore->create();
        QCOMPARE(identsOf(objectStore, "SELECT intIdent FROM PreferenceAccount", {}), QList<int>({5}));
    }

    void everyChangeNotifiesOnceEvenWhenItFails() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        QCOMPARE(intNotified, 0);

        objectStore->create();
        QCOMPARE(intNotified, 1);
        objectStore->intIdent = 1;
        objectStore->save();
        QCOMPARE(intNotified, 2);
        objectStore->remove();
        QCOMPARE(intNotified, 3);
        objectStore->clear();
        QCOMPARE(intNotified, 4);

        // The page's own statements change the table unannounced.
        objectStore->create();
        QCOMPARE(intNotified, 5);
        objectStore->selectOpen("DELETE FROM PreferenceAccount", {});
        QCOMPARE(objectStore->count(), 0);
        objectStore->count();
        objectStore->selectNext();
        objectStore->selectClose();
        QCOMPARE(intNotified, 5);

        objectStore->selectOpen("DROP TABLE PreferenceAccount", {});
        QCOMPARE(intNotified, 5);
        objectStore->create();
        objectStore->save();
        objectStore->remove();
        objectStore->clear();
        QCOMPARE(intNotified, 9);
    }

    void failedStatementWritesOneLineWithoutTheValues() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        objectStore->selectOpen("DROP TABLE PreferenceAccount", {});
        QCOMPARE(storeMessages(), QStringList());

        fill(objectStore, "secret-website", "secret-mail", "secret-user", "secret-note", 31, "secret-special");
        objectStore->create();
        QCOMPARE(storeMessages().size(), 1);
        QVERIFY2(storeMessages().first().contains("no such table"), qPrintable(storeMessages().first()));

        objectStore->selectOpen("SELECT * FROM PreferenceAccount WHERE strWebsite = ?", {"secret-parameter"});
        objectStore->selectOpen("SELEKT nothing", {});
        objectStore->count();
        QCOMPARE(storeMessages().size(), 4);
        for (const QString &strMessage : storeMessages()) {
            QVERIFY2(!strMessage.contains("secret") && !strMessage.contains("31") && !strMessage.contains('\n'),
                     qPrintable(strMessage));
        }
    }

    void cursorWithTheWrongNumberOfValuesYieldsNothing_data() {
        QTest::addColumn<QString>("strWhere");
        QTest::addColumn<QStringList>("qstringlistParameter");
        QTest::addColumn<int>("intRows");

        QTest::newRow("as many as placeholders") << "strWebsite = ? AND strUser = ?" << QStringList({"a", "u"}) << 1;
        QTest::newRow("fewer") << "strWebsite = ? AND strUser = ?" << QStringList({"a"}) << 0;
        QTest::newRow("none for one") << "strWebsite = ?" << QStringList() << 0;
        QTest::newRow("more") << "strWebsite = ?" << QStringList({"a", "u"}) << 0;
        QTest::newRow("one for none") << "strWebsite = 'a'" << QStringList({"a"}) << 0;
    }

    void cursorWithTheWrongNumberOfValuesYieldsNothing() {
        QFETCH(QString, strWhere);
        QFETCH(QStringList, qstringlistParameter);
        QFETCH(int, intRows);

        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        fill(objectStore, "a", "m", "u", "", 15, "");
        objectStore->create();
        objectStore->create();
        objectStore->strWebsite = "b";
        objectStore->create();

        QCOMPARE(
            identsOf(objectStore, "SELECT * FROM PreferenceAccount WHERE " + strWhere, qstringlistParameter).size(),
            intRows * 2);

        // A changing statement runs only with the right number of values.
        objectStore->selectOpen("DELETE FROM PreferenceAccount WHERE " + strWhere, qstringlistParameter);
        QCOMPARE(objectStore->count(), 3 - intRows * 2);
        QCOMPARE(storeMessages().size(), intRows == 0 ? 2 : 0);
    }

    void lockNeverWaitsAndIsNeverUnlockedWhenFree() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        const auto held = [objectStore]() {
            if (!objectStore->objectMutex.tryLock()) {
                return true;
            }
            objectStore->objectMutex.unlock();
            return false;
        };

        objectStore->release();
        QVERIFY(!held());

        objectStore->acquire();
        QVERIFY(held());
        objectStore->acquire(); // returns at once
        QVERIFY(held());

        // Another caller does not wait either.
        QSemaphore objectDone;
        QThread *objectThread = QThread::create([objectStore, &objectDone]() {
            objectStore->acquire();
            objectDone.release();
        });
        objectThread->start();
        const bool boolReturned = objectDone.tryAcquire(1, 10000);
        objectThread->wait();
        delete objectThread;
        QVERIFY(boolReturned);
        QVERIFY(held());

        objectStore->release();
        QVERIFY(!held());
        objectStore->release();
        QVERIFY(!held());

        objectStore->acquire();
        QVERIFY(held());
        objectStore->release();
        QVERIFY(!held());
    }

    void transactionBracketsChanges() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        objectStore->transactionOpen();
        objectStore->create();
        objectStore->create();
        // Not yet visible to another connection.
        QCOMPARE(TestSupport::selectSql("SELECT COUNT(*) FROM PreferenceAccount"), QList<QVariantList>({{0}}));
        objectStore->transactionClose();
        QCOMPARE(TestSupport::selectSql("SELECT COUNT(*) FROM PreferenceAccount"), QList<QVariantList>({{2}}));

        // Refused without harm: closing without one, opening one twice.
        objectStore->transactionClose();
        objectStore->transactionOpen();
        objectStore->transactionOpen();
        objectStore->transactionClose();
        QCOMPARE(objectStore->count(), 2);
    }

    void transactionThatRunsOutOfSpaceKeepsNothing() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        objectStore->create();
        {
            // Room for a few hundred of the three thousand rows.
            TestSupport::FileSizeLimit objectLimit(
                QFileInfo(TestSupport::appPath("res/PreferenceAccount.sqlite")).size() + 512 * 1024);
            objectStore->transactionOpen();
            for (int intIndex = 0; intIndex < 3000; intIndex += 1) {
                fill(objectStore, QString::number(intIndex), "m", "u", QString(1024, 'n'), 15, "");
                objectStore->create();
            }
            objectStore->transactionClose();
        }
        QCOMPARE(objectStore->count(), 1);

        objectStore->transactionOpen();
        objectStore->create();
        objectStore->transactionClose();
        QCOMPARE(objectStore->count(), 2);
    }

    void foreignIdentifiersAreNeverAliased_data() {
        QTest::addColumn<qlonglong>("intForeign");
        QTest::newRow("2^31 + 5") << 2147483653LL;
        QTest::newRow("2^32, which an int reads as the end") << 4294967296LL;
        QTest::newRow("2^32 + 1, which an int reads as row 1") << 4294967297LL;
        QTest::newRow("0, which stands for the end") << 0LL;
    }

    void foreignIdentifiersAreNeverAliased() {
        QFETCH(qlonglong, intForeign);
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        fill(objectStore, "bank.example", "b@bank.example", "b", "", 15, "");
        objectStore->create();
        QVERIFY(TestSupport::executeSql(
            QString("INSERT INTO PreferenceAccount VALUES (2, 'zoo.example', '', '', '', 15, ''), "
                    "(%1, 'a.foreign.example', 'f@foreign.example', 'f', 'kept', 20, '!')")
                .arg(intForeign)));
        const QString strRows = "SELECT intIdent, strWebsite, strNote FROM PreferenceAccount ORDER BY strWebsite";

        // First in this order, the row neither ends the list nor stands for another; said once.
        QCOMPARE(identsOf(objectStore, strRows, {}), QList<int>({1, 2}));
        QCOMPARE(identsOf(objectStore, strRows, {}), QList<int>({1, 2}));
        QCOMPARE(storeMessages().size(), 1);

        objectStore->intIdent = 1;
        fill(objectStore, "bank.example", "b@bank.example", "b", "changed", 15, "");
        objectStore->save();
        objectStore->intIdent = 2;
        objectStore->remove();
        // Numbered after the foreign row, a new one would be out of every caller's reach: it is not made.
        objectStore->create();
        QList<QVariantList> qlistExpected = {{intForeign, "a.foreign.example", "kept"}, {1, "bank.example", "changed"}};
        if (intForeign == 0) {
            qlistExpected.append({3, "bank.example", "changed"});
        }
        QCOMPARE(TestSupport::selectSql(strRows), qlistExpected);
    }

    void storeWithoutItsFolderFailsQuietly() {
        QDir(TestSupport::appPath("res")).removeRecursively();
        TestSupport::writeFile("res", "a file where the folder belongs");

        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        QVERIFY(!storeMessages().isEmpty());
        objectStore->create();
        QCOMPARE(intNotified, 1);
        QCOMPARE(objectStore->count(), 0);
        objectStore->selectOpen("SELECT * FROM PreferenceAccount", {});
        objectStore->selectNext();
        QCOMPARE(record(objectStore), strEmptyRecord);

        PreferenceAccount::dispel();
        QFile::remove(TestSupport::appPath("res"));
    }

    void defaultConnectionIsReplacedCleanly() {
        // As the start-up upgrade could leave it: registered under the default name, open, unused.
        QSqlDatabase::removeDatabase(QSqlDatabase::defaultConnection);
        {
            QSqlDatabase objectDatabase = QSqlDatabase::addDatabase("QSQLITE");
            objectDatabase.setDatabaseName(TestSupport::appPath("res/PreferenceAccount.sqlite"));
            QVERIFY(objectDatabase.open());
        }
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        objectStore->create();
        QCOMPARE(objectStore->count(), 1);

        PreferenceAccount::dispel();
        objectStore = PreferenceAccount::obtain();
        QCOMPARE(objectStore->count(), 1);
        QCOMPARE(TestSupport::connectionWarnings(), QStringList());
        QCOMPARE(storeMessages(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestPreferenceAccount)
#include "test_preferenceaccount.moc"
