#pragma once

#include "cli/CliAccount.h"

#include <QList>
#include <QString>

// The account list as JSON text, in the page's export format, and the page's import: checked in full first,
// accounts already in the list skipped, the rest added all together or not at all.
class CliTransfer {
public:
    // After parse: "empty", "json", "list" or "entry" when the text is refused (with the entry's number from 1,
    // the field at fault and the fault for "entry": "type", "website", "length" or "special"); the accounts it
    // holds otherwise.
    QString strReason;
    int intIndex = 0;
    QString strField;
    QString strFault;
    QList<CliAccount> qlistAccount;

public:
    // The text the page exports for these accounts, without a line end at its close.
    static QString exportText(const QList<CliAccount> &qlistAccount);

    void parse(const QString &strText);
    // Why the text was refused, in words.
    QString reasonText() const;

    // The parsed accounts that are not yet in the list, nor earlier in the text; how many were left out.
    QList<CliAccount> split(const QList<CliAccount> &qlistExisting, int *intSkipped) const;

    // Adds the accounts in one transaction: every one of them, or, when any write fails, none.
    static bool write(const QList<CliAccount> &qlistAccount, QString *strError);
};
