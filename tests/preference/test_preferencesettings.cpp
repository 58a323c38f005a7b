#include "preference/PreferenceSettings.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTest>
#include <QVariant>

class TestPreferenceSettings : public QObject {
    Q_OBJECT

private slots:
    void init() { TestSupport::resetRes(); }

    void serialisedValuesAreFoundAsQtReadsThem_data() {
        QTest::addColumn<QByteArray>("byteContent");
        QTest::addColumn<QByteArray>("byteExpected");
        QTest::addColumn<int>("intRemoved");

        QTest::newRow("one among plain values")
            << QByteArray("[General]\na=1\nb=@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\nc=3\n")
            << QByteArray("[General]\na=1\n\nc=3\n") << 1;
        QTest::newRow("date and time form") << QByteArray("b=@DateTime(\\0)\r\nc=3") << QByteArray("\r\nc=3") << 1;
        QTest::newRow("element of a list") << QByteArray("b=x, @Variant(\\0)\n") << QByteArray("\n") << 1;
        QTest::newRow("quoted") << QByteArray("b= \"@Variant(\\0)\" \n") << QByteArray("\n") << 1;
        QTest::newRow("at sign as hex and octal escapes")
            << QByteArray("b=\\x40Variant(\\0)\nc=\\100Variant(\\0)\nd=\\x10040Variant(\\0)\n") << QByteArray("\n\n\n")
            << 3;
        QTest::newRow("carried over a line break")
            << QByteArray("b=@Var\\\niant(\\0)\nc=3\n") << QByteArray("\nc=3\n") << 1;
        QTest::newRow("spaces after the parenthesis") << QByteArray("b=@Variant(\\0)  \t\n") << QByteArray("\n") << 1;
        QTest::newRow("ended by a comment") << QByteArray("b=@Variant(\\0);rest\n") << QByteArray(";rest\n") << 1;
        QTest::newRow("after a byte order mark") << QByteArray("\xef\xbb\xbf"
                                                               "b=@Variant(\\0)\n")
                                                 << QByteArray("\xef\xbb\xbf\n") << 1;
        // After a mark at its start Qt reads the file as UTF-8, a plain run of a value at a time, and drops one
        // more mark at the start of each run. Without the file's mark the value's is three letters.
        const QByteArray byteMark = "\xef\xbb\xbf";
        const QByteArray byteValue = "@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\n";
        const QList<QPair<QByteArray, QByteArray>> qlistBefore = {
            {"a value", "[General]\nstrName="}, {"a list element", "b=x, "}, {"a quoted text", "b=\"\" "}};
        for (const QPair<QByteArray, QByteArray> &qpairBefore : qlistBefore) {
            const QByteArray &byteBefore = qpairBefore.second;
            QTest::newRow("marks before the file and " + qpairBefore.first)
                << byteMark + byteBefore + byteMark + byteValue
                << byteMark + byteBefore.left(byteBefore.indexOf('\n') + 1) + "\n"
                << 1;
        }
        QTest::newRow("a mark before the value only")
            << "b=" + byteMark + byteValue << "b=" + byteMark + byteValue << 0;
        QTest::newRow("two marks before the value") << byteMark + "b=" + byteMark + byteMark + byteValue
                                                    << byteMark + "b=" + byteMark + byteMark + byteValue << 0;

        // Read by Qt as texts, and kept.
        for (const char *strKept : {"b=@@Variant(\\0)\n", "b=@Variant(\\0\n", "b=\"x, @Variant(\\0)\"\n",
                                    "b=\"x\n@Variant(\\0)\"\n", "[@Variant(\\0)]\n", ";b=@Variant(\\0)\n",
                                    "@Variant(\\0)\n", "b=@ByteArray(x)\n", "b=@Variant(\\0)x\n"}) {
            QTest::newRow(strKept) << QByteArray(strKept) << QByteArray(strKept) << 0;
        }
    }

    // What Qt 5 writes for each text, byte for byte: the form a file must have to read the same in a Qt 5 and a Qt 6
    // build. Written through write(), so that a Qt 6 build is checked end to end.
    void textsAreWrittenAsQt5WritesThem_data() {
        QTest::addColumn<QString>("strValue");
        QTest::addColumn<QByteArray>("byteLine");

        QTest::newRow("plain ASCII") << QString("bank.example") << QByteArray("strNote=bank.example");
        QTest::newRow("umlaut, euro sign and a key emoji")
            << QString::fromUtf8("bücher€.example 🔑")
            << QByteArray("strNote=b\\xfc\\x63her\\x20ac.example \\xd83d\\xdd11");
        QTest::newRow("hex digits after an escape")
            << QString::fromUtf8("ü12ab") << QByteArray("strNote=\\xfc\\x31\\x32\\x61\\x62");
        QTest::newRow("quoted for its spaces") << QString::fromUtf8(" lead ü") << QByteArray("strNote=\" lead \\xfc\"");
        QTest::newRow("quoted for its separators")
            << QString::fromUtf8("a;b,ç=d") << QByteArray("strNote=\"a;b,\\xe7=d\"");
        QTest::newRow("control character") << QString::fromUtf8("\x01"
                                                                "1ß")
                                           << QByteArray("strNote=\\x1\\x31\\xdf");
        QTest::newRow("leading at sign") << QString::fromUtf8("@ö") << QByteArray("strNote=@@\\xf6");
        QTest::newRow("CJK and a line break")
            << QString::fromUtf8("日本語\nçaf") << QByteArray("strNote=\\x65e5\\x672c\\x8a9e\\n\\xe7\\x61\\x66");
        QTest::newRow("invisible characters")
            << QString::fromUtf8("\u200b\u202e") << QByteArray("strNote=\\x200b\\x202e");
        QTest::newRow("lone surrogates, a private-use character and a pair")
            << QString("x") + QChar(0xd83d) + "y" + QChar(0xde00) + QChar(0xe000) + QChar(0xd83d) + QChar(0xde00)
            << QByteArray("strNote=x\\xd83dy\\xde00\\xe000\\xd83d\\xde00");
    }

    void textsAreWrittenAsQt5WritesThem() {
        QFETCH(QString, strValue);
        QFETCH(QByteArray, byteLine);

        // Another key as Qt 5 wrote it, a lone surrogate in it: kept as it is.
        TestSupport::writeFile("res/PreferenceAccountSelected.ini", "[General]\nstrWebsite=\\xdc00\\x31\n");
        const QString strPath = PreferenceSettings::path("PreferenceAccountSelected.ini");
        QVERIFY(PreferenceSettings::write(strPath, "strNote", strValue));
        QCOMPARE(TestSupport::readFile("res/PreferenceAccountSelected.ini"),
                 "[General]\n" + byteLine + "\nstrWebsite=\\xdc00\\x31\n");
        QCOMPARE(PreferenceSettings::read(strPath, "strNote", QVariant()).toString(), strValue);
        QCOMPARE(PreferenceSettings::read(strPath, "strWebsite", QVariant()).toString(), QChar(0xdc00) + QString("1"));
    }

    void serialisedValuesAreFoundAsQtReadsThem() {
        QFETCH(QByteArray, byteContent);
        QFETCH(QByteArray, byteExpected);
        QFETCH(int, intRemoved);
        int intFound = -1;
        QCOMPARE(PreferenceSettings::withoutSerialisedValues(byteContent, &intFound), byteExpected);
        QCOMPARE(intFound, intRemoved);
    }

    void textsThatLookSerialisedAreNeverTouched() {
        // Whatever text this program stores, Qt writes it so that it is read back as that text.
        const QString strPath = TestSupport::appPath("res/texts.ini");
        const QStringList qstringlistText = {"@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)",
                                             "@DateTime(x)",
                                             "x, @Variant(y)",
                                             " @Variant(y) ",
                                             QString("@Variant(") + QChar(0) + ")",
                                             "@"};
        {
            QSettings objectSettings(strPath, QSettings::IniFormat);
            for (int intIndex = 0; intIndex < qstringlistText.size(); intIndex += 1) {
                objectSettings.setValue(QString("text%1").arg(intIndex), qstringlistText[intIndex]);
            }
        }
        const QByteArray byteFile = TestSupport::readFile("res/texts.ini");
        int intRemoved = -1;
        QCOMPARE(PreferenceSettings::withoutSerialisedValues(byteFile, &intRemoved), byteFile);
        QCOMPARE(intRemoved, 0);
        QVERIFY(PreferenceSettings::prepare(strPath));
        QCOMPARE(TestSupport::readFile("res/texts.ini"), byteFile);
    }

    void prepareRewritesOnlyWhatItMust() {
        const QString strPath = TestSupport::appPath("res/settings.ini");
        QVERIFY(PreferenceSettings::prepare(strPath)); // no file
        QVERIFY(!QFile::exists(strPath));

        TestSupport::writeFile("res/settings.ini", "[General]\na=1\nb=@Variant(\\0\\0\\0\\t\\x7f\\xff\\xff\\xff)\n");
        QVERIFY(PreferenceSettings::prepare(strPath));
        QCOMPARE(TestSupport::readFile("res/settings.ini"), QByteArray("[General]\na=1\n\n"));
        QCOMPARE(QSettings(strPath, QSettings::IniFormat).value("a").toInt(), 1);

        // A folder where the file belongs is nothing QSettings could read.
        QVERIFY(QFile::remove(strPath));
        QVERIFY(QDir().mkpath(strPath));
        QVERIFY(PreferenceSettings::prepare(strPath));
    }

    void writeFailsOnlyWhereTheFileCannotBeWritten() {
        const QString strPath = TestSupport::appPath("res/settings.ini");
        TestSupport::writeFile("res/settings.ini", "[General]\na line Qt cannot read\nstrName=de\n");
        QVERIFY(PreferenceSettings::write(strPath, "strName", "fr"));
        {
            TestSupport::FileSizeLimit objectFull(0);
            QVERIFY(!PreferenceSettings::write(strPath, "strName", "it"));
            QVERIFY(!PreferenceSettings::write(strPath, "strName", QVariant()));
        }
        // Read back in this process as the file holds it.
        QCOMPARE(QSettings(strPath, QSettings::IniFormat).value("strName").toString(), QString("fr"));
        QVERIFY(TestSupport::readFile("res/settings.ini").contains("strName=fr"));
    }
};

QTEST_GUILESS_MAIN(TestPreferenceSettings)
#include "test_preferencesettings.moc"
