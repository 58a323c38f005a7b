#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One account of the list as the terminal companion works with it, and the rules it shares with the window's
// page: how the list is sorted and filtered, what the form accepts, and which accounts look alike.
class CliAccount {
public:
    int intIdent = 0;
    QString strWebsite;
    QString strMail;
    QString strUser;
    QString strNote;
    int intLength = 15;
    QString strSpecial;

public:
    // What the page's form offers: lengths from 4 to 27 (one derivation gives at most 27 characters), 15 for a
    // new account, and any of four special characters, shown in the order of strMarkers.
    static const int intLengthMin = 4;
    static const int intLengthMax = 27;
    static const QString strMarkers;
    static bool isMarkers(const QString &strSpecial);

    // Every account of the store, in the order of their idents; an error text instead when it cannot be read.
    static QList<CliAccount> readAll(QString *strError);

    // Makes this account the store's current record, every field of it, for the store's next write.
    void put() const;

    // Sorted as the page's list sorts by website: without regard to case or surrounding spaces, then by mail,
    // by user name and by ident.
    static void sort(QList<CliAccount> &qlistAccount);

    // Whether the page's filter shows the account for this text: a match in website, mail, user name or note,
    // without regard to case.
    bool matches(const QString &strFilter) const;

    // Whether the other account has every field of this one but the ident: the list needs one of them only.
    bool sameFields(const CliAccount &objectOther) const;

    // Written as the page writes them: spaces at either end, other accounts that differ only in case, spaces or
    // a leading "www.", and accounts with the very same website and mail.
    QStringList warnings(const QList<CliAccount> &qlistAll) const;

    // Lower case as JavaScript's toLowerCase() gives it, which, unlike QString::toLower(), writes a capital sigma
    // at the end of a word as a final sigma.
    static QString lower(const QString &strText);

    // The whitespace that JavaScript's trim() removes.
    static bool isSpace(QChar charUnit);
    static QString trimmed(const QString &strText);

    // A stored text made safe to show on a terminal: control and direction characters become escapes.
    static QString printable(const QString &strText);
    // The same in quotes, with quotes and backslashes escaped, so that every character can be seen.
    static QString quoted(const QString &strText);
};
