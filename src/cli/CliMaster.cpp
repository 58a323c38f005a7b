#include "cli/CliMaster.h"

#include "cli/CliPlatform.h"
#include "password/Password.h"

#include <QColor>
#include <QPair>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// The page's fingerprint: the derivation with a fixed website beside the master password, two characters of the
// result for each symbol.
const char *const strSalt = "Tessaloquin fingerprint";
const char *const charAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char *const strShapes[8] = {"circle", "square", "triangle", "diamond", "star", "heart", "hexagon", "cross"};
// The page draws its shapes; these characters come closest to them on a terminal.
const char16_t charGlyphs[8] = {u'\u25cf', u'\u25a0', u'\u25b2', u'\u25c6', u'\u2605', u'\u2665', u'\u2b22', u'\u271a'};
const char *const strColours[8] = {"red", "orange", "yellow", "green", "turquoise", "blue", "purple", "pink"};
const char *const strHex[8] = {"#d32f2f", "#e65100", "#c49000", "#2e7d32", "#00838f", "#1565c0", "#6a1b9a", "#c2185b"};

// The escape sequence that sets a colour: exactly on a 24-bit terminal, otherwise the nearest of the 6 x 6 x 6
// cube that every 256-colour terminal has.
QString colourEscape(const QColor &objectColour, bool boolTrueColour) {
    if (boolTrueColour) {
        return QString("\x1b[38;2;%1;%2;%3m")
            .arg(objectColour.red())
            .arg(objectColour.green())
            .arg(objectColour.blue());
    }
    const auto level = [](int intValue) {
        const int intSteps[6] = {0, 95, 135, 175, 215, 255};
        int intBest = 0;
        for (int intStep = 1; intStep < 6; intStep += 1) {
            if (std::abs(intSteps[intStep] - intValue) < std::abs(intSteps[intBest] - intValue)) {
                intBest = intStep;
            }
        }
        return intBest;
    };
    return QString("\x1b[38;5;%1m")
        .arg(16 + 36 * level(objectColour.red()) + 6 * level(objectColour.green()) + level(objectColour.blue()));
}

// The page's symbols as places in the tables above, a shape and a colour each.
QVector<QPair<int, int>> places(const QString &strMaster) {
    const QString strDigest = Password::obtain()->update(strMaster, strSalt, QString(), -1, QString());
    const QString strAlphabet = QString::fromLatin1(charAlphabet);
    QVector<QPair<int, int>> qvectorPlace;
    for (int intSymbol = 0; intSymbol < 3 && strDigest.size() >= 6; intSymbol += 1) {
        // A character outside the alphabet counts as its first, as on the page.
        qvectorPlace.append(qMakePair(std::max(int(strAlphabet.indexOf(strDigest.at(2 * intSymbol))), 0) % 8,
                                      std::max(int(strAlphabet.indexOf(strDigest.at(2 * intSymbol + 1))), 0) % 8));
    }
    return qvectorPlace;
}

} // namespace

bool CliMaster::read(QString *strMaster, QString *strError) {
    const bool boolTerminal = CliPlatform::isTerminal(STDIN_FILENO);
    if (boolTerminal) {
        std::fputs(CliPlatform::capsLock(STDIN_FILENO) ? "Master password (Caps Lock is on): " : "Master password: ",
                   stderr);
        std::fflush(stderr);
    }
    QByteArray byteLine;
    const int intLimit = 65536;
    const bool boolRead = CliPlatform::readLine(boolTerminal, intLimit, &byteLine);
    // A line beyond the limit stops the reading there; it is not a master password that was left out.
    const bool boolLong = !boolRead && byteLine.size() >= intLimit;

    const bool boolUtf8 = CliPlatform::decodeUtf8(byteLine, strMaster);
    // Nothing of it stays in memory that is not needed.
    byteLine.fill('\0');
    if (boolLong) {
        strMaster->fill(QChar(0));
        *strError = QString("the master password is longer than %1 bytes; nothing was derived").arg(intLimit);
        return false;
    }
    if (!boolRead || strMaster->isEmpty()) {
        *strError = "no master password was given";
        return false;
    }
    // Bytes of another encoding would give another password without a word: refused instead.
    if (!boolUtf8) {
        strMaster->fill(QChar(0));
        *strError = "the master password is not UTF-8 text; set the terminal to UTF-8";
        return false;
    }
    return true;
}

QString CliMaster::fingerprint(const QString &strMaster, bool boolColour, bool boolTrueColour) {
    QStringList qstringlistName;
    for (const QPair<int, int> &qpairPlace : places(strMaster)) {
        QString strName = QString(strColours[qpairPlace.second]) + ' ' + strShapes[qpairPlace.first];
        if (boolColour) {
            strName = colourEscape(QColor(strHex[qpairPlace.second]), boolTrueColour) +
                      QChar(charGlyphs[qpairPlace.first]) + "\x1b[0m " + strName;
        }
        qstringlistName.append(strName);
    }
    return "Fingerprint: " + qstringlistName.join(", ");
}
