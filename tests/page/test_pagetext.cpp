#include "PageDriver.h"

#include "display/Display.h"
#include "support/TestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

// Each would run script or add elements if it reached the document as markup; every handler also tries to
// empty the account table through the bridge.
const QString strWebsite = "<img src=x onerror=\"window.boolRan=true;jsPreferenceAccount.clear()\">site";
const QString strMail = "<script>window.boolRan=true;jsPreferenceAccount.clear()</script>@mail";
const QString strUser = "\"><svg onload=\"window.boolRan=true;jsPreferenceAccount.clear()\"></svg>";
const QString strNote = "<b>bold</b><iframe src=\"javascript:window.parent.boolRan=true\"></iframe>";

QString json(const QList<PageAccount> &qlistAccounts) {
    QJsonArray objectArray;
    for (const PageAccount &objectAccount : qlistAccounts) {
        objectArray.append(QJsonObject{{"strWebsite", objectAccount.strWebsite},
                                       {"strMail", objectAccount.strMail},
                                       {"strUser", objectAccount.strUser},
                                       {"strNote", objectAccount.strNote},
                                       {"intLength", objectAccount.intLength},
                                       {"strSpecial", objectAccount.strSpecial}});
    }
    return QString::fromUtf8(QJsonDocument(objectArray).toJson());
}

QJsonObject transferManifest() {
    return QJsonDocument::fromJson(TestSupport::fixture("transfer/manifest.json")).object();
}

QStringList websites(const QList<PageAccount> &qlistAccounts) {
    QStringList qstringlistResult;
    for (const PageAccount &objectAccount : qlistAccounts) {
        qstringlistResult.append(objectAccount.strWebsite);
    }
    return qstringlistResult;
}

} // namespace

class TestPageText : public QObject {
    Q_OBJECT

    PageDriver objectDriver;

    // Elements that markup in stored text would have made, anywhere in the document.
    int foreignElements() const {
        return objectDriver
            .js("document.querySelectorAll('img, script:not([src]), iframe, b, main svg:not(.fingerprint-symbol),"
                " [onerror], [onload]').length")
            .toInt();
    }

    bool ran() const { return objectDriver.js("window.boolRan === true").toBool(); }

    void checkNothingRan() {
        QTest::qWait(100);
        QCOMPARE(foreignElements(), 0);
        QVERIFY(!ran());
        QCOMPARE(PageDriver::stored().size(), 2);
    }

private slots:
    void initTestCase() { objectDriver.start(); }

    void init() { objectDriver.objectPage->qstringlistConsole.clear(); }

    void cleanup() { objectDriver.checkConsole(); }

    void storedMarkupIsShownAsTextAndRunsNothing() {
        QVERIFY(objectDriver.restart(
            {account(strWebsite, strMail, strUser, strNote, 12, "@"), account("plain.example", "me@plain.example")}));
        checkNothingRan();

        // The list shows the texts as they are stored.
        const QString strFirst = "document.querySelector('#list .item[data-index=\"0\"]')";
        QCOMPARE(objectDriver.js(strFirst + ".querySelector('.item-site').textContent").toString(), strWebsite);
        QVERIFY(objectDriver.js(strFirst + ".querySelector('.item-sub').textContent").toString().contains(strMail));

        // Filtering marks the match inside the markup text, still as text.
        objectDriver.type("filter", "<img");
        QCOMPARE(objectDriver.js(strFirst + ".querySelector('mark').textContent").toString(), QString("<img"));
        QCOMPARE(objectDriver.js(strFirst + ".querySelector('.item-site').textContent").toString(), strWebsite);
        objectDriver.key(Qt::Key_Escape);
        QCOMPARE(objectDriver.value("filter"), QString());
        // A match only in the note shows the note in the row.
        objectDriver.keys("<b>");
        QCOMPARE(objectDriver.js("ListScreen.view().length").toInt(), 1);
        QVERIFY(objectDriver.js(strFirst + ".querySelector('.item-sub').textContent").toString().contains(strNote));
        objectDriver.key(Qt::Key_Escape);
        checkNothingRan();

        // The account screen, its derivation details and the form.
        objectDriver.click("#list .item[data-index=\"0\"]");
        QTRY_COMPARE(objectDriver.screen(), QString("account"));
        QCOMPARE(objectDriver.text("account-title"), strWebsite);
        QCOMPARE(objectDriver.text("account-mail"), strMail);
        QCOMPARE(objectDriver.text("account-user"), strUser);
        QCOMPARE(objectDriver.text("account-note"), strNote);
        QCOMPARE(objectDriver.text("derivation-website"), strWebsite);
        QCOMPARE(objectDriver.text("derivation-mail"), strMail);
        objectDriver.keys("master");
        QTest::qWait(700);
        checkNothingRan();

        objectDriver.click("#account-edit");
        QCOMPARE(objectDriver.screen(), QString("edit"));
        QCOMPARE(objectDriver.value("edit-website"), strWebsite);
        QCOMPARE(objectDriver.value("edit-note"), strNote);
        objectDriver.click("#edit-delete");
        QVERIFY(objectDriver.shown("dialog-delete"));
        QVERIFY(objectDriver.text("dialog-delete-text").contains(strWebsite));
        checkNothingRan();
        objectDriver.key(Qt::Key_Escape);
        QVERIFY(!objectDriver.shown("dialog-delete"));

        // The selection stores the texts unchanged, and the next start shows them the same way.
        QCOMPARE(PageDriver::selected("strWebsite").toString(), strWebsite);
        QVERIFY(objectDriver.reload());
        QCOMPARE(objectDriver.screen(), QString("account"));
        QCOMPARE(objectDriver.text("account-title"), strWebsite);
        checkNothingRan();
    }

    // "What makes this password" shows every character: what draws nothing as a mark with its code point, what
    // the fonts may lack with its code point beside it.
    void everyCharacterOfTheDerivationIsSeen_data() {
        QTest::addColumn<QString>("strMail");
        QTest::addColumn<QString>("strMarks");
        QTest::newRow("plain") << QString("me@example.com") << "";
        QTest::newRow("zero-width space") << QString("me\u200b@example.com") << "mark U+200B";
        QTest::newRow("joined family") << QString("\U0001f468\u200d\U0001f469\u200d\U0001f467@x.example")
                                       << "code U+1F468|mark U+200D|code U+1F469|mark U+200D|code U+1F467";
        QTest::newRow("right-to-left mark") << QString("\u200fme@example.com") << "mark U+200F";
        QTest::newRow("variation selector") << QString("\u2764\ufe0f@x.example") << "code U+2764|mark U+FE0F";
        QTest::newRow("emoji") << QString("me+\U0001f511@mail.example") << "code U+1F511";
        QTest::newRow("no-break space and soft hyphen")
            << QString("a\u00a0b\u00adc@x.example") << "mark U+00A0|mark U+00AD";
    }

    void everyCharacterOfTheDerivationIsSeen() {
        QFETCH(QString, strMail);
        QFETCH(QString, strMarks);
        QVERIFY(objectDriver.restart({account("example.com", strMail)}));
        objectDriver.openFirst();
        const QString strFound =
            objectDriver
                .js("Array.prototype.map.call(document.querySelectorAll('#derivation-mail span'), function(e) {"
                    " return e.className === 'exact-char' ? null : e.className.replace('exact-', '') + ' ' + "
                    "e.textContent + (e.offsetWidth > 4 ? '' : ' unseen'); })"
                    ".filter(function(t) { return t !== null; }).join('|')")
                .toString();
        QCOMPARE(strFound, strMarks);
        // Characters that may lack a font are still there, each in the text once.
        const QString strChars =
            objectDriver
                .js("Array.prototype.map.call(document.querySelectorAll('#derivation-mail .exact-char'), function(e) "
                    "{ return e.textContent; }).join('')")
                .toString();
        for (const uint intPoint : strMail.toUcs4()) {
            const char32_t charPoint = intPoint;
            QVERIFY(intPoint < 0x2600 || intPoint == 0xfe0f || strChars.contains(QString::fromUcs4(&charPoint, 1)));
        }
    }

    void longDerivationTextWrapsInFull() {
        const QString strWebsite = QString("VERYLONGSUBDOMAIN").repeated(17) + ".example";
        QVERIFY(objectDriver.restart({account(strWebsite, "me@example.com")}));
        objectDriver.openFirst();
        QCOMPARE(objectDriver.text("derivation-website"), strWebsite);
        const QString strBox = "document.getElementById('derivation-website')";
        QVERIFY(objectDriver.js(strBox + ".scrollWidth <= " + strBox + ".clientWidth + 1").toBool());
        QVERIFY(objectDriver.js(strBox + ".offsetHeight > 60").toBool());
        QVERIFY(objectDriver.js(strBox + ".getBoundingClientRect().right <= window.innerWidth").toBool());
    }

    void importPreviewShowsMarkupAsText() {
        QVERIFY(objectDriver.restart({account("a.example", "a@example"), account("b.example", "b@example")}));
        PageDriver::setClipboard(json({account(strWebsite, strMail, strUser, strNote)}));
        objectDriver.click("#nav-transfer");
        objectDriver.click("#import-button");
        QVERIFY(objectDriver.shown("import-preview"));
        QCOMPARE(objectDriver.js("document.querySelector('#import-list .preview-site').textContent").toString(),
                 strWebsite);
        checkNothingRan();
    }

    void invalidImportChangesNothing_data() {
        QTest::addColumn<QString>("strClipboard");
        QTest::addColumn<QString>("strReason");
        const QString strEntry = "[{\"strWebsite\": \"x\", \"strMail\": \"m\", %1}]";
        QTest::newRow("empty clipboard") << QString() << "import_reason_empty";
        QTest::newRow("only spaces") << QString("   \n") << "import_reason_empty";
        QTest::newRow("not json") << QString("website,mail\nexample.com,me@example.com") << "import_reason_json";
        QTest::newRow("cut off") << QString("[{\"strWebsite\": \"x.example\", \"strMail\": \"m\"")
                                 << "import_reason_json";
        QTest::newRow("an object, not a list")
            << QString("{\"strWebsite\": \"x.example\", \"strMail\": \"m\"}") << "import_reason_list";
        QTest::newRow("a list of numbers") << QString("[1, 2]") << "import_reason_entry";
        QTest::newRow("entry without mail") << QString("[{\"strWebsite\": \"x.example\"}]") << "import_reason_entry";
        QTest::newRow("website a number")
            << QString("[{\"strWebsite\": 5, \"strMail\": \"m\"}]") << "import_reason_entry";
        QTest::newRow("note a list") << strEntry.arg("\"strNote\": []") << "import_reason_entry";
        QTest::newRow("a null entry") << QString("[null]") << "import_reason_entry";
        QTest::newRow("sound entries then a broken one")
            << QString("[{\"strWebsite\": \"new1.example\", \"strMail\": \"m\"},"
                       " {\"strWebsite\": \"new2.example\", \"strMail\": \"m\"}, {\"strWebsite\": null}]")
            << "import_reason_entry";
        // What the form refuses, an import refuses too.
        QTest::newRow("website empty") << QString("[{\"strWebsite\": \"\", \"strMail\": \"m\"}]")
                                       << "import_reason_website";
        QTest::newRow("website only spaces")
            << QString("[{\"strWebsite\": \" \\t\\u3000\", \"strMail\": \"m\"}]") << "import_reason_website";
        QTest::newRow("length as text") << strEntry.arg("\"intLength\": \"15\"") << "import_reason_length";
        QTest::newRow("length not whole") << strEntry.arg("\"intLength\": 15.5") << "import_reason_length";
        QTest::newRow("length 99") << strEntry.arg("\"intLength\": 99") << "import_reason_length";
        QTest::newRow("length 28") << strEntry.arg("\"intLength\": 28") << "import_reason_length";
        QTest::newRow("length 3") << strEntry.arg("\"intLength\": 3") << "import_reason_length";
        QTest::newRow("length 0") << strEntry.arg("\"intLength\": 0") << "import_reason_length";
        QTest::newRow("length -1") << strEntry.arg("\"intLength\": -1") << "import_reason_length";
        QTest::newRow("length too large") << strEntry.arg("\"intLength\": 4294967311") << "import_reason_length";
        QTest::newRow("special other than the four")
            << strEntry.arg("\"strSpecial\": \"!!$\"") << "import_reason_special";
    }

    void invalidImportChangesNothing() {
        QFETCH(QString, strClipboard);
        QFETCH(QString, strReason);
        QVERIFY(objectDriver.restart({account("a.example", "a@example"), account("b.example", "b@example")}));
        const QStringList qstringlistBefore = websites(PageDriver::stored());
        PageDriver::setClipboard(strClipboard);
        objectDriver.click("#nav-transfer");
        QCOMPARE(objectDriver.screen(), QString("transfer"));
        objectDriver.click("#import-button");
        QVERIFY(objectDriver.js("document.getElementById('import-result').classList.contains('error')").toBool());
        QVERIFY(!objectDriver.text("import-result").isEmpty());
        QCOMPARE(objectDriver.js("TransferScreen.parse(Copying.get()).strReason").toString(), strReason);
        QVERIFY(!objectDriver.shown("import-preview"));
        QVERIFY(!objectDriver.shown("import-confirm"));
        QTest::qWait(50);
        QCOMPARE(websites(PageDriver::stored()), qstringlistBefore);
        QCOMPARE(objectDriver.js("Accounts.all().length").toInt(), 2);
    }

    void importAddsOnlyWhatIsNew() {
        QVERIFY(objectDriver.restart({account("a.example", "a@example", "ann", "", 15, "!")}));
        PageDriver::setClipboard(json({
            account("a.example", "a@example", "ann", "", 15, "!"),   // already there
            account("a.example", "a@example", "ann", "", 16, "!"),   // another length: another account
            account("c.example", "c@example", "", "note\nline two"), // new
            account("c.example", "c@example", "", "note\nline two"), // twice in the text
        }));
        objectDriver.click("#nav-transfer");
        objectDriver.click("#import-button");
        QVERIFY(objectDriver.shown("import-preview"));
        QCOMPARE(objectDriver.js("document.querySelectorAll('#import-list li').length").toInt(), 2);
        QCOMPARE(objectDriver.text("import-result"),
                 objectDriver.js("Catalogue.get('import_preview', {add: 2, skip: 2})").toString());
        // What sets an entry apart from the listed account with its website and mail is shown.
        QCOMPARE(objectDriver.js("document.querySelectorAll('#import-list .preview-changes').length").toInt(), 1);
        QVERIFY(objectDriver.text("import-list")
                    .contains(objectDriver
                                  .js("Catalogue.get('import_change', {field: Catalogue.get('field_length'),"
                                      " value: 16, listed: 15})")
                                  .toString()));
        // Nothing is written before the user agrees, and a second Enter is no agreement.
        QCOMPARE(objectDriver.js("document.activeElement === document.querySelector('#import-list li')").toBool(),
                 true);
        objectDriver.key(Qt::Key_Return);
        QTest::qWait(50);
        QCOMPARE(PageDriver::stored().size(), 1);
        objectDriver.key(Qt::Key_Tab);
        QCOMPARE(objectDriver.focused(), QString("import-confirm"));
        objectDriver.key(Qt::Key_Return);
        QTRY_COMPARE(PageDriver::stored().size(), 3);
        const QList<PageAccount> qlistStored = PageDriver::stored();
        QCOMPARE(qlistStored.at(1).intLength, 16);
        QCOMPARE(qlistStored.at(2).strNote, QString("note\nline two"));
        QCOMPARE(qlistStored.at(2).strUser, QString());
        QVERIFY(!objectDriver.shown("import-preview"));

        // The same text again adds nothing.
        objectDriver.click("#import-button");
        QVERIFY(!objectDriver.shown("import-preview"));
        QCOMPARE(objectDriver.text("import-result"), objectDriver.js("Catalogue.get('import_nothing')").toString());
        QCOMPARE(PageDriver::stored().size(), 3);
    }

    void importCanBeCancelled() {
        QVERIFY(objectDriver.restart({account("a.example", "a@example")}));
        PageDriver::setClipboard(json({account("new.example", "n@example")}));
        objectDriver.click("#nav-transfer");
        objectDriver.click("#import-button");
        QVERIFY(objectDriver.shown("import-preview"));
        objectDriver.key(Qt::Key_Escape);
        QVERIFY(!objectDriver.shown("import-preview"));
        QCOMPARE(objectDriver.screen(), QString("transfer"));
        objectDriver.click("#import-button");
        objectDriver.click("#import-cancel");
        QVERIFY(!objectDriver.shown("import-preview"));
        QTest::qWait(50);
        QCOMPARE(PageDriver::stored().size(), 1);
    }

    void exportedListImportsIntoAnEmptyList() {
        const QList<PageAccount> qlistAccounts = {
            account("b.example", "b@example", "bob", "", 27, "!?@#"),
            account("\u4f8b\u5b50.\u4e2d\u56fd", "\u00fc@x.de", "", "\"quoted\" \\ back", 4, ""),
            account(" spaced.example ", "", "", "", 4, "#!")};
        QVERIFY(objectDriver.restart(qlistAccounts));
        objectDriver.click("#nav-transfer");
        objectDriver.click("#export-button");
        const QString strExported = PageDriver::clipboard();
        QVERIFY(!objectDriver.shown("countdown"));
        QVERIFY(!strExported.contains("intIdent"));
        // The confirmation shows again after the screen was left and its message emptied.
        objectDriver.click("#nav-accounts");
        objectDriver.click("#nav-transfer");
        objectDriver.click("#export-button");
        QVERIFY(objectDriver.shown("export-result"));
        QCOMPARE(QJsonDocument::fromJson(strExported.toUtf8()).array().size(), 3);

        QVERIFY(objectDriver.restart());
        PageDriver::setClipboard(strExported);
        objectDriver.click("#nav-transfer");
        objectDriver.click("#import-button");
        objectDriver.click("#import-confirm");
        QTRY_COMPARE(PageDriver::stored().size(), 3);
        const QList<PageAccount> qlistStored = PageDriver::stored();
        for (int i = 0; i < qlistAccounts.size(); i += 1) {
            QCOMPARE(qlistStored.at(i).strWebsite, qlistAccounts.at(i).strWebsite);
            QCOMPARE(qlistStored.at(i).strMail, qlistAccounts.at(i).strMail);
            QCOMPARE(qlistStored.at(i).strUser, qlistAccounts.at(i).strUser);
            QCOMPARE(qlistStored.at(i).strNote, qlistAccounts.at(i).strNote);
            QCOMPARE(qlistStored.at(i).intLength, qlistAccounts.at(i).intLength);
            QCOMPARE(qlistStored.at(i).strSpecial, qlistAccounts.at(i).strSpecial);
        }
        // The list follows after one refresh.
        objectDriver.click("#nav-accounts");
        QCOMPARE(objectDriver.text("list-count"),
                 objectDriver.js("Catalogue.get('list_count_all', {total: 3})").toString());
    }

    // The shared fixtures that the terminal companion's tests read as well: the page's import of each text.
    void importGivesTheSharedOutcome_data() {
        QTest::addColumn<QJsonObject>("objectImport");
        for (const QJsonValue &valueImport : transferManifest().value("arrayImports").toArray()) {
            QTest::newRow(qPrintable(valueImport.toObject().value("strFile").toString())) << valueImport.toObject();
        }
    }

    void importGivesTheSharedOutcome() {
        QFETCH(QJsonObject, objectImport);
        const QList<PageAccount> qlistExisting = accounts(transferManifest().value("arrayExisting").toArray());
        QVERIFY(objectDriver.restart(qlistExisting));
        PageDriver::setClipboard(
            QString::fromUtf8(TestSupport::fixture("transfer/" + objectImport.value("strFile").toString())));
        const QVariantMap qmapParsed = objectDriver.js("TransferScreen.parse(Copying.get())").toMap();
        objectDriver.click("#nav-transfer");
        objectDriver.click("#import-button");

        const QString strReason = objectImport.value("strReason").toString();
        if (!strReason.isEmpty()) {
            QVERIFY2(qmapParsed.contains("strReason"), "the page accepts the text");
            if (strReason == "entry") {
                const QVariantMap qmapValues = qmapParsed.value("objectValues").toMap();
                QCOMPARE(qmapValues.value("index").toInt(), objectImport.value("intIndex").toInt());
                QCOMPARE(qmapValues.value("field").toString(), objectImport.value("strField").toString());
            } else {
                QCOMPARE(qmapParsed.value("strReason").toString(), "import_reason_" + strReason);
            }
            QVERIFY(objectDriver.js("document.getElementById('import-result').classList.contains('error')").toBool());
            QVERIFY(!objectDriver.shown("import-preview"));
            QTest::qWait(50);
            QCOMPARE(describe(PageDriver::stored()), describe(qlistExisting));
            return;
        }

        const QList<PageAccount> qlistAdded = accounts(objectImport.value("arrayAdded").toArray());
        const int intSkipped = objectImport.value("intSkipped").toInt();
        if (qlistAdded.isEmpty()) {
            QCOMPARE(objectDriver.text("import-result"),
                     intSkipped > 0 ? objectDriver.js("Catalogue.get('import_nothing')").toString()
                                    : objectDriver.js("Catalogue.get('import_preview', {add: 0, skip: 0})").toString());
        } else {
            QCOMPARE(objectDriver.text("import-result"),
                     objectDriver
                         .js(QString("Catalogue.get('import_preview', {add: %1, skip: %2})")
                                 .arg(qlistAdded.size())
                                 .arg(intSkipped))
                         .toString());
            objectDriver.click("#import-confirm");
            QTRY_COMPARE(PageDriver::stored().size(), qlistExisting.size() + qlistAdded.size());
        }
        QTest::qWait(50);
        QCOMPARE(describe(PageDriver::stored()), describe(qlistExisting + qlistAdded));
    }

    void exportGivesTheSharedFixtureText() {
        const QJsonObject objectManifest = transferManifest();
        QVERIFY(objectDriver.restart(accounts(objectManifest.value("arrayExisting").toArray())));
        objectDriver.click("#nav-transfer");
        objectDriver.click("#export-button");
        QCOMPARE(PageDriver::clipboard() + "\n",
                 QString::fromUtf8(TestSupport::fixture("transfer/" + objectManifest.value("strExport").toString())));
    }
};

QTEST_MAIN(TestPageText)
#include "test_pagetext.moc"
