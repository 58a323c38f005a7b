#include "main/MainUpdate.h"
#include "preference/PreferenceAccount.h"
#include "preference/PreferenceAccountObserver.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {

const QString strCurrentColumns = "intIdent INTEGER 1|strWebsite TEXT 0|strMail TEXT 0|strUser TEXT 0|strNote TEXT 0|"
                                  "intLength INTEGER 0|strSpecial TEXT 0";

// Name, declared type and key flag of each column of a table, in order.
QString columnsOf(const QString &strTable) {
    QStringList qstringlistColumn;
    for (const QVariantList &qlistRow :
         TestSupport::selectSql("SELECT name, type, pk FROM pragma_table_info('" + strTable + "')")) {
        qstringlistColumn.append(
            QString("%1 %2 %3").arg(qlistRow[0].toString(), qlistRow[1].toString(), qlistRow[2].toString()));
    }
    return qstringlistColumn.join("|");
}

// Every row of a table with the storage class of every field, so that NULL and '' stay apart.
QList<QVariantList> rowsOf(const QString &strTable) {
    QStringList qstringlistField;
    for (const QVariantList &qlistRow :
         TestSupport::selectSql("SELECT name FROM pragma_table_info('" + strTable + "')")) {
        qstringlistField.append(qlistRow[0].toString());
        qstringlistField.append("typeof(" + qlistRow[0].toString() + ")");
    }
    return TestSupport::selectSql("SELECT " + qstringlistField.join(", ") + " FROM " + strTable + " ORDER BY rowid");
}

QStringList tables() {
    QStringList qstringlistTable;
    for (const QVariantList &qlistRow :
         TestSupport::selectSql("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")) {
        qstringlistTable.append(qlistRow[0].toString());
    }
    return qstringlistTable;
}

bool build(const QStringList &qstringlistStatement) {
    for (const QString &strStatement : qstringlistStatement) {
        if (!TestSupport::executeSql(strStatement)) {
            return false;
        }
    }
    return true;
}

QStringList updateMessages() {
    return TestSupport::recordMessages().filter("MainUpdate:");
}

} // namespace

class TestMainUpdate : public QObject {
    Q_OBJECT

private slots:
    void init() { TestSupport::resetStore(); }

    void cleanup() {
        TestSupport::closeStore();
        QCOMPARE(TestSupport::connectionWarnings(), QStringList());
    }

    void firstStartWithoutFilesMakesThemBoth() {
        QDir(TestSupport::appPath("res")).removeRecursively();

        MainUpdate::run();

        // Written with the settings' own escaping, so that other versions read the same key.
        QVERIFY2(TestSupport::readFile("res/PreferenceAccount.ini").contains("boolUpdate%284.0%29=false"),
                 TestSupport::readFile("res/PreferenceAccount.ini").constData());
        QCOMPARE(QSettings(TestSupport::appPath("res/PreferenceAccount.ini"), QSettings::IniFormat)
                     .value("boolUpdate(4.0)")
                     .toBool(),
                 false);
        QCOMPARE(tables(), QStringList({"PreferenceAccount", "sqlite_sequence"}));
        QCOMPARE(columnsOf("PreferenceAccount"), strCurrentColumns);
        QCOMPARE(rowsOf("PreferenceAccount"), QList<QVariantList>());
        QCOMPARE(updateMessages(), QStringList());
        QVERIFY(!QSqlDatabase::contains(QSqlDatabase::defaultConnection));
    }

    void olderLayoutIsConverted_data() {
        QTest::addColumn<QStringList>("qstringlistBuild");
        QTest::addColumn<QList<QVariantList>>("qlistExpected");

        // A null string stands for NULL.
        const auto row = [](int intIdent, const QString &strWebsite, const QString &strMail, const QString &strUser,
                            const QString &strNote) {
            const auto type = [](const QString &strValue) { return QVariant(strValue.isNull() ? "null" : "text"); };
            return QVariantList({intIdent, "integer", strWebsite, type(strWebsite), strMail, type(strMail), strUser,
                                 type(strUser), strNote, type(strNote), 15, "integer", "", "text"});
        };

        QTest::newRow("layout A")
            << QStringList({"CREATE TABLE PreferenceAccount (intIdent INTEGER PRIMARY KEY AUTOINCREMENT, "
                            "strWebsite TEXT, strMail TEXT, strUser TEXT)",
                            "INSERT INTO PreferenceAccount VALUES (3, 'a.org', 'ada@a.org', 'ada')",
                            "INSERT INTO PreferenceAccount VALUES (8, 'b.org', NULL, 'bob')",
                            "INSERT INTO PreferenceAccount VALUES (20, 'zoë.org', 'zoë@zoë.org', '')"})
            << QList<QVariantList>({row(1, "a.org", "ada@a.org", "ada", ""), row(2, "b.org", QString(), "bob", ""),
                                    row(3, QString::fromUtf8("zoë.org"), QString::fromUtf8("zoë@zoë.org"), "", "")});

        QTest::newRow("layout B")
            << QStringList({"CREATE TABLE PreferenceAccount (qintIdent INTEGER PRIMARY KEY, qstrWebsite TEXT, "
                            "qstrMail TEXT, qstrUser TEXT, qstrNote TEXT)",
                            "INSERT INTO PreferenceAccount VALUES (5, 'a.org', 'ada@a.org', 'ada', 'first note')",
                            "INSERT INTO PreferenceAccount VALUES (6, 'b.org', 'bob@b.org', 'bob', NULL)",
                            "INSERT INTO PreferenceAccount VALUES (9, 'c.org', 'cy@c.org', 'cy', 'line\nbreak')"})
            << QList<QVariantList>({row(1, "a.org", "ada@a.org", "ada", "first note"),
                                    row(2, "b.org", "bob@b.org", "bob", QString()),
                                    row(3, "c.org", "cy@c.org", "cy", "line\nbreak")});
    }

    void olderLayoutIsConverted() {
        QFETCH(QStringList, qstringlistBuild);
        QFETCH(QList<QVariantList>, qlistExpected);
        QVERIFY(build(qstringlistBuild));

        MainUpdate::run();

        QCOMPARE(columnsOf("PreferenceAccount"), strCurrentColumns);
        QCOMPARE(rowsOf("PreferenceAccount"), qlistExpected);
        QVERIFY(!tables().contains("Temporary"));
        QCOMPARE(updateMessages(), QStringList());

        // The store takes over the connection and carries on with the numbering.
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        QCOMPARE(objectStore->count(), 3);
        objectStore->create();
        QCOMPARE(TestSupport::selectSql("SELECT MAX(intIdent) FROM PreferenceAccount"), QList<QVariantList>({{4}}));
    }

    void secondStartRunsNothing() {
        MainUpdate::run();
        QVERIFY(build({"DROP TABLE PreferenceAccount",
                       "CREATE TABLE PreferenceAccount (strWebsite TEXT, strMail TEXT, strUser TEXT)",
                       "INSERT INTO PreferenceAccount VALUES ('a.org', 'ada@a.org', 'ada')"}));

        MainUpdate::run();

        QCOMPARE(columnsOf("PreferenceAccount"), QString("strWebsite TEXT 0|strMail TEXT 0|strUser TEXT 0"));
        QCOMPARE(TestSupport::selectSql("SELECT * FROM PreferenceAccount"),
                 QList<QVariantList>({{"a.org", "ada@a.org", "ada"}}));

        // Nor does a start that finds the flag cleared but no database.
        QFile::remove(TestSupport::appPath("res/PreferenceAccount.sqlite"));
        MainUpdate::run();
        QVERIFY(!QFile::exists(TestSupport::appPath("res/PreferenceAccount.sqlite")));
    }

    void currentLayoutIsLeftAsItIs() {
        // The settings file was lost, the database kept.
        QVERIFY(build({"CREATE TABLE PreferenceAccount (intIdent INTEGER PRIMARY KEY AUTOINCREMENT, "
                       "strWebsite TEXT, strMail TEXT, strUser TEXT, strNote TEXT, intLength INTEGER, "
                       "strSpecial TEXT)",
                       "INSERT INTO PreferenceAccount VALUES (4, 'a.org', 'ada@a.org', 'ada', 'note', 20, '!#')",
                       "INSERT INTO PreferenceAccount VALUES (9, 'b.org', NULL, 'bob', NULL, 8, '')",
                       "INSERT INTO PreferenceAccount VALUES (12, 'c.org', 'cy@c.org', 'cy', '', 32, '$')",
                       "DELETE FROM PreferenceAccount WHERE intIdent = 12"}));
        const QList<QVariantList> qlistMaster = TestSupport::selectSql("SELECT * FROM sqlite_master");
        const QList<QVariantList> qlistSequence = TestSupport::selectSql("SELECT * FROM sqlite_sequence");
        const QList<QVariantList> qlistRow = rowsOf("PreferenceAccount");
        QCOMPARE(qlistRow.size(), 2);

        MainUpdate::run();

        QCOMPARE(rowsOf("PreferenceAccount"), qlistRow);
        QCOMPARE(TestSupport::selectSql("SELECT * FROM sqlite_master"), qlistMaster);
        QCOMPARE(TestSupport::selectSql("SELECT * FROM sqlite_sequence"), qlistSequence);
        QCOMPARE(updateMessages(), QStringList());
        QVERIFY(TestSupport::readFile("res/PreferenceAccount.ini").contains("boolUpdate%284.0%29=false"));
    }

    void unknownLayoutIsKeptAside_data() {
        QTest::addColumn<QStringList>("qstringlistBuild");
        QTest::addColumn<QString>("strBackup");

        const QStringList qstringlistUnrelated = {
            "CREATE TABLE PreferenceAccount (strName TEXT, strSecret TEXT, intAge INTEGER)",
            "INSERT INTO PreferenceAccount VALUES ('ada', 's3cret', 36)",
            "INSERT INTO PreferenceAccount VALUES (NULL, '', NULL)"};
        QTest::newRow("unrelated columns") << qstringlistUnrelated << "PreferenceAccountBackup";
        QTest::newRow("backup name taken")
            << qstringlistUnrelated +
                   QStringList({"CREATE TABLE PreferenceAccountBackup (x)",
                                "CREATE INDEX preferenceaccountbackup2 ON PreferenceAccountBackup (x)"})
            << "PreferenceAccountBackup3";
        QTest::newRow("current but one column")
            << QStringList({"CREATE TABLE PreferenceAccount (intIdent INTEGER PRIMARY KEY AUTOINCREMENT, "
                            "strWebsite TEXT, strMail TEXT, strUser TEXT, strNote TEXT, intLength INTEGER)",
                            "INSERT INTO PreferenceAccount VALUES (7, 'a.org', 'ada@a.org', 'ada', 'kept note', 22)"})
            << "PreferenceAccountBackup";
        QTest::newRow("layout A with fields a copy would drop")
            << QStringList({"CREATE TABLE PreferenceAccount (strWebsite TEXT, strMail TEXT, strUser TEXT, "
                            "intLength INTEGER)",
                            "INSERT INTO PreferenceAccount VALUES ('a.org', 'ada@a.org', 'ada', 40)"})
            << "PreferenceAccountBackup";
        QTest::newRow("layout A with a column of its own")
            << QStringList({"CREATE TABLE PreferenceAccount (intIdent INTEGER PRIMARY KEY, strWebsite TEXT, "
                            "strMail TEXT, strUser TEXT, strComment TEXT)",
                            "INSERT INTO PreferenceAccount VALUES (3, 'a.org', 'ada@a.org', 'ada', 'kept comment')"})
            << "PreferenceAccountBackup";
        QTest::newRow("layout B with a column of its own")
            << QStringList({"CREATE TABLE PreferenceAccount (qintIdent INTEGER PRIMARY KEY, qstrWebsite TEXT, "
                            "qstrMail TEXT, qstrUser TEXT, qstrNote TEXT, qintLength INTEGER)",
                            "INSERT INTO PreferenceAccount VALUES (5, 'a.org', 'ada@a.org', 'ada', 'note', 22)"})
            << "PreferenceAccountBackup";
        QTest::newRow("layouts A and B at once")
            << QStringList({"CREATE TABLE PreferenceAccount (strWebsite, strMail, strUser, qstrWebsite, qstrMail, "
                            "qstrUser, qstrNote)",
                            "INSERT INTO PreferenceAccount VALUES ('a', 'b', 'c', 'd', 'e', 'f', 'g')"})
            << "PreferenceAccountBackup";
    }

    void unknownLayoutIsKeptAside() {
        QFETCH(QStringList, qstringlistBuild);
        QFETCH(QString, strBackup);
        QVERIFY(build(qstringlistBuild));
        const QString strColumns = columnsOf("PreferenceAccount");
        const QList<QVariantList> qlistRow = rowsOf("PreferenceAccount");

        MainUpdate::run();

        QCOMPARE(columnsOf(strBackup), strColumns);
        QCOMPARE(rowsOf(strBackup), qlistRow);
        QCOMPARE(columnsOf("PreferenceAccount"), strCurrentColumns);
        QCOMPARE(updateMessages().size(), 1);
        QVERIFY2(updateMessages().first().contains("table " + strBackup), qPrintable(updateMessages().first()));

        // The store works on the fresh table.
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        objectStore->strWebsite = "new.org";
        objectStore->create();
        QCOMPARE(objectStore->count(), 1);
        QCOMPARE(rowsOf(strBackup), qlistRow);
    }

    void failedConversionChangesNothing() {
        // A working table left behind by an interrupted run of an older version blocks the renaming.
        QVERIFY(build({"CREATE TABLE PreferenceAccount (strWebsite TEXT, strMail TEXT, strUser TEXT)",
                       "INSERT INTO PreferenceAccount VALUES ('a.org', 'ada@a.org', 'ada')",
                       "CREATE TABLE Temporary (strWebsite TEXT, strMail TEXT, strUser TEXT)",
                       "INSERT INTO Temporary VALUES ('t.org', 'tim@t.org', 'tim')"}));
        const QList<QVariantList> qlistMaster = TestSupport::selectSql("SELECT * FROM sqlite_master");

        MainUpdate::run();

        QCOMPARE(TestSupport::selectSql("SELECT * FROM sqlite_master"), qlistMaster);
        QCOMPARE(TestSupport::selectSql("SELECT * FROM PreferenceAccount"),
                 QList<QVariantList>({{"a.org", "ada@a.org", "ada"}}));
        QCOMPARE(TestSupport::selectSql("SELECT * FROM Temporary"),
                 QList<QVariantList>({{"t.org", "tim@t.org", "tim"}}));
        QCOMPARE(updateMessages().size(), 1);
    }

    void failedConversionIsTriedAgain_data() {
        QTest::addColumn<QStringList>("qstringlistHold");
        QTest::addColumn<qint64>("intRoom");
        QTest::newRow("another program locks the database") << QStringList({"BEGIN EXCLUSIVE"}) << qint64(-1);
        QTest::newRow("another program's reading refuses the commit")
            << QStringList({"BEGIN", "SELECT COUNT(*) FROM PreferenceAccount"}) << qint64(-1);
        QTest::newRow("the disk fills during the copy") << QStringList() << qint64(64 * 1024);
    }

    void failedConversionIsTriedAgain() {
        QFETCH(QStringList, qstringlistHold);
        QFETCH(qint64, intRoom);
        QVERIFY(build({"CREATE TABLE PreferenceAccount (strWebsite TEXT, strMail TEXT, strUser TEXT)",
                       "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                       "INSERT INTO PreferenceAccount SELECT 'site' || i, printf('%.200c', 'm'), 'user' || i FROM n"}));
        const QList<QVariantList> qlistMaster = TestSupport::selectSql("SELECT * FROM sqlite_master");
        const QList<QVariantList> qlistRow = rowsOf("PreferenceAccount");
        {
            QSqlDatabase objectOther = QSqlDatabase::addDatabase("QSQLITE", "other");
            objectOther.setDatabaseName(TestSupport::appPath("res/PreferenceAccount.sqlite"));
            QVERIFY(objectOther.open());
            for (const QString &strStatement : qstringlistHold) {
                QVERIFY(QSqlQuery(objectOther).exec(strStatement));
            }
            TestSupport::FileSizeLimit objectLimit(
                intRoom < 0 ? -1 : QFileInfo(objectOther.databaseName()).size() + intRoom);
            MainUpdate::run();
            objectOther.close();
        }
        QSqlDatabase::removeDatabase("other");

        // One transaction: all undone, no working table left behind, and the upgrade still due.
        QCOMPARE(TestSupport::selectSql("SELECT * FROM sqlite_master"), qlistMaster);
        QCOMPARE(rowsOf("PreferenceAccount"), qlistRow);
        QCOMPARE(updateMessages().size(), 1);
        MainUpdate::run();
        QCOMPARE(TestSupport::selectSql("SELECT COUNT(*) FROM PreferenceAccount"), QList<QVariantList>({{2000}}));
        QVERIFY(TestSupport::readFile("res/PreferenceAccount.ini").contains("boolUpdate%284.0%29=false"));
    }

    void unreachableRowsAreNumberedAnew_data() {
        QTest::addColumn<bool>("boolPending");
        QTest::addColumn<QStringList>("qstringlistBuild");
        QTest::addColumn<QList<QVariantList>>("qlistExpected");
        QTest::addColumn<int>("intNext");

        const QString strTwo = "INSERT INTO PreferenceAccount VALUES (1, 'bank.example', 'b@bank.example', 'b', "
                               "'', 15, ''), (2, 'zoo.example', '', '', '', 15, '')";
        const QString strForeign =
            "INSERT INTO PreferenceAccount VALUES (%1, 'a.foreign.example', 'f@foreign.example', "
            "'f', 'kept', 20, '!')";
        const QList<QVariantList> qlistTwo = {{1, "bank.example"}, {2, "zoo.example"}};
        const auto with = [&](QList<QVariantList> qlistRow, const QVariantList &qvariantlistAdded) {
            qlistRow.append(qvariantlistAdded);
            return qlistRow;
        };

        QTest::newRow("2^32 + 1, which the counter follows")
            << false << QStringList({strTwo, strForeign.arg(4294967297LL)}) << with(qlistTwo, {3, "a.foreign.example"})
            << 4;
        QTest::newRow("2^32 and 2^31 + 5, in their order")
            << false << QStringList({strTwo, strForeign.arg(4294967296LL), strForeign.arg(2147483653LL)})
            << with(with(qlistTwo, {3, "a.foreign.example"}), {4, "a.foreign.example"}) << 5;
        QTest::newRow("0 and -3, after a deleted row 9")
            << false
            << QStringList({strTwo, "INSERT INTO PreferenceAccount (intIdent) VALUES (9)",
                            "DELETE FROM PreferenceAccount WHERE intIdent = 9", strForeign.arg(0), strForeign.arg(-3)})
            << with(with(qlistTwo, {10, "a.foreign.example"}), {11, "a.foreign.example"}) << 12;
        QTest::newRow("at the first start, with the upgrade")
            << true << QStringList({strTwo, strForeign.arg(4294967297LL)}) << with(qlistTwo, {3, "a.foreign.example"})
            << 4;
        QTest::newRow("no number left: kept as it is")
            << false << QStringList({strTwo, strForeign.arg(2147483647), strForeign.arg(4294967297LL)})
            << with(with(qlistTwo, {2147483647, "a.foreign.example"}), {4294967297LL, "a.foreign.example"}) << 0;
    }

    void unreachableRowsAreNumberedAnew() {
        QFETCH(bool, boolPending);
        QFETCH(QStringList, qstringlistBuild);
        QFETCH(QList<QVariantList>, qlistExpected);
        QFETCH(int, intNext);
        MainUpdate::run();
        QVERIFY(build(qstringlistBuild));
        if (boolPending) {
            QFile::remove(TestSupport::appPath("res/PreferenceAccount.ini"));
        }
        const QString strFields = "SELECT strWebsite, strMail, strUser, strNote, intLength, strSpecial FROM "
                                  "PreferenceAccount ORDER BY strWebsite";
        const QList<QVariantList> qlistField = TestSupport::selectSql(strFields);

        MainUpdate::run();

        // Every field kept, the rows in their order, and a new account numbered after them all.
        QCOMPARE(TestSupport::selectSql("SELECT intIdent, strWebsite FROM PreferenceAccount ORDER BY intIdent"),
                 qlistExpected);
        QCOMPARE(TestSupport::selectSql(strFields), qlistField);
        QCOMPARE(updateMessages().size(), 1);
        if (intNext != 0) {
            QVERIFY(TestSupport::executeSql("INSERT INTO PreferenceAccount (strWebsite) VALUES ('new.example')"));
            QCOMPARE(TestSupport::selectSql("SELECT intIdent FROM PreferenceAccount WHERE strWebsite = 'new.example'"),
                     QList<QVariantList>({{intNext}}));
        }
        MainUpdate::run();
        QCOMPARE(updateMessages().size(), intNext != 0 ? 1 : 2);
    }

    void unreadableDatabaseIsLeftAlone() {
        TestSupport::writeFile("res/PreferenceAccount.sqlite", "not a database at all, but someone's file");

        MainUpdate::run();

        QCOMPARE(TestSupport::readFile("res/PreferenceAccount.sqlite"),
                 QByteArray("not a database at all, but someone's file"));
        QCOMPARE(updateMessages().size(), 1);
        // Still due: a file that could be read at a later start is converted then.
        QVERIFY(!TestSupport::readFile("res/PreferenceAccount.ini").contains("boolUpdate%284.0%29=false"));
    }
};

QTEST_GUILESS_MAIN(TestMainUpdate)
#include "test_mainupdate.moc"
