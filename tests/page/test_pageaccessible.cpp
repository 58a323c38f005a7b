#include "PageDriver.h"

#include "display/Display.h"
#include "support/TestSupport.h"

#include <QAccessible>
#include <QMetaEnum>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString strMaster = "Gl\u00fchw\u00fcrmchen-42";

QString roleName(QAccessible::Role enumRole) {
    return QMetaEnum::fromType<QAccessible::Role>().valueToKey(enumRole);
}

// A catalogue name, or the text itself when the catalogue has no such name.
QString expected(const QString &strText) {
    const QString strCatalogue = PageDriver::catalogue(strText);
    return strCatalogue.isEmpty() ? strText : strCatalogue;
}

} // namespace

// The page as assistive technology reads it through Qt's accessibility interfaces.
class TestPageAccessible : public QObject {
    Q_OBJECT

    PageDriver objectDriver;

    QString focusName() const {
        QAccessibleInterface *objectFocus = objectDriver.accessible()->focusChild();
        return objectFocus != nullptr ? objectFocus->text(QAccessible::Name) : QString();
    }

private slots:
    void initTestCase() { objectDriver.start(); }

    void init() {
        objectDriver.objectPage->qstringlistConsole.clear();
        QVERIFY(objectDriver.restart({account("example.com", "me@example.com", "me"), account("b.org", "b@b.org"),
                                      account("c.net", "c@c.net")}));
    }

    void cleanup() { objectDriver.checkConsole(); }

    void everyControlHasItsRoleAndANameInTheLanguage_data() {
        // The language, a script that opens the screen, its title, and role and catalogue name (or text) of
        // controls that must be there, with the description after ">" where one is wanted.
        QTest::addColumn<QStringList>("qstringlistCase");
        QTest::newRow("account list in German")
            << QStringList{"de", "", "nav_accounts",
                           "Button:list_add EditableText:list_filter_label List:list_label Grouping:nav_main"};
        QTest::newRow("account in Arabic")
            << QStringList{"ar", "Selected.store(Accounts.all()[0]); Navigation.show('account');", "example.com",
                           "EditableText:master_label>master_hint EditableText:password_label Button:password_copy "
                           "Heading:example.com "
                           "CheckBox:master_show CheckBox:password_show"};
        QTest::newRow("editor in Japanese")
            << QStringList{"ja", "Navigation.show('edit', {objectAccount: Accounts.all()[0]});", "edit_title_edit",
                           "EditableText:field_website ComboBox:field_length Grouping:field_special CheckBox:!"};
        QTest::newRow("import and export in Russian")
            << QStringList{"ru", "Navigation.show('transfer');", "transfer_title",
                           "Button:export_button>export_text Button:import_button>import_text Grouping:transfer_title"};
        // The hint stands where the list would be, and the filter carries it.
        QTest::newRow("a filter that matches nothing in Italian")
            << QStringList{"it", "ListScreen.setFilter('zzz');", "nav_accounts",
                           "EditableText:list_filter_label>list_no_match Grouping:nav_accounts"};
        QTest::newRow("settings in Hindi") << QStringList{"hi", "Navigation.show('settings');", "settings_title",
                                                          "Grouping:language_title RadioButton:Deutsch"};
        // A dialog hides everything outside it.
        QTest::newRow("delete confirmation in French")
            << QStringList{"fr", "Dialog.confirmDelete(Accounts.all()[0], function() {});", "nav_accounts",
                           "Dialog:delete_confirm_title Button:action_delete Button:action_cancel"};
        QTest::newRow("shortcuts in Korean")
            << QStringList{"ko", "Shortcuts.open();", "nav_accounts",
                           "Dialog:shortcuts_title List:shortcuts_title Button:action_close"};
    }

    void everyControlHasItsRoleAndANameInTheLanguage() {
        QFETCH(QStringList, qstringlistCase);
        objectDriver.js("SettingsScreen.choose('" + qstringlistCase.at(0) + "'); Navigation.reset('list');" +
                        qstringlistCase.at(1));

        QAccessibleInterface *objectView = objectDriver.accessible();
        QCOMPARE(objectView->role(), QAccessible::WebDocument);
        QCOMPARE(objectView->text(QAccessible::Name), expected(qstringlistCase.at(2)) + " \u2013 Tessaloquin");
        const QList<QAccessibleInterface *> qlistAll = PageDriver::descendants(objectView);
        QStringList qstringlistFound;
        for (QAccessibleInterface *objectInterface : qlistAll) {
            const QString strName = objectInterface->text(QAccessible::Name);
            const QString strDescription = objectInterface->text(QAccessible::Description);
            if (!strDescription.isEmpty()) {
                qstringlistFound.append(roleName(objectInterface->role()) + ":" + strName + ">" + strDescription);
            }
            qstringlistFound.append(roleName(objectInterface->role()) + ":" + strName);
            // No control without a name, and no name the catalogue failed to fill.
            QVERIFY2(!strName.isEmpty() && !QRegularExpression("^[a-z]+(_[a-z]+)+$").match(strName).hasMatch(),
                     qPrintable(qstringlistFound.last()));
            QCOMPARE(objectInterface->parent()->indexOfChild(objectInterface) >= 0, true);
        }
        for (const QString &strControl : qstringlistCase.at(3).split(' ')) {
            const QString strDescription = strControl.section('>', 1);
            const QString strWanted = strControl.section(':', 0, 0) + ":" +
                                      expected(strControl.section(':', 1).section('>', 0, 0)) +
                                      (strDescription.isEmpty() ? QString() : ">" + expected(strDescription));
            QVERIFY2(qstringlistFound.contains(strWanted), qPrintable(strWanted + "\n" + qstringlistFound.join("\n")));
        }
        if (qstringlistCase.at(1).startsWith("Dialog") || qstringlistCase.at(1).startsWith("Shortcuts")) {
            QCOMPARE(objectView->childCount(), 1);
        }
    }

    void passwordFieldsNeverGiveTheirText_data() {
        QTest::addColumn<bool>("boolShown");
        QTest::newRow("hidden") << false;
        QTest::newRow("shown by the page") << true;
    }

    void passwordFieldsNeverGiveTheirText() {
        QFETCH(bool, boolShown);
        objectDriver.openFirst();
        objectDriver.keys(strMaster);
        const QString strPassword = objectDriver.value("password");
        QCOMPARE(strPassword.size(), 15);
        if (boolShown) {
            objectDriver.click("#master-toggle");
            objectDriver.click("#password-toggle");
            QCOMPARE(objectDriver.shownSecret("master"), "password|" + strMaster);
            QCOMPARE(objectDriver.shownSecret("password"), "password|" + strPassword);
        }

        for (const char *strField : {"master_label", "password_label"}) {
            QAccessibleInterface *objectField =
                objectDriver.accessible(QAccessible::EditableText, PageDriver::catalogue(strField));
            QVERIFY(objectField != nullptr);
            QVERIFY(objectField->state().passwordEdit);
            QCOMPARE(objectField->textInterface()->text(0, 1000), QString(15, QChar(0x2022)));
        }
        // Not a piece of either, in any text of any element.
        const QStringList qstringlistSecret = {strMaster, strPassword, strMaster.left(6), strPassword.right(6)};
        QAccessibleInterface *objectView = objectDriver.accessible();
        const QList<QAccessibleInterface *> qlistAll = PageDriver::descendants(objectView) << objectView;
        for (QAccessibleInterface *objectInterface : qlistAll) {
            QStringList qstringlistText;
            for (QAccessible::Text enumText : {QAccessible::Name, QAccessible::Description, QAccessible::Value,
                                               QAccessible::Help, QAccessible::Accelerator}) {
                qstringlistText.append(objectInterface->text(enumText));
            }
            if (objectInterface->textInterface() != nullptr) {
                qstringlistText.append(objectInterface->textInterface()->text(0, 1000000));
            }
            for (const QString &strSecret : qstringlistSecret) {
                QVERIFY2(!qstringlistText.join("\n").contains(strSecret), qPrintable(qstringlistText.join("|")));
            }
        }
    }

    void focusFollowsTabAndTheListsCursor() {
        objectDriver.click("#filter");
        QCOMPARE(focusName(), PageDriver::catalogue("list_filter_label"));
        // A plain field gives its text and caret.
        objectDriver.keys("b.o");
        objectDriver.key(Qt::Key_Left);
        QAccessibleTextInterface *objectText = objectDriver.accessible()->focusChild()->textInterface();
        QCOMPARE(objectText->text(0, objectText->characterCount()), QString("b.o"));
        QCOMPARE(objectText->cursorPosition(), 2);
        objectDriver.js("ListScreen.setFilter('')");
        const QString strPosition = PageDriver::catalogue("list_position");
        // Each key with the name the focus then has; the list's keys move the focus from row to row.
        const QList<QPair<int, QString>> qlistStep = {{Qt::Key_Tab, PageDriver::catalogue("list_sort_label")},
                                                      {Qt::Key_Tab, PageDriver::catalogue("list_add")},
                                                      {Qt::Key_Tab, "b.org b@b.org"},
                                                      {Qt::Key_Down, "c.net c@c.net"},
                                                      {Qt::Key_End, "example.com me@example.com \u00b7 me"},
                                                      {Qt::Key_Home, "b.org b@b.org"}};
        for (const QPair<int, QString> &objectStep : qlistStep) {
            objectDriver.key(objectStep.first);
            QCOMPARE(focusName(), objectStep.second);
        }
        QAccessibleInterface *objectRow = objectDriver.accessible()->focusChild();
        QCOMPARE(objectRow->role(), QAccessible::ListItem);
        QVERIFY(objectRow->state().selected && objectRow->state().focused);
        QCOMPARE(objectRow->text(QAccessible::Description),
                 QString(strPosition).replace("{position}", "1").replace("{total}", "3"));
        // Pressing a row opens its account.
        objectRow->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QTRY_COMPARE(objectDriver.screen(), QString("account"));
    }
};

QTEST_MAIN(TestPageAccessible)
#include "test_pageaccessible.moc"
