#include "display/Display.h"
#include "password/Password.h"
#include "preference/PreferenceAccount.h"
#include "preference/PreferenceAccountJavascriptinterface.h"
#include "preference/PreferenceAccountObserver.h"
#include "preference/PreferenceAccountSelected.h"
#include "preference/PreferenceAccountSelectedJavascriptinterface.h"
#include "preference/PreferenceAccountSelectedObserver.h"
#include "preference/PreferenceLanguage.h"
#include "preference/PreferenceLanguageObserver.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

#include <cstdio>

namespace {

using TestSupport::raw;

// The selected account as its bridge object writes it.
QString selected(int intIdent, const QString &strWebsite, const QString &strMail, const QString &strUser,
                 const QString &strNote, int intLength, const QString &strSpecial) {
    QJsonObject objectRecord;
    objectRecord.insert("intIdent", intIdent);
    objectRecord.insert("strWebsite", strWebsite);
    objectRecord.insert("strMail", strMail);
    objectRecord.insert("strUser", strUser);
    objectRecord.insert("strNote", strNote);
    objectRecord.insert("intLength", intLength);
    objectRecord.insert("strSpecial", strSpecial);
    return QString::fromUtf8(QJsonDocument(objectRecord).toJson(QJsonDocument::Compact));
}

QString selectedNow() {
    return PreferenceAccountSelectedJavascriptinterface().getAll();
}

QJsonObject parse(const QString &strJson) {
    QJsonParseError objectError;
    const QJsonDocument objectDocument = QJsonDocument::fromJson(strJson.toUtf8(), &objectError);
    if (objectError.error != QJsonParseError::NoError) {
        qWarning("not JSON: %s", qPrintable(objectError.errorString()));
    }
    return objectDocument.isArray() ? objectDocument.array().at(0).toObject() : objectDocument.object();
}

// A script literal that carries every UTF-16 unit as it is, lone surrogates included.
QString literal(const QString &strText) {
    QString strResult = "'";
    for (const QChar charUnit : strText) {
        const ushort intUnit = charUnit.unicode();
        if (intUnit >= 0x20 && intUnit < 0x7f && intUnit != '\'' && intUnit != '\\') {
            strResult += charUnit;
        } else {
            strResult += QString("\\u%1").arg(intUnit, 4, 16, QChar('0'));
        }
    }
    return strResult + "'";
}

QString units(const QString &strText) {
    QStringList qstringlistUnit;
    for (const QChar charUnit : strText.left(40)) {
        qstringlistUnit.append(QString::number(charUnit.unicode(), 16));
    }
    return qstringlistUnit.join(' ') + (strText.size() > 40 ? QString(" ... (%1 units)").arg(strText.size()) : "");
}

QString fromUcs4(const std::initializer_list<uint> &qlistPoint) {
    QString strResult;
    for (const uint intPoint : qlistPoint) {
        strResult += QString::fromUcs4(reinterpret_cast<const char32_t *>(&intPoint), 1);
    }
    return strResult;
}

// Text of every kind: the samples, and what the database gives back for each.
QList<QPair<QString, QString>> unicodeSamples(QStringList *qstringlistName) {
    const QChar charReplacement = QChar::ReplacementCharacter;
    const QString strEmoji =
        fromUcs4({0x1f600, ' ',    0x1f44d, 0x1f3fd, ' ',     0x1f3f3, 0xfe0f,  0x200d, 0x1f308, ' ',
                  0x1f469, 0x200d, 0x1f469, 0x200d,  0x1f467, 0x200d,  0x1f466, ' ',    0x1f1ef, 0x1f1f5});
    const QString strPlanes = fromUcs4(
        {0x1d518, 0x1d52b, ' ', 0x20000, ' ', 0x65e5, 0x672c, 0x8a9e, ' ', 0xd55c, 0xad6d, 0xc5b4, ' ', 0x10ffff});
    const QString strHigh = QString(QChar(0xd83d));
    const QString strLow = QString(QChar(0xde00));

    QList<QPair<QString, QString>> qlistSample;
    const auto add = [&](const char *strName, const QString &strText, const QString &strStored) {
        qstringlistName->append(strName);
        qlistSample.append(qMakePair(strText, strStored));
    };
    const auto same = [&](const char *strName, const QString &strText) { add(strName, strText, strText); };

    same("combining marks", QString::fromUtf8("e\xcc\x81 a\xcc\x88\xcc\x84 n\xcc\x83 Z\xcd\x91\xcc\x86\xcd\xa4 "
                                              "\xe1\x84\x80\xe1\x85\xa1\xe1\x86\xa8"));
    same("emoji and joiners", strEmoji);
    same("right to left and direction marks", QString::fromUtf8("\xd7\xa2\xd7\x91\xd7\xa8\xd7\x99\xd7\xaa "
                                                                "\xd8\xa7\xd9\x84\xd8\xb9\xd8\xb1\xd8\xa8\xd9\x8a "
                                                                "\xe2\x80\x8f\xe2\x80\xae"
                                                                "evil\xe2\x80\xac "
                                                                "\xe2\x81\xa7x\xe2\x81\xa9"));
    same("zero width and byte order marks", QString::fromUtf8("a\xe2\x80\x8b"
                                                              "b\xe2\x80\x8c"
                                                              "c\xe2\x80\x8d"
                                                              "d\xe2\x81\xa0"
                                                              "e\xef\xbb\xbf"
                                                              "f"));
    same("other planes and CJK", strPlanes);
    same("controls and NUL", QString("a") + QChar(0) + QString::fromUtf8("b\x01\x1f\x7f\xc2\x85\xe2\x80\xa8 \t\r\n"));
    same("syntax of the files", "<b>\"'&amp;</b> \\ %28 @@ ; , = [General] @Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)");
    // SQLite reads the two noncharacters back as U+FFFD.
    add("noncharacters",
        QString::fromUtf8("a\xef\xbf\xbe"
                          "b\xef\xbf\xbf"
                          "c"),
        QString("a") + charReplacement + "b" + charReplacement + "c");
    add("lone high surrogate before a letter", "x" + strHigh + "y", QString("x") + charReplacement + "y");
    add("lone low surrogate before a letter", "x" + strLow + "y", QString("x") + charReplacement + "y");
    add("surrogates in the wrong order", strLow + strHigh, QString(charReplacement) + charReplacement);
    add("pair cut at the end", "end" + strHigh, QString("end") + charReplacement);
    return qlistSample;
}

} // namespace

class TestPreferenceFaults : public QObject {
    Q_OBJECT

    QVariant evaluate(const QString &strScript) { return TestSupport::evaluate(Display::obtain(), strScript); }

    TestPage *showPage() {
        TestSupport::writePage(TestSupport::strPlainPage);
        return TestSupport::installTestPage(Display::obtain());
    }

    void addUnicodeRows() {
        QTest::addColumn<QString>("strText");
        QTest::addColumn<QString>("strStored");
        QStringList qstringlistName;
        const QList<QPair<QString, QString>> qlistSample = unicodeSamples(&qstringlistName);
        for (int intIndex = 0; intIndex < qlistSample.size(); intIndex += 1) {
            QTest::newRow(qPrintable(qstringlistName[intIndex]))
                << qlistSample[intIndex].first << qlistSample[intIndex].second;
        }
    }

private slots:
    void initTestCase() { TestSupport::recordMessages(); }

    void init() {
        TestSupport::resetStore();
        PreferenceAccountSelectedObserver::dispel();
        PreferenceLanguageObserver::dispel();
    }

    void cleanup() {
        Display::dispel();
        TestSupport::closeStore();
        PreferenceAccountSelectedObserver::dispel();
        PreferenceLanguageObserver::dispel();
        QCOMPARE(TestSupport::connectionWarnings(), QStringList());
    }

    void damagedSelectionFileKeepsWhatIsReadable_data() {
        QTest::addColumn<QByteArray>("byteFile");
        QTest::addColumn<QString>("strExpected");
        const QByteArray byteJunk = raw("\x00\x01\x02\x7f\x80\x81\xfe\xff\xc3\x28\xe2\x82=%@ \t\x1b");

        QTest::newRow("broken lines")
            << QByteArray("[General]\nintIdent=7\na line without an equals sign\n=a value without a key\n==\n"
                          "strUser=ada\n;a comment\n  strWebsite  =  example.org  \nstrMail=ada@example.org\n"
                          "[a section never closed\nstrNote=kept in that section\n")
            << selected(7, "example.org", "ada@example.org", "ada", "", 0, "");
        QTest::newRow("binary junk between the lines")
            << QByteArray("[General]\nintIdent=7\n") + byteJunk + "\nstrUser=ada\n" + byteJunk + byteJunk +
                   "\n\xff\xfe=\x01\x02\nintLength=12\n" + byteJunk
            << selected(7, "", "", "ada", "", 12, "");
        QTest::newRow("values of the wrong type")
            << QByteArray("[General]\nintIdent=abc\nintLength=99999999999\nstrUser=ada\nstrWebsite=a, b, c\n"
                          "strNote=@ByteArray(note)\nstrMail=@Rect(1 2 3 4)\nstrSpecial=12\n")
            << selected(0, "", "", "ada", "note", 0, "12");
        // Each of these makes Qt try to reserve room for two billion entries, which aborts the program.
        QTest::newRow("serialised values that would abort the program")
            << QByteArray("[General]\nintIdent=7\nstrUser=@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\n"
                          "strWebsite=example.org\nstrNote=\"x\", @DateTime(\\0\\0\\0\\xb\\0\\x7f\\xff\\xff\\xff)\n"
                          "strMail=\\x40Variant(\\0\\0\\0\\xb\\x7f\\xff\\xff\\xff)\nintLength=9\n")
            << selected(7, "example.org", "", "", "", 9, "");
    }

    void damagedSelectionFileKeepsWhatIsReadable() {
        QFETCH(QByteArray, byteFile);
        QFETCH(QString, strExpected);
        TestSupport::writeFile("res/PreferenceAccountSelected.ini", byteFile);

        QCOMPARE(TestSupport::readFresh().strSelected, strExpected);
        QCOMPARE(selectedNow(), strExpected);

        // A change keeps every key that could be read.
        PreferenceAccountSelected::obtain()->setStrSpecial("!#");
        QJsonObject objectExpected = parse(strExpected);
        objectExpected.insert("strSpecial", "!#");
        const QString strChanged = QString::fromUtf8(QJsonDocument(objectExpected).toJson(QJsonDocument::Compact));
        QCOMPARE(TestSupport::readFresh().strSelected, strChanged);
        QCOMPARE(selectedNow(), strChanged);
        QVERIFY(!TestSupport::readFile("res/PreferenceAccountSelected.ini").contains("Variant("));
    }

    void damagedLanguageFileFallsBackToEnglish_data() {
        QTest::addColumn<QByteArray>("byteFile");
        QTest::addColumn<QString>("strExpected");
        QTest::newRow("broken lines") << QByteArray("[General]\nnonsense\n=x\n\"open quote\"\nstrName=de\n") << "de";
        QTest::newRow("binary junk") << raw("\x00\xff\xfe\x01\n[General]\n\x80\x81\nstrName=de\n\xc3\x28\x00") << "de";
        QTest::newRow("a list") << QByteArray("strName=de, fr\n") << "en";
        QTest::newRow("a rectangle") << QByteArray("strName=@Rect(1 2 3 4)\n") << "en";
        QTest::newRow("bytes") << QByteArray("strName=@ByteArray(de)\n") << "de";
        QTest::newRow("a serialised list that would abort the program")
            << QByteArray("strName=@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\n") << "en";
        QTest::newRow("a serialised list behind byte order marks")
            << QByteArray("\xef\xbb\xbf[General]\nstrName=\xef\xbb\xbf@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\n")
            << "en";
        QTest::newRow("only junk") << raw("\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR") << "en";
    }

    void damagedLanguageFileFallsBackToEnglish() {
        QFETCH(QByteArray, byteFile);
        QFETCH(QString, strExpected);
        TestSupport::writeFile("res/PreferenceLanguage.ini", byteFile);

        QCOMPARE(TestSupport::readFresh().strName, strExpected);
        QCOMPARE(PreferenceLanguage::obtain()->getStrName(), strExpected);

        PreferenceLanguage::obtain()->setStrName("fr");
        QCOMPARE(TestSupport::readFresh().strName, QString("fr"));
    }

    void lockedDatabaseFailsTheSaveAndKeepsTheRow() {
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        objectStore->strWebsite = "kept.example";
        objectStore->strNote = "before";
        objectStore->intLength = 16;
        objectStore->create();
        TestPage *objectPage = showPage();

        // Another process holds the database in an exclusive transaction with a change of its own.
        QProcess objectLock;
        objectLock.start(QCoreApplication::applicationFilePath(), {"--lock"});
        QVERIFY(objectLock.waitForStarted(20000));
        QVERIFY(objectLock.waitForReadyRead(20000));
        QCOMPARE(objectLock.readLine().trimmed(), QByteArray("locked"));

        QElapsedTimer objectTimer;
        objectTimer.start();
        evaluate("jsPreferenceAccount.setIntIdent(1); jsPreferenceAccount.setStrWebsite('changed.example'); "
                 "jsPreferenceAccount.setStrNote('after'); jsPreferenceAccount.setIntLength(20); "
                 "jsPreferenceAccount.save();");
        const qint64 intWaited = objectTimer.elapsed();
        QVERIFY2(TestSupport::recordMessages().filter("PreferenceAccount: database is locked").size() == 1,
                 qPrintable(TestSupport::recordMessages().join("\n")));
        // The driver's own wait for a busy database, and no more.
        QVERIFY2(intWaited < 15000, qPrintable(QString::number(intWaited)));

        objectLock.closeWriteChannel();
        QVERIFY(objectLock.waitForFinished(20000));
        QCOMPARE(objectLock.exitCode(), 0);

        QCOMPARE(TestSupport::selectSql("SELECT intIdent, strWebsite, strNote, intLength FROM PreferenceAccount"),
                 QList<QVariantList>({{1, "kept.example", "before", 16}}));
        QCOMPARE(evaluate("jsPreferenceAccount.selectOpen('SELECT * FROM PreferenceAccount', []); "
                          "var listAccount = JSON.parse(jsPreferenceAccount.getAll()); "
                          "jsPreferenceAccount.selectClose(); "
                          "listAccount.length + ' ' + listAccount[0].strWebsite + ' ' + listAccount[0].strNote")
                     .toString(),
                 QString("1 kept.example before"));

        // Once the other process is gone, the same save goes through.
        evaluate("jsPreferenceAccount.setIntIdent(1); jsPreferenceAccount.setStrWebsite('changed.example'); "
                 "jsPreferenceAccount.setStrNote('after'); jsPreferenceAccount.save();");
        QCOMPARE(TestSupport::selectSql("SELECT strWebsite, strNote FROM PreferenceAccount"),
                 QList<QVariantList>({{"changed.example", "after"}}));
        QCOMPARE(objectPage->qstringlistConsole, QStringList());
    }

    void unicodeRoundTripsNatively_data() { addUnicodeRows(); }

    void unicodeRoundTripsNatively() {
        QFETCH(QString, strText);
        QFETCH(QString, strStored);

        // The account list: every text field, read back by a cursor and as JSON, and found by a parameter.
        PreferenceAccount *objectStore = PreferenceAccount::obtain();
        objectStore->strWebsite = strText;
        objectStore->strMail = strText;
        objectStore->strUser = strText;
        objectStore->strNote = strText;
        objectStore->intLength = 18;
        objectStore->strSpecial = strText;
        objectStore->create();
        objectStore->selectOpen("SELECT * FROM PreferenceAccount WHERE strNote = ?", {strText});
        objectStore->selectNext();
        QCOMPARE(objectStore->intIdent, 1);
        for (const QString &strField : {objectStore->strWebsite, objectStore->strMail, objectStore->strUser,
                                        objectStore->strNote, objectStore->strSpecial}) {
            QVERIFY2(strField == strStored, qPrintable(units(strField) + " | " + units(strStored)));
        }
        objectStore->selectOpen("SELECT * FROM PreferenceAccount", {});
        const QJsonObject objectAccount = parse(PreferenceAccountJavascriptinterface().getAll());
        for (const char *strKey : {"strWebsite", "strMail", "strUser", "strNote", "strSpecial"}) {
            QVERIFY2(objectAccount.value(strKey).toString() == strStored,
                     qPrintable(units(objectAccount.value(strKey).toString())));
        }

        // The selected account and the language name: kept exactly, lone surrogates too.
        PreferenceAccountSelected *objectSelected = PreferenceAccountSelected::obtain();
        objectSelected->setStrWebsite(strText);
        objectSelected->setStrMail(strText);
        objectSelected->setStrUser(strText);
        objectSelected->setStrNote(strText);
        objectSelected->setStrSpecial(strText);
        PreferenceLanguage::obtain()->setStrName(strText);
        const QString strSelected = selected(0, strText, strText, strText, strText, 0, strText);
        QCOMPARE(selectedNow(), strSelected);
        const TestSupport::Fresh objectFresh = TestSupport::readFresh();
        QVERIFY2(objectFresh.strSelected == strSelected, qPrintable(units(objectFresh.strSelected)));
        QVERIFY2(objectFresh.strName == strText, qPrintable(units(objectFresh.strName)));
        QVERIFY(PreferenceLanguage::obtain()->getStrName() == strText);
    }

    void unicodeRoundTripsThroughThePage_data() { addUnicodeRows(); }

    void unicodeRoundTripsThroughThePage() {
        QFETCH(QString, strText);
        QFETCH(QString, strStored);
        TestPage *objectPage = showPage();

        evaluate("var strText = " + literal(strText) + "; var strStored = " + literal(strStored) + ";");
        QCOMPARE(evaluate("strText.length").toInt(), strText.size());
        evaluate("jsPreferenceAccount.setStrWebsite(strText); jsPreferenceAccount.setStrNote(strText);");
        // What arrives on the native side is the page's text unit for unit.
        QVERIFY2(PreferenceAccount::obtain()->strNote == strText,
                 qPrintable(units(PreferenceAccount::obtain()->strNote)));

        // Each check names itself when it fails.
        const QString strFailed =
            evaluate("var listFailed = [];\n"
                     "function check(strName, boolHeld) { if (!boolHeld) { listFailed.push(strName); } }\n"
                     "check('account field', jsPreferenceAccount.getStrNote() === strText);\n"
                     "jsPreferenceAccount.setIntLength(12); jsPreferenceAccount.create();\n"
                     "jsPreferenceAccount.selectOpen('SELECT * FROM PreferenceAccount WHERE strWebsite = ?', "
                     "[strText]);\n"
                     "var listAccount = JSON.parse(jsPreferenceAccount.getAll());\n"
                     "jsPreferenceAccount.selectClose();\n"
                     "check('account list', listAccount.length === 1 && listAccount[0].strNote === strStored);\n"
                     "jsPreferenceAccountSelected.setStrNote(strText);\n"
                     "check('selected field', jsPreferenceAccountSelected.getStrNote() === strText);\n"
                     "check('selected JSON', JSON.parse(jsPreferenceAccountSelected.getAll()).strNote === strText);\n"
                     "jsPreferenceLanguage.setStrName(strText);\n"
                     "check('language name', jsPreferenceLanguage.getStrName() === strText);\n"
                     "check('language JSON', JSON.parse(jsPreferenceLanguage.getAll()).strName === strText);\n"
                     "check('texts of that language', jsLanguage.getStrStrings() === '[]');\n"
                     "var strDerived = jsPassword.update(strText, strText, strText, 40, '!#');\n"
                     "listFailed.join(', ');")
                .toString();
        QCOMPARE(strFailed, QString());
        QCOMPARE(evaluate("strDerived").toString(), Password::obtain()->update(strText, strText, strText, 40, "!#"));
        QCOMPARE(objectPage->qstringlistConsole, QStringList());
    }

    void noteOfAMegabyteRoundTrips() {
        QStringList qstringlistName;
        QString strSample;
        for (const QPair<QString, QString> &qpairSample : unicodeSamples(&qstringlistName)) {
            if (qpairSample.first == qpairSample.second) {
                strSample += qpairSample.first;
            }
        }
        const int intRepeat = (1024 * 1024 + strSample.size() - 1) / strSample.size();
        const QString strNote = strSample.repeated(intRepeat);
        QVERIFY(strNote.toUtf8().size() > 1024 * 1024);

        // Written by the page, read back natively, as JSON by the page, and by a fresh process.
        TestPage *objectPage = showPage();
        evaluate("var strNote = " + literal(strSample) + ".repeat(" + QString::number(intRepeat) + ");");
        QCOMPARE(evaluate("strNote.length").toInt(), strNote.size());
        evaluate("jsPreferenceAccount.setStrWebsite('big.example'); jsPreferenceAccount.setStrNote(strNote); "
                 "jsPreferenceAccount.create(); jsPreferenceAccountSelected.setStrNote(strNote);");
        QVERIFY(PreferenceAccount::obtain()->strNote == strNote);

        const QList<QVariantList> qlistRow = TestSupport::selectSql("SELECT strNote FROM PreferenceAccount");
        QCOMPARE(qlistRow.size(), 1);
        QVERIFY(qlistRow[0][0].toString() == strNote);
        QCOMPARE(evaluate("jsPreferenceAccount.selectOpen('SELECT * FROM PreferenceAccount', []); "
                          "var listAccount = JSON.parse(jsPreferenceAccount.getAll()); "
                          "jsPreferenceAccount.selectClose(); "
                          "listAccount[0].strNote === strNote && "
                          "JSON.parse(jsPreferenceAccountSelected.getAll()).strNote === strNote")
                     .toBool(),
                 true);
        QVERIFY(PreferenceAccountSelected::obtain()->getStrNote() == strNote);
        QVERIFY(parse(TestSupport::readFresh().strSelected).value("strNote").toString() == strNote);
        QCOMPARE(objectPage->qstringlistConsole, QStringList());
    }
};

int main(int argc, char **argv) {
    if (TestSupport::answerFresh(argc, argv)) {
        return 0;
    }

    if (argc == 2 && qstrcmp(argv[1], "--lock") == 0) {
        QCoreApplication objectApplication(argc, argv);
        int intResult = 0;
        {
            QSqlDatabase objectDatabase = QSqlDatabase::addDatabase("QSQLITE", "lock");
            objectDatabase.setDatabaseName(TestSupport::appPath("res/PreferenceAccount.sqlite"));
            QSqlQuery objectQuery(objectDatabase);
            if (!objectDatabase.open() || !objectQuery.exec("BEGIN EXCLUSIVE") ||
                !objectQuery.exec("UPDATE PreferenceAccount SET strNote = 'uncommitted'")) {
                intResult = 1;
            } else {
                std::puts("locked");
                std::fflush(stdout);
                // Held until the test closes this process's input.
                char charLine[16];
                while (std::fgets(charLine, sizeof(charLine), stdin) != nullptr) {
                }
                objectQuery.exec("ROLLBACK");
            }
            objectQuery.clear();
            objectDatabase.close();
        }
        QSqlDatabase::removeDatabase("lock");
        return intResult;
    }

    QApplication objectApplication(argc, argv);
    TestPreferenceFaults objectTest;
    return QTest::qExec(&objectTest, argc, argv);
}

#include "test_preferencefaults.moc"
