#include "PageDriver.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

Q_DECLARE_METATYPE(PageAccount)

namespace {

struct Result {
    int intCode = -1;
    QString strOut;
    QString strErr;
};

QJsonObject fixtureObject(const QString &strRelative) {
    return QJsonDocument::fromJson(TestSupport::fixture(strRelative)).object();
}

const QList<PageAccount> qlistEdited = {account("example.com", "me@example.com", "me", "", 15, "!#"),
                                        account("old.example", "o@example", "", "", 100, "xyz!")};

} // namespace

class TestCli : public QObject {
    Q_OBJECT

    QString strProgram;

    // With boolSlowly the input arrives in two pieces with a pause between them, as from a slow producer.
    Result cli(const QStringList &qstringlistArgument, const QByteArray &byteInput = QByteArray(),
               const QProcessEnvironment &objectEnvironment = QProcessEnvironment::systemEnvironment(),
               bool boolSlowly = false) {
        QProcess objectProcess;
        objectProcess.setProcessEnvironment(objectEnvironment);
        objectProcess.start(strProgram, qstringlistArgument);
        const int intFirst = boolSlowly ? byteInput.size() / 2 : byteInput.size();
        objectProcess.write(byteInput.left(intFirst));
        if (boolSlowly) {
            objectProcess.waitForBytesWritten(10000);
            QTest::qWait(300);
            objectProcess.write(byteInput.mid(intFirst));
        }
        objectProcess.closeWriteChannel();
        Result objectResult;
        if (objectProcess.waitForFinished(60000) && objectProcess.exitStatus() == QProcess::NormalExit) {
            objectResult.intCode = objectProcess.exitCode();
        }
        objectResult.strOut = QString::fromUtf8(objectProcess.readAllStandardOutput());
        objectResult.strErr = QString::fromUtf8(objectProcess.readAllStandardError());
        return objectResult;
    }

    // A text of the window's default catalogue.
    static QString window(const QString &strName) {
        QFile objectFile(TestSupport::sourcePath("res/language.xml"));
        objectFile.open(QIODevice::ReadOnly);
        return QRegularExpression("<string name=\"" + strName + "\">([^<]*)</string>")
            .match(QString::fromUtf8(objectFile.readAll()))
            .captured(1);
    }

    // The first column of each line: the idents that list shows, in order.
    static QVariantList idents(const QString &strList) {
        QVariantList qvariantlistIdent;
        for (const QString &strLine : strList.split('\n', Qt::SkipEmptyParts)) {
            qvariantlistIdent.append(strLine.section('\t', 0, 0).toInt());
        }
        return qvariantlistIdent;
    }

private slots:
    void initTestCase() { strProgram = TestSupport::copyBeside("tessaloquin-cli"); }

    void init() { TestSupport::resetRes(); }

    // Every message in one voice: lower case, options as typed with their dashes, a guess at a near word.
    void commandLine_data() {
        QTest::addColumn<QStringList>("qstringlistArgument");
        QTest::addColumn<int>("intCode");
        QTest::addColumn<QString>("strOut");
        QTest::addColumn<QString>("strErr");
        const QString strHelp = " (see tessaloquin-cli --help)";
        QTest::newRow("version") << QStringList({"--version"}) << 0 << "Tessaloquin 4.5\n"
                                 << "";
        QTest::newRow("no command") << QStringList() << 2 << ""
                                    << "no command given" + strHelp;
        QTest::newRow("unknown command") << QStringList({"lsit"}) << 2 << ""
                                         << "unknown command 'lsit'; did you mean list?";
        QTest::newRow("a command short of a letter") << QStringList({"lst"}) << 2 << ""
                                                     << "unknown command 'lst'; did you mean list?";
        QTest::newRow("nothing near") << QStringList({"frobnicate"}) << 2 << ""
                                      << "unknown command 'frobnicate'" + strHelp;
        QTest::newRow("unknown option") << QStringList({"list", "--frob"}) << 2 << ""
                                        << "unknown option --frob" + strHelp;
        QTest::newRow("mistyped option") << QStringList({"list", "--jsn"}) << 2 << ""
                                         << "unknown option --jsn; did you mean --json?";
        QTest::newRow("missing value") << QStringList({"add", "--length"}) << 2 << ""
                                       << "missing value after --length" + strHelp;
        QTest::newRow("option of another command") << QStringList({"list", "--copy"}) << 2 << ""
                                                   << "--copy does not go with list" + strHelp;
        QTest::newRow("account missing") << QStringList({"show"}) << 2 << ""
                                         << "usage: tessaloquin-cli show ACCOUNT" + strHelp;
        QTest::newRow("too many arguments") << QStringList({"list", "a", "b"}) << 2 << ""
                                            << "usage: tessaloquin-cli list [TEXT] [--json]" + strHelp;
        QTest::newRow("Qt's own switches are no switches") << QStringList({"-platform", "x", "list"}) << 2 << ""
                                                           << "unknown option -platform" + strHelp;
        QTest::newRow("nothing to edit")
            << QStringList({"edit", "1"}) << 2 << ""
            << "nothing to change: give --website, --mail, --user, --note, --length or --special";
        QTest::newRow("remove without a terminal to ask on")
            << QStringList({"remove", "1"}) << 2 << ""
            << "remove asks first, and standard input is no terminal: nothing was deleted (give --yes)";
    }

    void commandLine() {
        QFETCH(QStringList, qstringlistArgument);
        QFETCH(int, intCode);
        QFETCH(QString, strOut);
        QFETCH(QString, strErr);
        PageDriver::seed({account("a.example", "a@example")});
        const Result objectResult = cli(qstringlistArgument);
        QCOMPARE(objectResult.intCode, intCode);
        QCOMPARE(objectResult.strOut, strOut);
        // An error is one line, without anything Qt would have said.
        QCOMPARE(objectResult.strErr, strErr.isEmpty() ? QString() : "tessaloquin-cli: " + strErr + "\n");
        QCOMPARE(PageDriver::stored().size(), 1);
        QVERIFY(cli({"--help"}).strOut.contains("password ACCOUNT"));
    }

    // The core's code for the window must not pull the web engine in: loading it would double every start.
    void loadsNoWebEngine() {
        QProcess objectLdd;
        objectLdd.start("ldd", {strProgram});
        QVERIFY(objectLdd.waitForFinished(20000));
        const QByteArray byteLibraries = objectLdd.readAllStandardOutput();
        QVERIFY(byteLibraries.contains("libQt5Core") || byteLibraries.contains("libQt6Core"));
        QVERIFY2(!byteLibraries.contains("WebKit") && !byteLibraries.contains("WebEngine"), byteLibraries.constData());
    }

    void passwordsEqualTheReferenceVectors_data() {
        QTest::addColumn<QString>("strMaster");
        QTest::addColumn<PageAccount>("objectAccount");
        QTest::addColumn<QString>("strPassword");
        // Computed independently of this code; lengths outside the form's range come from older data.
        QTest::newRow("plain") << "master" << account("example.com", "me@example.com", "", "", 15, "")
                               << "S50X3jGa0BtqkPX";
        QTest::newRow("every marker") << "master" << account("example.com", "me@example.com", "", "", 15, "!?@#")
                                      << "S@0X?jG!0Btq?PX";
        QTest::newRow("non-ASCII as UTF-8")
            << "p\u00e4ssw\u00f6rd" << account("\u4f8b\u5b50.\u4e2d\u56fd", "\u00fc@x.de", "", "", 20, "#")
            << "UaLKczrsKQyswiaA#6k#";
        QTest::newRow("whole length") << "a" << account("b", "c", "", "", 28, "@") << "qZkNkcGgWq6PiVx@FDCbJzQ2J0=";
        QTest::newRow("length beyond") << "a" << account("b", "c", "", "", 100, "!") << "qZkNkcGgWq6P!VxeFDCbJzQ2J0=";
        QTest::newRow("other characters ignored") << "abc" << account("def", "", "", "", 10, "xyz!") << "H4rBDyPFtb";
    }

    void passwordsEqualTheReferenceVectors() {
        QFETCH(QString, strMaster);
        QFETCH(PageAccount, objectAccount);
        QFETCH(QString, strPassword);
        PageDriver::seed({objectAccount});
        // A line end from another system does not become part of the master password.
        const Result objectResult = cli({"password", "1"}, strMaster.toUtf8() + "\r\n");
        QCOMPARE(objectResult.intCode, 0);
        QCOMPARE(objectResult.strOut, strPassword + "\n");
    }

    void secretsGoNowhereButStandardOutput() {
        PageDriver::seed({account("example.com", "me@example.com", "me", "note", 15, "!")});
        const QString strMaster = "Zq-distinctive-master";
        const Result objectResult = cli({"password", "example.com"}, strMaster.toUtf8() + "\nrest\n");
        QCOMPARE(objectResult.intCode, 0);
        const QString strPassword = objectResult.strOut.trimmed();
        QCOMPARE(strPassword.size(), 15);
        QVERIFY(objectResult.strErr.startsWith("Fingerprint: "));
        QVERIFY(!objectResult.strErr.contains(strMaster) && !objectResult.strErr.contains(strPassword));
        QDirIterator objectFiles(TestSupport::appPath("res"), QDir::Files, QDirIterator::Subdirectories);
        while (objectFiles.hasNext()) {
            QFile objectFile(objectFiles.next());
            QVERIFY(objectFile.open(QIODevice::ReadOnly));
            const QByteArray byteContent = objectFile.readAll();
            QVERIFY2(!byteContent.contains(strMaster.toUtf8()) && !byteContent.contains(strPassword.toUtf8()),
                     qPrintable(objectFile.fileName()));
            // The data stays its owner's alone, as the program keeps it.
            QCOMPARE(objectFile.permissions() & 0x0077, QFileDevice::Permissions());
        }
        // Stored as the selected account, as the window does on opening it.
        QCOMPARE(PageDriver::selected("intIdent").toInt(), 1);
        QCOMPARE(PageDriver::selected("strNote").toString(), QString("note"));

        QCOMPARE(cli({"password", "1"}, "\n").intCode, 1);
        QCOMPARE(cli({"password", "1"}, "m\xe4ster\n").intCode, 1);
        QProcessEnvironment objectEnvironment = QProcessEnvironment::systemEnvironment();
        for (const char *strName : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            objectEnvironment.remove(strName);
        }
        const Result objectCopy = cli({"password", "1", "--copy"}, "m\n", objectEnvironment);
        QCOMPARE(objectCopy.intCode, 1);
        QCOMPARE(objectCopy.strErr.count('\n'), 1);
    }

    // The shared fixtures that the page's tests read as well.
    void fingerprintFollowsTheSharedFixture() {
        PageDriver::seed({account("example.com", "me@example.com")});
        for (const QJsonValue &valuePair :
             fixtureObject("fingerprint/fingerprints.json").value("arrayFingerprints").toArray()) {
            const Result objectResult =
                cli({"password", "1", "--quiet"}, valuePair["strMaster"].toString().toUtf8() + "\n");
            QCOMPARE(objectResult.strErr, "Fingerprint: " + valuePair["strFingerprint"].toString() + "\n");
        }
    }

    // The same level and reason as the page, from the same script, in English.
    void passwordTellsTheMasterStrengthFromTheSharedTable() {
        TestSupport::resetRes(true);
        PageDriver::seed({account("example.com", "me@example.com")});
        for (const QJsonValue &valueMaster : TestSupport::fixtureMasters()) {
            const QString strMaster = TestSupport::fixtureMaster(valueMaster);
            const Result objectResult = cli({"password", "1"}, strMaster.toUtf8() + "\n");
            const QString strLine = objectResult.strErr.section('\n', 1, 1);
            const QString strLevel = PageDriver::catalogue("master_level_" + valueMaster["strLevel"].toString());
            QVERIFY2(objectResult.intCode == 0 && strLine.startsWith("Master password: " + strLevel + ". "),
                     qPrintable(valueMaster["strName"].toString() + ": " + objectResult.strErr));
            const QString strReason = valueMaster["strReason"].toString();
            QVERIFY(strReason.isEmpty() || strLine.endsWith(PageDriver::catalogue("master_reason_" + strReason)));
        }
        // Without the scripts beside it, it says so and still gives the password.
        QVERIFY(QDir().rename(TestSupport::appPath("assets"), TestSupport::appPath("assets-away")));
        const Result objectBare = cli({"password", "1"}, "master\n");
        QVERIFY(QDir().rename(TestSupport::appPath("assets-away"), TestSupport::appPath("assets")));
        QCOMPARE(objectBare.intCode, 0);
        QCOMPARE(objectBare.strOut, QString("S50X3jGa0BtqkPX\n"));
        QVERIFY(objectBare.strErr.contains("cannot be estimated"));
    }

    void listFollowsTheSharedFilterFixture() {
        const QJsonObject objectFixture = fixtureObject("list/filter.json");
        PageDriver::seed(accounts(objectFixture["arrayAccounts"].toArray()));
        for (const QJsonValue &valueCase : objectFixture["arrayCases"].toArray()) {
            const Result objectResult = cli({"list", valueCase["strFilter"].toString()});
            QCOMPARE(objectResult.intCode, 0);
            QCOMPARE(idents(objectResult.strOut), valueCase["arrayIdents"].toArray().toVariantList());
        }
    }

    void importGivesTheSharedOutcome_data() {
        QTest::addColumn<QJsonObject>("objectImport");
        for (const QJsonValue &valueImport : fixtureObject("transfer/manifest.json")["arrayImports"].toArray()) {
            QTest::newRow(qPrintable(valueImport["strFile"].toString())) << valueImport.toObject();
        }
    }

    void importGivesTheSharedOutcome() {
        QFETCH(QJsonObject, objectImport);
        const QList<PageAccount> qlistExisting =
            accounts(fixtureObject("transfer/manifest.json")["arrayExisting"].toArray());
        PageDriver::seed(qlistExisting);
        const Result objectResult =
            cli({"import", TestSupport::sourcePath("tests/fixtures/transfer/" + objectImport["strFile"].toString())});
        const QString strReason = objectImport["strReason"].toString();
        const QList<PageAccount> qlistAdded = accounts(objectImport["arrayAdded"].toArray());
        if (strReason.isEmpty()) {
            QCOMPARE(objectResult.intCode, 0);
            QCOMPARE(objectResult.strOut, QString("Accounts added: %1. Already in the list, skipped: %2.\n")
                                              .arg(qlistAdded.size())
                                              .arg(objectImport["intSkipped"].toInt()));
        } else {
            QCOMPARE(objectResult.intCode, 1);
            if (strReason != "entry") {
                const QString strWords = strReason == "json"   ? "not valid JSON"
                                         : strReason == "list" ? "not a list"
                                                               : "empty";
                QVERIFY2(objectResult.strErr.contains(strWords), qPrintable(objectResult.strErr));
            } else {
                // In the window's words: one of its reasons for an entry, with the entry's number and field.
                const QString strValues = QString("{index}=%1 {field}=%2")
                                              .arg(objectImport["intIndex"].toInt())
                                              .arg(objectImport["strField"].toString());
                bool boolWindow = false;
                for (const char *strName : {"import_reason_entry", "import_reason_broken", "import_reason_website",
                                            "import_reason_length", "import_reason_special"}) {
                    QString strText = window(strName);
                    for (const QString &strValue : strValues.split(' ')) {
                        strText.replace(strValue.section('=', 0, 0), strValue.section('=', 1));
                    }
                    boolWindow = boolWindow || objectResult.strErr.contains("(" + strText + ")");
                }
                QVERIFY2(boolWindow, qPrintable(objectResult.strErr));
            }
        }
        QCOMPARE(describe(PageDriver::stored()), describe(qlistExisting + qlistAdded));
    }

    void exportGivesTheSharedFixtureText() {
        const QJsonObject objectManifest = fixtureObject("transfer/manifest.json");
        PageDriver::seed(accounts(objectManifest["arrayExisting"].toArray()));
        const QString strExpected =
            QString::fromUtf8(TestSupport::fixture("transfer/" + objectManifest["strExport"].toString()));
        QCOMPARE(cli({"export"}).strOut, strExpected);
        QCOMPARE(cli({"export", TestSupport::appPath("exported.json")}).intCode, 0);
        QCOMPARE(QString::fromUtf8(TestSupport::readFile("exported.json")), strExpected);
        // The list is private data: only its owner may read the file.
        QCOMPARE(QFileInfo(TestSupport::appPath("exported.json")).permissions() & 0x0077, QFileDevice::Permissions());
    }

    void exportThenImportIntoAnEmptyFolderGivesTheSamePasswords() {
        const QList<PageAccount> qlistAccounts = {
            account("b.example", "b@example", "bob", "", 27, "!?@#"),
            account("\u4f8b\u5b50.\u4e2d\u56fd", "\u00fc@x.de", "", "line\none", 4),
            account(" spaced.example ", "", "", "", 15, "#")};
        PageDriver::seed(qlistAccounts);
        const QString strExported = cli({"export"}).strOut;
        QStringList qstringlistBefore;
        for (int intIdent = 1; intIdent <= 3; intIdent += 1) {
            qstringlistBefore.append(cli({"password", QString::number(intIdent)}, "master\n").strOut);
        }

        TestSupport::resetRes();
        QCOMPARE(cli({"import", "-"}, strExported.toUtf8(), QProcessEnvironment::systemEnvironment(), true).strOut,
                 QString("Accounts added: 3. Already in the list, skipped: 0.\n"));
        QCOMPARE(describe(PageDriver::stored()), describe(qlistAccounts));
        for (int intIdent = 1; intIdent <= 3; intIdent += 1) {
            QCOMPARE(cli({"password", QString::number(intIdent)}, "master\n").strOut,
                     qstringlistBefore.at(intIdent - 1));
        }
    }

    void failuresChangeNothing() {
        PageDriver::seed({account("a.example", "a@example")});
        // A write that fails half-way undoes the ones before it.
        QVERIFY(
            TestSupport::executeSql("CREATE TRIGGER refuse BEFORE INSERT ON PreferenceAccount WHEN NEW.strWebsite = "
                                    "'second.example' BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        const Result objectResult = cli({"import", "-"}, "[{\"strWebsite\": \"first.example\", \"strMail\": \"\"},"
                                                         " {\"strWebsite\": \"second.example\", \"strMail\": \"\"}]");
        QCOMPARE(objectResult.intCode, 1);
        QVERIFY2(objectResult.strErr.contains("refused"), qPrintable(objectResult.strErr));
        QCOMPARE(PageDriver::stored().size(), 1);
        QCOMPARE(cli({"import", TestSupport::appPath("missing.json")}).intCode, 1);

        // A row another program numbered beyond 32 bits is numbered anew at start, and the new one follows it.
        QVERIFY(
            TestSupport::executeSql("INSERT INTO PreferenceAccount (intIdent, strWebsite) VALUES (4294967297, 'x')"));
        QCOMPARE(cli({"add", "--website", "n.example"}).intCode, 0);
        QCOMPARE(TestSupport::selectSql("SELECT intIdent, strWebsite FROM PreferenceAccount ORDER BY intIdent"),
                 QList<QVariantList>({{1, "a.example"}, {2, "x"}, {3, "n.example"}}));
    }

    // Every failure is said in one line with exit code 1 (2 for a wrong command line), claims no success, and
    // leaves the database and an earlier export as they were; a password that was derived is still given.
    void faultsAreSaidAndChangeNothing_data() {
        QTest::addColumn<QString>("strSetup");
        QTest::addColumn<QString>("strShell");
        QTest::addColumn<QByteArray>("byteInput");
        QTest::addColumn<int>("intCode");
        QTest::addColumn<QString>("strErr");
        QTest::newRow("export to a full standard output")
            << ""
            << "export > /dev/full" << QByteArray() << 1 << "cannot write to standard output";
        QTest::newRow("list to a full standard output")
            << ""
            << "list > /dev/full" << QByteArray() << 1 << "cannot write to standard output";
        QTest::newRow("export onto /dev/full") << ""
                                               << "export /dev/full" << QByteArray() << 1 << "cannot write /dev/full";
        QTest::newRow("export onto a full disk")
            << "full disk"
            << "export full/e.json" << QByteArray() << 1 << "No space left on device";
        QTest::newRow("export over a file on a full disk")
            << "full disk, old file"
            << "export full/e.json" << QByteArray() << 1 << "a file of that name is as it was";
        QTest::newRow("an option's value not UTF-8") << ""
                                                     << "add --website \"$(printf 'a\\377')\"" << QByteArray() << 2
                                                     << "the value of --website is not UTF-8 text";
        QTest::newRow("a value after = not UTF-8")
            << ""
            << "add --website a --note=$'\\376'" << QByteArray() << 2 << "the value of --note is not UTF-8";
        QTest::newRow("an argument not UTF-8")
            << ""
            << "list $'x\\300\\200'" << QByteArray() << 2 << "argument 2 is not UTF-8 text";
        QTest::newRow("two megabytes as the master password")
            << ""
            << "password 1" << QByteArray(2 << 20, 'm') << 1 << "longer than 65536 bytes";
        QTest::newRow("the selection cannot be stored")
            << "selection folder"
            << "password 1 --quiet" << QByteArray("m\n") << 0 << "could not be stored as the selected one";
        QTest::newRow("a damaged database") << "damaged"
                                            << "list" << QByteArray() << 1 << "It was left unchanged";
        QTest::newRow("a view instead of the table")
            << "view"
            << "add --website n.example" << QByteArray() << 1 << "without an account table";
    }

    void faultsAreSaidAndChangeNothing() {
        QFETCH(QString, strSetup);
        QFETCH(QString, strShell);
        QFETCH(QByteArray, byteInput);
        QFETCH(int, intCode);
        QFETCH(QString, strErr);
        PageDriver::seed({account("a.example", "a@example")});
        const QString strFull = TestSupport::appPath("full");
        QDir().mkpath(strFull);
        if (strSetup.startsWith("full disk")) {
            QVERIFY(QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=16k", "tmpfs", strFull}) == 0);
            if (strSetup.endsWith("old file")) {
                TestSupport::writeFile("full/e.json", "old");
            }
            // Filled up, so that not even the first block of the export finds room.
            TestSupport::writeFile("full/filler", QByteArray(64 << 10, 'f'));
        } else if (strSetup == "selection folder") {
            QVERIFY(QDir().mkpath(TestSupport::appPath("res/PreferenceAccountSelected.ini")));
        } else if (strSetup == "damaged") {
            TestSupport::writeFile("res/PreferenceAccount.sqlite", "minutes of the meeting, not an account list\n");
        } else if (strSetup == "view") {
            QVERIFY(TestSupport::executeSql("ALTER TABLE PreferenceAccount RENAME TO Kept"));
            QVERIFY(TestSupport::executeSql("CREATE VIEW PreferenceAccount AS SELECT * FROM Kept"));
        }
        const QByteArray byteDatabase = TestSupport::readFile("res/PreferenceAccount.sqlite");

        QProcess objectShell;
        objectShell.setWorkingDirectory(TestSupport::appPath(""));
        objectShell.start("bash", {"-c", "exec \"$0\" " + strShell, strProgram});
        objectShell.write(byteInput);
        objectShell.closeWriteChannel();
        QVERIFY(objectShell.waitForFinished(60000));
        const QString strOut = QString::fromUtf8(objectShell.readAllStandardOutput());
        const QString strError = QString::fromUtf8(objectShell.readAllStandardError());
        const QByteArray byteExport = TestSupport::readFile("full/e.json");
        if (strSetup.startsWith("full disk")) {
            QProcess::execute("umount", {strFull});
        }

        QCOMPARE(objectShell.exitCode(), intCode);
        QVERIFY2(strError.contains(strErr), qPrintable(strError));
        QVERIFY2(!strError.contains("exported") && !strError.contains("added"), qPrintable(strError));
        QCOMPARE(strError.count('\n'), intCode == 0 ? 2 : 1);
        QCOMPARE(byteExport, QByteArray(strSetup.endsWith("old file") ? "old" : ""));
        QCOMPARE(TestSupport::readFile("res/PreferenceAccount.sqlite"), byteDatabase);
        QVERIFY(QFileInfo("/dev/full").exists() && !QFileInfo("/dev/full").isFile());
        // A password that was derived is still shown.
        QCOMPARE(strOut.size(), intCode == 0 ? 16 : 0);
    }

    void accountIsNamedByIdentWebsiteOrOneMatch_data() {
        QTest::addColumn<QString>("strName");
        QTest::addColumn<int>("intIdent");
        QTest::addColumn<QVariantList>("qvariantlistCandidate");
        QTest::newRow("ident") << "3" << 3 << QVariantList();
        QTest::newRow("exact website among matches") << "mail.example.org" << 3 << QVariantList();
        QTest::newRow("one match, in the note") << "DOWNTOWN" << 4 << QVariantList();
        QTest::newRow("website of two") << "example.com" << 0 << QVariantList({1, 2});
        QTest::newRow("several matches") << "EXAMPLE" << 0 << QVariantList({4, 1, 2, 3});
        QTest::newRow("no match") << "nothing" << 0 << QVariantList();
        QTest::newRow("no such ident") << "99" << 0 << QVariantList();
    }

    void accountIsNamedByIdentWebsiteOrOneMatch() {
        QFETCH(QString, strName);
        QFETCH(int, intIdent);
        QFETCH(QVariantList, qvariantlistCandidate);
        PageDriver::seed({account("example.com", "me@example.com"), account("example.com", "you@example.com"),
                          account("mail.example.org", "me@mail.example.org"),
                          account("Bank.example", "b@example", "", "branch downtown")});
        const Result objectResult = cli({"show", strName});
        QCOMPARE(objectResult.intCode, intIdent == 0 ? 2 : 0);
        QCOMPARE(objectResult.strOut.section('\n', 0, 0).section(' ', -1).toInt(), intIdent);
        QCOMPARE(idents(objectResult.strErr.section('\n', 1)), qvariantlistCandidate);
    }

    void showWarnsAsTheWindowDoes() {
        PageDriver::seed({account("example.com", "me@example.com"), account(" www.Example.com", "ME@example.com"),
                          account("example.com", "me@example.com", "second")});
        const QString strFirst = cli({"show", "1"}).strOut;
        QCOMPARE(strFirst.count("Warning: "), 2);
        // Wrapped for a terminal of 80 columns, the lines after the first under the warning's first word.
        for (const QString &strLine : strFirst.split('\n')) {
            QVERIFY2(strLine.size() <= 80, qPrintable(strLine));
        }
        QVERIFY(strFirst.contains("\n           "));
        QVERIFY(strFirst.simplified().contains("exactly this website and mail: 1."));
        QVERIFY(strFirst.contains(":  www.Example.com / ME@example.com."));
        const QString strSecond = cli({"show", "2"}).strOut;
        QVERIFY(strSecond.contains("  Website text:     \" www.Example.com\"\n"));
        QVERIFY(strSecond.contains("starts or ends with a space"));
    }

    void addEditAndRemoveAreCheckedAsInTheForm_data() {
        QTest::addColumn<QStringList>("qstringlistArgument");
        QTest::addColumn<int>("intCode");
        QTest::addColumn<QStringList>("qstringlistStored");
        const QStringList qstringlistBefore = describe(qlistEdited);
        const QString strFirst = qstringlistBefore.at(0);
        const QString strOld = qstringlistBefore.at(1);
        QTest::newRow("add with defaults") << QStringList({"add", "--website", "n.example"}) << 0
                                           << qstringlistBefore + QStringList("n.example |  |  |  | 15 | ");
        QTest::newRow("add, markers in the form's order")
            << QStringList({"add", "--website", "n", "--mail", "m", "--user", "u", "--note", "a\nb", "--length", "27",
                            "--special", "#!#"})
            << 0 << qstringlistBefore + QStringList("n | m | u | a\nb | 27 | !#");
        for (const QString strLength : {"3", "28", "abc", "-1"}) {
            QTest::newRow(qPrintable("length " + strLength))
                << QStringList({"add", "--website", "n", "--length", strLength}) << 2 << qstringlistBefore;
        }
        QTest::newRow("website only spaces") << QStringList({"add", "--website", " \t"}) << 2 << qstringlistBefore;
        QTest::newRow("no website") << QStringList({"add", "--mail", "m"}) << 2 << qstringlistBefore;
        QTest::newRow("special outside the four")
            << QStringList({"add", "--website", "n", "--special", "!$"}) << 2 << qstringlistBefore;
        QTest::newRow("edit one field") << QStringList({"edit", "1", "--user", "bob"}) << 0
                                        << QStringList({"example.com | me@example.com | bob |  | 15 | !#", strOld});
        QTest::newRow("edit to an empty website")
            << QStringList({"edit", "1", "--website", ""}) << 2 << qstringlistBefore;
        QTest::newRow("old length and characters stay")
            << QStringList({"edit", "2", "--note", "n", "--special", "!", "--length", "100"}) << 0
            << QStringList({strFirst, "old.example | o@example |  | n | 100 | xyz!"});
        QTest::newRow("changed markers replace old characters")
            << QStringList({"edit", "2", "--special", "?!"}) << 0
            << QStringList({strFirst, QString(strOld).replace("xyz!", "!?")});
        QTest::newRow("add an exact duplicate") << QStringList({"add", "--website", "example.com", "--mail",
                                                                "me@example.com", "--user", "me", "--special", "!#"})
                                                << 2 << qstringlistBefore;
        QTest::newRow("add what differs in the note alone")
            << QStringList({"add", "--website", "example.com", "--mail", "me@example.com", "--user", "me", "--special",
                            "!#", "--note", "n"})
            << 0 << qstringlistBefore + QStringList("example.com | me@example.com | me | n | 15 | !#");
        QTest::newRow("edit into an exact duplicate")
            << QStringList({"edit", "2", "--website", "example.com", "--mail", "me@example.com", "--user", "me",
                            "--length", "15", "--special", "!#", "--note", ""})
            << 2 << qstringlistBefore;
        QTest::newRow("remove") << QStringList({"remove", "1", "--yes"}) << 0 << QStringList({qstringlistBefore.at(1)});
        QTest::newRow("remove an unknown account")
            << QStringList({"remove", "nothing", "--yes"}) << 2 << qstringlistBefore;
    }

    void addEditAndRemoveAreCheckedAsInTheForm() {
        QFETCH(QStringList, qstringlistArgument);
        QFETCH(int, intCode);
        QFETCH(QStringList, qstringlistStored);
        PageDriver::seed(qlistEdited);
        // The account that was selected is the one acted on, or none once it is removed.
        cli({"password", "1"}, "m\n");
        const Result objectResult = cli(qstringlistArgument);
        QCOMPARE(objectResult.intCode, intCode);
        QCOMPARE(describe(PageDriver::stored()), qstringlistStored);
        if (intCode == 0) {
            const int intActed = objectResult.strOut.section(": ", 1).section('.', 0, 0).toInt();
            QCOMPARE(PageDriver::selected("intIdent").toInt(), qstringlistArgument.at(0) == "remove" ? 0 : intActed);
        }
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "test_cli.moc"
