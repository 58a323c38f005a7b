#pragma once

#include <QAccessible>
#include <QJsonArray>
#include <QKeySequence>
#include <QList>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QVariant>

class Display;
class Main;
class TestPage;
class QWidget;

// One stored account as the tests write it into the database.
struct PageAccount {
    int intIdent = 0;
    QString strWebsite;
    QString strMail;
    QString strUser;
    QString strNote;
    int intLength = 15;
    QString strSpecial;
};

// The accounts of a JSON array such as a fixture holds; fields left out have the page's defaults.
QList<PageAccount> accounts(const QJsonArray &objectArray);
// One line per account, every field but the ident, for comparisons that show what differs.
QStringList describe(const QList<PageAccount> &qlistAccounts);

PageAccount account(const QString &strWebsite, const QString &strMail, const QString &strUser = QString(),
                    const QString &strNote = QString(), int intLength = 15, const QString &strSpecial = QString());

// Drives the real page in the program's window the way a user does: keys into the web view, mouse clicks at
// the place of an element, and reads back the document, the database and the settings files.
class PageDriver {
public:
    Main *objectMain = nullptr;
    Display *objectDisplay = nullptr;
    TestPage *objectPage = nullptr;

public:
    // Starts as the program does, on a res/ that holds only the shipped catalogues, creates the window and puts a
    // recording test page into it.
    void start();

    // Closes the account store and the catalogue, empties res/ (the shipped catalogues are copied back),
    // stores the accounts given and loads the page afresh. Returns whether the page loaded.
    bool restart(const QList<PageAccount> &qlistAccounts = QList<PageAccount>());

    // Loads the page again over the same data.
    bool reload();

    // Fails the running test when the page has reported script errors since the last check, and forgets them.
    void checkConsole();

    // The widget that takes the page's keys and clicks: the view, or the one its engine draws into.
    QWidget *input() const;
    // Runs a script in the page and returns its result, whatever the engine.
    QVariant js(const QString &strScript) const;
    QString text(const QString &strId) const;
    QString value(const QString &strId) const;
    bool shown(const QString &strId) const;
    // A secret field's type and what its line draws for the eye: "password|" while hidden, "password|" and the
    // text while Show is on.
    QString shownSecret(const QString &strId) const;
    QString focused() const;
    QString screen() const;

    // The middle of the element, scrolled into view, in the view's coordinates; (-1, -1) when there is none.
    QPoint centre(const QString &strSelector) const;
    // Moves the mouse to the middle of the element (scrolled into view) and clicks it, or double-clicks it.
    void click(const QString &strSelector, bool boolDouble = false);
    // Opens the first account of the list, as a user does.
    void openFirst();
    // Gives a field a whole value at once and sends the event a user's change sends ("input", or "change" for a
    // choice), as pasting or choosing does.
    void setValue(const QString &strId, const QString &strValue, const QString &strEvent = "input");
    // Puts the focus on an element by clicking it, then types the text.
    void type(const QString &strId, const QString &strText);
    void key(int intKey, Qt::KeyboardModifiers enumModifiers = Qt::NoModifier);
    void keys(const QString &strText);
    // Returns once the page has handled the input sent so far; at once where it handles input as it is sent.
    void handled() const;

    // Has the engine read the page again for assistive technology, at once (defined by the engine's room).
    void refreshAccessible() const;
    // Reloads the page through its context menu's Reload action; returns whether it loaded again.
    bool reloadFromMenu();
    // The web view's interface as assistive technology finds it, read afresh from the page; with a role and a
    // name, the first element of the page that has them (null when there is none).
    QAccessibleInterface *accessible() const;
    QAccessibleInterface *accessible(QAccessible::Role enumRole, const QString &strName) const;
    // Why this engine falls short of a promise to assistive technology ("kept hidden": a hidden element keeps its
    // object, "told gone": an object gone is told so), or empty where it keeps it (defined by the engine's room).
    static QString accessibleGap(const QString &strPromise);
    // Every interface below one, depth first.
    static QList<QAccessibleInterface *> descendants(QAccessibleInterface *objectInterface);
    // A text of the catalogue in the language the page shows.
    static QString catalogue(const QString &strName);

    // The database and settings files beside the executable, read directly.
    static void seed(const QList<PageAccount> &qlistAccounts);
    static QList<PageAccount> stored();
    static QVariant selected(const QString &strKey);
    static QVariant language();

    // The clipboard, as another program would see it.
    static QString clipboard();
    static void setClipboard(const QString &strText);
    // Runs another program to its end (at most 20 s) with byteInput as its whole input and returns what it printed;
    // this process goes on serving its window and its selections meanwhile.
    static QByteArray run(const QStringList &qstringlistCommand, const QByteArray &byteInput = QByteArray());
    // What a second X client (xclip) gets from an X selection ("primary", "clipboard") for a target.
    static QByteArray xselection(const QString &strSelection, const QString &strTarget = "UTF8_STRING");
};
