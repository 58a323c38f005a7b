#include "cli/CliAccount.h"

#include "preference/PreferenceAccount.h"

#include <QSqlError>

#include <algorithm>

const QString CliAccount::strMarkers = QStringLiteral("!?@#");

namespace {

QString looseKey(const CliAccount &objectAccount) {
    QString strWebsite = CliAccount::lower(CliAccount::trimmed(objectAccount.strWebsite));
    if (strWebsite.startsWith(QLatin1String("www."))) {
        strWebsite.remove(0, 4);
    }
    return strWebsite + '\n' + CliAccount::lower(CliAccount::trimmed(objectAccount.strMail));
}

bool sameInputs(const CliAccount &objectA, const CliAccount &objectB) {
    return objectA.strWebsite == objectB.strWebsite && objectA.strMail == objectB.strMail;
}

bool hasOuterSpace(const QString &strText) {
    return !strText.isEmpty() && (CliAccount::isSpace(strText.front()) || CliAccount::isSpace(strText.back()));
}

// Unicode's Cased and Case_Ignorable, as far as they decide between the two forms of sigma.
bool isCased(uint intCode) {
    return QChar::isLower(intCode) || QChar::isUpper(intCode) || QChar::isTitleCase(intCode);
}

bool isCaseIgnorable(uint intCode) {
    static const QString strApart =
        QStringLiteral("'.:\u00b7\u0387\u05f4\u2018\u2019\u2024\u2027\ufe13\ufe52\ufe55\uff07\uff0e\uff1a");
    const QChar::Category enumCategory = QChar::category(intCode);
    return enumCategory == QChar::Mark_NonSpacing || enumCategory == QChar::Mark_Enclosing ||
           enumCategory == QChar::Other_Format || enumCategory == QChar::Letter_Modifier ||
           enumCategory == QChar::Symbol_Modifier || (intCode < 0x10000 && strApart.contains(QChar(intCode)));
}

// Whether the sigma at intIndex ends a word: a cased letter before it and none after it, either side looking past
// case-ignorable characters.
bool isFinalSigma(const QVector<uint> &qvectorCode, int intIndex) {
    int intBefore = intIndex - 1;
    while (intBefore >= 0 && isCaseIgnorable(qvectorCode.at(intBefore))) {
        intBefore -= 1;
    }
    int intAfter = intIndex + 1;
    while (intAfter < qvectorCode.size() && isCaseIgnorable(qvectorCode.at(intAfter))) {
        intAfter += 1;
    }
    return intBefore >= 0 && isCased(qvectorCode.at(intBefore)) &&
           !(intAfter < qvectorCode.size() && isCased(qvectorCode.at(intAfter)));
}

// Characters that would move the cursor, change colours or reorder what follows on a terminal.
bool isHidden(QChar charUnit) {
    const ushort intCode = charUnit.unicode();
    return charUnit.category() == QChar::Other_Control || intCode == 0x2028 || intCode == 0x2029 ||
           (intCode >= 0x202a && intCode <= 0x202e) || (intCode >= 0x2066 && intCode <= 0x2069) || intCode == 0x200e ||
           intCode == 0x200f || intCode == 0x061c;
}

QString escape(const QString &strText, bool boolQuoted) {
    QString strResult;
    strResult.reserve(strText.size() + 2);
    for (const QChar charUnit : strText) {
        const ushort intCode = charUnit.unicode();
        if (boolQuoted && (charUnit == '"' || charUnit == '\\')) {
            strResult += '\\';
            strResult += charUnit;
        } else if (charUnit == '\n') {
            strResult += QLatin1String("\\n");
        } else if (charUnit == '\t') {
            strResult += QLatin1String("\\t");
        } else if (charUnit == '\r') {
            strResult += QLatin1String("\\r");
        } else if (isHidden(charUnit)) {
            strResult += intCode < 0x100 ? QString("\\x%1").arg(intCode, 2, 16, QChar('0'))
                                         : QString("\\u%1").arg(intCode, 4, 16, QChar('0'));
        } else {
            strResult += charUnit;
        }
    }
    return strResult;
}

} // namespace

bool CliAccount::isMarkers(const QString &strSpecial) {
    for (const QChar charUnit : strSpecial) {
        if (!strMarkers.contains(charUnit)) {
            return false;
        }
    }
    return true;
}

QList<CliAccount> CliAccount::readAll(QString *strError) {
    QList<CliAccount> qlistAccount;
    PreferenceAccount *objectStore = PreferenceAccount::obtain();
    objectStore->selectOpen("SELECT intIdent, strWebsite, strMail, strUser, strNote, intLength, strSpecial "
                            "FROM PreferenceAccount ORDER BY intIdent",
                            {});
    if (objectStore->objectSelect.lastError().isValid()) {
        *strError = objectStore->objectSelect.lastError().text().simplified();
        objectStore->selectClose();
        return qlistAccount;
    }
    for (objectStore->selectNext(); objectStore->intIdent != 0; objectStore->selectNext()) {
        CliAccount objectAccount;
        objectAccount.intIdent = objectStore->intIdent;
        // Text without a value counts as empty, as on the page.
        objectAccount.strWebsite = objectStore->strWebsite.isNull() ? QString("") : objectStore->strWebsite;
        objectAccount.strMail = objectStore->strMail.isNull() ? QString("") : objectStore->strMail;
        objectAccount.strUser = objectStore->strUser.isNull() ? QString("") : objectStore->strUser;
        objectAccount.strNote = objectStore->strNote.isNull() ? QString("") : objectStore->strNote;
        objectAccount.intLength = objectStore->intLength;
        objectAccount.strSpecial = objectStore->strSpecial.isNull() ? QString("") : objectStore->strSpecial;
        qlistAccount.append(objectAccount);
    }
    objectStore->selectClose();
    return qlistAccount;
}

void CliAccount::put() const {
    PreferenceAccount *objectStore = PreferenceAccount::obtain();
    objectStore->intIdent = intIdent;
    objectStore->strWebsite = strWebsite;
    objectStore->strMail = strMail;
    objectStore->strUser = strUser;
    objectStore->strNote = strNote;
    objectStore->intLength = intLength;
    objectStore->strSpecial = strSpecial;
}

void CliAccount::sort(QList<CliAccount> &qlistAccount) {
    struct Keyed {
        QString strWebsite, strMail, strUser;
        const CliAccount *objectAccount;
    };
    QVector<Keyed> qvectorKeyed;
    qvectorKeyed.reserve(qlistAccount.size());
    for (const CliAccount &objectAccount : qlistAccount) {
        qvectorKeyed.append({lower(trimmed(objectAccount.strWebsite)), lower(trimmed(objectAccount.strMail)),
                             lower(trimmed(objectAccount.strUser)), &objectAccount});
    }
    // Compared by UTF-16 code unit, as JavaScript compares strings.
    std::sort(qvectorKeyed.begin(), qvectorKeyed.end(), [](const Keyed &objectA, const Keyed &objectB) {
        if (objectA.strWebsite != objectB.strWebsite) {
            return objectA.strWebsite < objectB.strWebsite;
        }
        if (objectA.strMail != objectB.strMail) {
            return objectA.strMail < objectB.strMail;
        }
        if (objectA.strUser != objectB.strUser) {
            return objectA.strUser < objectB.strUser;
        }
        return objectA.objectAccount->intIdent < objectB.objectAccount->intIdent;
    });
    QList<CliAccount> qlistSorted;
    qlistSorted.reserve(qvectorKeyed.size());
    for (const Keyed &objectKeyed : qvectorKeyed) {
        qlistSorted.append(*objectKeyed.objectAccount);
    }
    qlistAccount = qlistSorted;
}

bool CliAccount::matches(const QString &strFilter) const {
    // One text of all four fields, lowered as a whole, as the page searches it.
    const QString strSearch = lower(QStringList({strWebsite, strMail, strUser, strNote}).join(QChar(0)));
    return strSearch.contains(lower(strFilter));
}

bool CliAccount::sameFields(const CliAccount &objectOther) const {
    return strWebsite == objectOther.strWebsite && strMail == objectOther.strMail && strUser == objectOther.strUser &&
           strNote == objectOther.strNote && intLength == objectOther.intLength && strSpecial == objectOther.strSpecial;
}

QStringList CliAccount::warnings(const QList<CliAccount> &qlistAll) const {
    QStringList qstringlistWarning;
    if (hasOuterSpace(strWebsite) || hasOuterSpace(strMail)) {
        qstringlistWarning.append("The website or mail text starts or ends with a space. The space counts.");
    }

    // One for each distinct website and mail, in the order of the idents, at most three.
    const QString strLoose = looseKey(*this);
    QList<const CliAccount *> qlistSeen;
    int intDuplicates = 0;
    for (const CliAccount &objectOther : qlistAll) {
        if (sameInputs(objectOther, *this)) {
            intDuplicates += objectOther.intIdent != intIdent ? 1 : 0;
            continue;
        }
        if (qlistSeen.size() == 3 || looseKey(objectOther) != strLoose ||
            std::any_of(qlistSeen.begin(), qlistSeen.end(), [&objectOther](const CliAccount *objectSeen) {
                return sameInputs(*objectSeen, objectOther);
            })) {
            continue;
        }
        qlistSeen.append(&objectOther);
        qstringlistWarning.append(QString("Another account differs from this one only in case, spaces or a leading "
                                          "\u201cwww.\u201d: %1 / %2. Its password is different.")
                                      .arg(printable(objectOther.strWebsite), printable(objectOther.strMail)));
    }
    if (intDuplicates > 0) {
        qstringlistWarning.append(QString("Other accounts with exactly this website and mail: %1. With the same length "
                                          "and special characters they share one password.")
                                      .arg(intDuplicates));
    }
    return qstringlistWarning;
}

QString CliAccount::lower(const QString &strText) {
    if (!strText.contains(QChar(0x03a3))) {
        return strText.toLower();
    }
    const QVector<uint> qvectorCode = strText.toUcs4();
    QString strResult;
    for (int intIndex = 0; intIndex < qvectorCode.size(); intIndex += 1) {
        const uint intCode = qvectorCode.at(intIndex);
        if (intCode == 0x03a3) {
            strResult += QChar(isFinalSigma(qvectorCode, intIndex) ? 0x03c2 : 0x03c3);
        } else {
            const char32_t charCode = intCode;
            strResult += QString::fromUcs4(&charCode, 1).toLower();
        }
    }
    return strResult;
}

bool CliAccount::isSpace(QChar charUnit) {
    const ushort intCode = charUnit.unicode();
    return (intCode >= 0x09 && intCode <= 0x0d) || intCode == 0xfeff || intCode == 0x2028 || intCode == 0x2029 ||
           charUnit.category() == QChar::Separator_Space;
}

QString CliAccount::trimmed(const QString &strText) {
    int intStart = 0;
    int intEnd = strText.size();
    while (intStart < intEnd && isSpace(strText.at(intStart))) {
        intStart += 1;
    }
    while (intEnd > intStart && isSpace(strText.at(intEnd - 1))) {
        intEnd -= 1;
    }
    return strText.mid(intStart, intEnd - intStart);
}

QString CliAccount::printable(const QString &strText) {
    return escape(strText, false);
}

QString CliAccount::quoted(const QString &strText) {
    return '"' + escape(strText, true) + '"';
}
