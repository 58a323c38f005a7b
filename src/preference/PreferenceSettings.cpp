#include "preference/PreferenceSettings.h"

#include "preference/PreferenceAccount.h"

#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QMap>
#include <QSaveFile>
#include <QSet>
#include <QSettings>
#include <QVector>

namespace {

// The reading below follows the INI reader of Qt 5.15's QSettings step by step (readIniLine and
// iniUnescapedStringList in qsettings.cpp), so that it finds every value that reader would decode; a later Qt
// that reads otherwise must be followed here. It errs in one direction only: spaces after the closing
// parenthesis count as cut off, even where an escape makes the reader keep them.

bool isSpace(char charByte) {
    return charByte == ' ' || charByte == '\t' || charByte == '\n' || charByte == '\r';
}

bool isSyntax(char charByte) {
    return charByte == '\n' || charByte == '\r' || charByte == '"' || charByte == ';' || charByte == '=' ||
           charByte == '\\';
}

// One line of the file: quotes carry it over line breaks, a backslash takes the next character with it (a line
// break too), a ";" at its start makes a comment and elsewhere ends it. False once nothing is left.
bool readLine(const QByteArray &byteData, int &intPosition, int &intStart, int &intLength, int &intEquals) {
    const int intSize = byteData.size();
    bool boolQuoted = false;
    intEquals = -1;

    intStart = intPosition;
    while (intStart < intSize && isSpace(byteData.at(intStart))) {
        intStart += 1;
    }

    int intIndex = intStart;
    while (intIndex < intSize) {
        const char charByte = byteData.at(intIndex);
        intIndex += 1;
        if (!isSyntax(charByte)) {
            continue;
        }
        if (charByte == '=') {
            if (!boolQuoted && intEquals == -1) {
                intEquals = intIndex - 1;
            }
        } else if (charByte == '\n' || charByte == '\r') {
            if (intIndex == intStart + 1) {
                intStart += 1;
            } else if (!boolQuoted) {
                intIndex -= 1;
                break;
            }
        } else if (charByte == '\\') {
            if (intIndex < intSize) {
                const char charNext = byteData.at(intIndex);
                intIndex += 1;
                if (intIndex < intSize) {
                    const char charAfter = byteData.at(intIndex);
                    if ((charNext == '\n' && charAfter == '\r') || (charNext == '\r' && charAfter == '\n')) {
                        intIndex += 1;
                    }
                }
            }
        } else if (charByte == '"') {
            boolQuoted = !boolQuoted;
        } else if (intIndex == intStart + 1) {
            // A comment, up to the end of its line.
            while (intIndex < intSize && byteData.at(intIndex) != '\n' && byteData.at(intIndex) != '\r') {
                intIndex += 1;
            }
            while (intIndex < intSize && isSpace(byteData.at(intIndex))) {
                intIndex += 1;
            }
            intStart = intIndex;
        } else if (!boolQuoted) {
            intIndex -= 1;
            break;
        }
    }

    intPosition = intIndex;
    intLength = intIndex - intStart;
    return intLength > 0;
}

// Whether an element of the value between intFrom and intTo, once its escapes are resolved, has one of the
// forms that are decoded as binary data: "@Variant(" or "@DateTime(" at its start and ")" at its end. Commas
// outside quotes separate the elements of a list. In a file that begins with a byte order mark Qt decodes each
// plain run of the value (up to the next escape, quote or comma) as UTF-8 on its own, which drops one byte
// order mark at the start of each run.
bool holdsSerialisedValue(const QByteArray &byteData, int intFrom, int intTo, bool boolUtf8) {
    // Only the beginning and the last character of each element decide. Spaces at the end may or may not be
    // cut off, so the last character other than a space counts.
    const int intKept = 10;
    QString strElement;
    ushort intLast = 0;
    const auto append = [&strElement, &intLast](uint intUnit) {
        const ushort intCode = ushort(intUnit & 0xffff);
        if (strElement.size() < intKept) {
            strElement.append(QChar(intCode));
        }
        if (intCode != ' ' && intCode != '\t') {
            intLast = intCode;
        }
    };
    const auto isSerialisedElement = [&strElement, &intLast]() {
        return (strElement.startsWith(QLatin1String("@Variant(")) ||
                strElement.startsWith(QLatin1String("@DateTime("))) &&
               intLast == ')';
    };
    const auto skipSpaces = [&byteData, intTo](int &intIndex) {
        while (intIndex < intTo && (byteData.at(intIndex) == ' ' || byteData.at(intIndex) == '\t')) {
            intIndex += 1;
        }
    };
    const auto isHex = [](char charByte) {
        return (charByte >= '0' && charByte <= '9') || (charByte >= 'a' && charByte <= 'f') ||
               (charByte >= 'A' && charByte <= 'F');
    };

    bool boolQuoted = false;
    bool boolRunStart = true;
    int intIndex = intFrom;
    skipSpaces(intIndex);
    while (intIndex < intTo) {
        const char charByte = byteData.at(intIndex);
        if (boolUtf8 && boolRunStart && intTo - intIndex >= 3 &&
            byteData.mid(intIndex, 3) == QByteArray("\xef\xbb\xbf")) {
            intIndex += 3;
            boolRunStart = false;
            continue;
        }
        boolRunStart = charByte == '\\' || charByte == '"' || (charByte == ',' && !boolQuoted);
        if (charByte == '\\') {
            intIndex += 1;
            if (intIndex >= intTo) {
                break;
            }
            const char charEscape = byteData.at(intIndex);
            intIndex += 1;
            static const char charSimple[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                                 {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                                 {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
            bool boolSimple = false;
            for (const auto &charPair : charSimple) {
                if (charEscape == charPair[0]) {
                    append(uchar(charPair[1]));
                    boolSimple = true;
                    break;
                }
            }
            if (boolSimple) {
                continue;
            }
            if (charEscape == 'x') {
                if (intIndex < intTo && isHex(byteData.at(intIndex))) {
                    uint intValue = 0;
                    while (intIndex < intTo && isHex(byteData.at(intIndex))) {
                        const char charDigit = byteData.at(intIndex);
                        const uint intDigit = charDigit <= '9'   ? uint(charDigit - '0')
                                              : charDigit <= 'F' ? uint(charDigit - 'A' + 10)
                                                                 : uint(charDigit - 'a' + 10);
                        intValue = (intValue << 4) + intDigit;
                        intIndex += 1;
                    }
                    append(intValue);
                }
            } else if (charEscape >= '0' && charEscape <= '7') {
                uint intValue = uint(charEscape - '0');
                while (intIndex < intTo && byteData.at(intIndex) >= '0' && byteData.at(intIndex) <= '7') {
                    intValue = (intValue << 3) + uint(byteData.at(intIndex) - '0');
                    intIndex += 1;
                }
                append(intValue);
            } else if (charEscape == '\n' || charEscape == '\r') {
                // A line carried over: its break is dropped.
                if (intIndex < intTo) {
                    const char charAfter = byteData.at(intIndex);
                    if ((charAfter == '\n' || charAfter == '\r') && charAfter != charEscape) {
                        intIndex += 1;
                    }
                }
            }
            // Any other escaped character is dropped.
        } else if (charByte == '"') {
            intIndex += 1;
            boolQuoted = !boolQuoted;
            if (!boolQuoted) {
                skipSpaces(intIndex);
            }
        } else if (charByte == ',' && !boolQuoted) {
            if (isSerialisedElement()) {
                return true;
            }
            strElement.clear();
            intLast = 0;
            intIndex += 1;
            skipSpaces(intIndex);
        } else {
            append(uchar(charByte));
            intIndex += 1;
        }
    }
    return isSerialisedElement();
}

QStringList qstringlistRemoved;

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
// Qt 6 writes a lone surrogate as U+FFFD, so that a text a Qt 5 build wrote, the key's own or another's, would
// come back changed. Each lone surrogate of the texts about to be written goes to Qt as a private-use character
// that none of them holds, changed in objectSettings and in variantValue, and escapedAsQt5 writes it back as the
// surrogate itself. Returns which stands for which; the texts of other keys so changed are kept in qmapOther.
QHash<ushort, ushort> standIns(QSettings &objectSettings, const QString &strKey, QVariant &variantValue,
                               QMap<QString, QString> &qmapOther) {
    QMap<QString, QString> qmapText;
    QStringList qstringlistKey = objectSettings.allKeys();
    qstringlistKey.append(strKey);
    QSet<ushort> qsetUsed;
    for (const QString &strHeld : qstringlistKey) {
        const QVariant variantText = strHeld == strKey ? variantValue : objectSettings.value(strHeld);
        if (variantText.typeId() == QMetaType::QString) {
            qmapText.insert(strHeld, variantText.toString());
            for (const QChar charUnit : variantText.toString()) {
                qsetUsed.insert(charUnit.unicode());
            }
        }
    }
    QHash<ushort, ushort> qhashStandIn;
    QHash<ushort, ushort> qhashFor;
    ushort intNext = 0xe000;
    for (auto objectText = qmapText.begin(); objectText != qmapText.end(); ++objectText) {
        QString strText = objectText.value();
        bool boolChanged = false;
        for (int intIndex = 0; intIndex < strText.size(); intIndex += 1) {
            const QChar charUnit = strText.at(intIndex);
            if (!PreferenceAccount::isLoneSurrogate(strText, intIndex)) {
                continue;
            }
            if (!qhashFor.contains(charUnit.unicode())) {
                while (qsetUsed.contains(intNext)) {
                    intNext += 1;
                }
                qhashFor.insert(charUnit.unicode(), intNext);
                qhashStandIn.insert(intNext, charUnit.unicode());
                intNext += 1;
            }
            strText[intIndex] = QChar(qhashFor.value(charUnit.unicode()));
            boolChanged = true;
        }
        if (boolChanged && objectText.key() == strKey) {
            variantValue = strText;
        } else if (boolChanged) {
            qmapOther.insert(objectText.key(), objectText.value());
            objectSettings.setValue(objectText.key(), strText);
        }
    }
    return qhashStandIn;
}
#endif

} // namespace

namespace PreferenceSettings {

const QStringList &removed() {
    return qstringlistRemoved;
}

QString path(const QString &strName) {
    return QCoreApplication::applicationDirPath() + "/res/" + strName;
}

QByteArray withoutSerialisedValues(const QByteArray &byteContent, int *intRemoved) {
    *intRemoved = 0;
    // Every such value needs an "@", written as it is or as an escape.
    if (!byteContent.contains('@') && !byteContent.contains('\\')) {
        return byteContent;
    }

    QVector<QPair<int, int>> qvectorRemoved;
    const bool boolUtf8 = byteContent.startsWith("\xef\xbb\xbf");
    int intPosition = boolUtf8 ? 3 : 0;
    int intStart = 0;
    int intLength = 0;
    int intEquals = -1;
    while (readLine(byteContent, intPosition, intStart, intLength, intEquals)) {
        // Section headers and lines without a key are not values.
        if (byteContent.at(intStart) == '[' || intEquals == -1) {
            continue;
        }
        if (holdsSerialisedValue(byteContent, intEquals + 1, intStart + intLength, boolUtf8)) {
            qvectorRemoved.append(qMakePair(intStart, intLength));
        }
    }
    if (qvectorRemoved.isEmpty()) {
        return byteContent;
    }

    // The lines go, their line breaks stay: nothing else in the file moves from one line to another.
    QByteArray byteResult;
    byteResult.reserve(byteContent.size());
    int intCopied = 0;
    for (const QPair<int, int> &qpairLine : qvectorRemoved) {
        byteResult.append(byteContent.constData() + intCopied, qpairLine.first - intCopied);
        intCopied = qpairLine.first + qpairLine.second;
    }
    byteResult.append(byteContent.constData() + intCopied, byteContent.size() - intCopied);
    *intRemoved = qvectorRemoved.size();
    return byteResult;
}

QByteArray escapedAsQt5(const QByteArray &byteContent, const QHash<ushort, ushort> &qhashStandIn) {
    // Qt 5 writes every UTF-16 unit from 0x7f up as \x and its hex digits, and after such an escape every hex
    // digit as well, so that the escape's end stays clear. Keys and section names never hold such units raw.
    const QString strContent = QString::fromUtf8(byteContent);
    QByteArray byteResult;
    byteResult.reserve(byteContent.size());
    bool boolEscapeHex = false;
    for (const QChar charNext : strContent) {
        const ushort intUnit = qhashStandIn.value(charNext.unicode(), charNext.unicode());
        const bool boolHex = (intUnit >= '0' && intUnit <= '9') || (intUnit >= 'a' && intUnit <= 'f') ||
                             (intUnit >= 'A' && intUnit <= 'F');
        if (intUnit >= 0x80 || (boolEscapeHex && boolHex)) {
            byteResult += "\\x" + QByteArray::number(intUnit, 16);
            boolEscapeHex = true;
        } else {
            byteResult += char(intUnit);
            boolEscapeHex = false;
        }
    }
    return byteResult;
}

bool prepare(const QString &strPath) {
    QFile objectFile(strPath);
    // A file that cannot be opened gives QSettings nothing to read either.
    if (!objectFile.open(QIODevice::ReadOnly)) {
        return true;
    }
    const QByteArray byteContent = objectFile.readAll();
    objectFile.close();

    int intRemoved = 0;
    const QByteArray byteClean = withoutSerialisedValues(byteContent, &intRemoved);
    if (intRemoved == 0) {
        return true;
    }

    QSaveFile objectSave(strPath);
    if (objectSave.open(QIODevice::WriteOnly) && objectSave.write(byteClean) == byteClean.size() &&
        objectSave.commit()) {
        qWarning("PreferenceSettings: %d unreadable value(s) removed from %s", intRemoved, qUtf8Printable(strPath));
        if (!qstringlistRemoved.contains(strPath)) {
            qstringlistRemoved.append(strPath);
        }
        return true;
    }
    qWarning("PreferenceSettings: %s holds unreadable values and cannot be rewritten; it is not read",
             qUtf8Printable(strPath));
    return false;
}

QVariant read(const QString &strPath, const QString &strKey, const QVariant &variantDefault) {
    if (!prepare(strPath)) {
        return variantDefault;
    }
    QSettings objectSettings(strPath, QSettings::IniFormat);
    return objectSettings.value(strKey, variantDefault);
}

bool write(const QString &strPath, const QString &strKey, const QVariant &variantValue) {
    if (!prepare(strPath)) {
        return false;
    }
    QSettings objectSettings(strPath, QSettings::IniFormat);
    const bool boolHeld = objectSettings.contains(strKey);
    const QVariant variantHeld = objectSettings.value(strKey);
    QVariant variantWritten = variantValue;
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    QMap<QString, QString> qmapOther;
    const QHash<ushort, ushort> qhashStandIn = standIns(objectSettings, strKey, variantWritten, qmapOther);
#endif
    if (variantValue.isValid()) {
        objectSettings.setValue(strKey, variantWritten);
    } else {
        objectSettings.remove(strKey);
    }
    // A format error only says that lines of a damaged file were skipped in reading; the file was written.
    objectSettings.sync();
    if (objectSettings.status() != QSettings::AccessError) {
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        // Qt 6 writes text beyond ASCII as raw UTF-8, which Qt 5 reads as Latin-1: the same folder read by a
        // Qt 5 build would show other websites. Written as Qt 5 writes it, the file reads the same in both.
        QFile objectFile(strPath);
        const QByteArray byteWritten = objectFile.open(QIODevice::ReadOnly) ? objectFile.readAll() : QByteArray();
        const QByteArray byteEscaped = escapedAsQt5(byteWritten, qhashStandIn);
        if (byteEscaped != byteWritten) {
            QSaveFile objectSave(strPath);
            if (!objectSave.open(QIODevice::WriteOnly) || objectSave.write(byteEscaped) != byteEscaped.size() ||
                !objectSave.commit()) {
                qWarning("PreferenceSettings: %s is left in a form only Qt 6 reads", qUtf8Printable(strPath));
            }
        }
#endif
        return true;
    }

    // Qt keeps a change it could not write in its cache of the file and hands it to every later reader in this
    // process, so that a choice seems made that the next start will not find. The key is put back as the file
    // holds it.
    if (boolHeld) {
        objectSettings.setValue(strKey, variantHeld);
    } else {
        objectSettings.remove(strKey);
    }
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    for (auto objectOther = qmapOther.cbegin(); objectOther != qmapOther.cend(); ++objectOther) {
        objectSettings.setValue(objectOther.key(), objectOther.value());
    }
#endif
    qWarning("PreferenceSettings: %s could not be written", qUtf8Printable(strPath));
    return false;
}

} // namespace PreferenceSettings
