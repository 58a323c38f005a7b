#include "password/Password.h"

#include <QByteArray>
#include <QChar>
#include <QCryptographicHash>
#include <QVarLengthArray>

#include <array>
#include <cstring>

Password *Password::objectSingleton = nullptr;

namespace {

// The substitution groups: group g (1 to 4) has the marker charMarker[g] and replaces charReplaced[g].
constexpr char charMarker[5] = {0, '!', '?', '@', '#'};
constexpr const char *charReplaced[5] = {"", "1ai", "3ck", "5em", "7go"};

constexpr char charBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// The Base64 alphabet with the substitutions of a set of groups already made, one for each of the 16 sets
// (bit g - 1 for group g). Substitution replaces one character by another wherever it stands, and no marker
// is a character any group replaces, so encoding with such an alphabet equals encoding first and
// substituting afterwards. "+" and "/" are in no group and keep their places 62 and 63.
constexpr std::array<std::array<char, 64>, 16> tableAlphabets() {
    std::array<std::array<char, 64>, 16> charTable{};
    for (unsigned int intSet = 0; intSet < 16; intSet += 1) {
        for (int intIndex = 0; intIndex < 64; intIndex += 1) {
            char charNext = charBase64[intIndex];
            for (int intGroup = 1; intGroup < 5; intGroup += 1) {
                const bool boolOn = ((intSet >> (intGroup - 1)) & 1) != 0;
                for (int intReplaced = 0; intReplaced < 3; intReplaced += 1) {
                    if (boolOn && charBase64[intIndex] == charReplaced[intGroup][intReplaced]) {
                        charNext = charMarker[intGroup];
                    }
                }
            }
            charTable[intSet][intIndex] = charNext;
        }
    }
    return charTable;
}

constexpr std::array<std::array<char, 64>, 16> charAlphabets = tableAlphabets();

// For an ASCII character that is a marker, the bit of its group's set.
constexpr std::array<unsigned char, 128> tableMarkerBit() {
    std::array<unsigned char, 128> intTable{};
    for (int intGroup = 1; intGroup < 5; intGroup += 1) {
        intTable[static_cast<unsigned char>(charMarker[intGroup])] = static_cast<unsigned char>(1u << (intGroup - 1));
    }
    return intTable;
}

constexpr std::array<unsigned char, 128> intMarkerBit = tableMarkerBit();

// Appends the UTF-8 form of strPart at charOut and returns the new end. intHigh carries a high surrogate from
// one part to the next, so that a pair split between two parts is still one character; an unpaired surrogate
// becomes "?", as QString::toUtf8 has it. Locals, not the references, are written in the loop: a char store
// may alias anything and would force them back to memory at every byte.
char *appendUtf8(const QString &strPart, char *charOut, unsigned int &intHigh) {
    unsigned int intPending = intHigh;
    const QChar *charUnit = strPart.constData();
    const QChar *charEnd = charUnit + strPart.size();
    for (; charUnit != charEnd; charUnit += 1) {
        // Runs of four ASCII units at a time, the usual case.
        while (intPending == 0 && charEnd - charUnit >= 4) {
            quint64 intFour;
            std::memcpy(&intFour, charUnit, sizeof(intFour));
            if ((intFour & Q_UINT64_C(0xff80ff80ff80ff80)) != 0) {
                break;
            }
            charOut[0] = char(charUnit[0].unicode());
            charOut[1] = char(charUnit[1].unicode());
            charOut[2] = char(charUnit[2].unicode());
            charOut[3] = char(charUnit[3].unicode());
            charOut += 4;
            charUnit += 4;
        }
        if (charUnit == charEnd) {
            break;
        }
        const unsigned int intCode = charUnit->unicode();
        if (intCode < 0x80 && intPending == 0) {
            *charOut++ = char(intCode);
            continue;
        }
        if (intPending != 0) {
            if (intCode >= 0xdc00 && intCode <= 0xdfff) {
                const unsigned int intPoint = 0x10000 + ((intPending - 0xd800) << 10) + (intCode - 0xdc00);
                *charOut++ = char(0xf0 | (intPoint >> 18));
                *charOut++ = char(0x80 | ((intPoint >> 12) & 0x3f));
                *charOut++ = char(0x80 | ((intPoint >> 6) & 0x3f));
                *charOut++ = char(0x80 | (intPoint & 0x3f));
                intPending = 0;
                continue;
            }
            *charOut++ = '?';
            intPending = 0;
        }
        if (intCode < 0x80) {
            *charOut++ = char(intCode);
        } else if (intCode < 0x800) {
            *charOut++ = char(0xc0 | (intCode >> 6));
            *charOut++ = char(0x80 | (intCode & 0x3f));
        } else if (intCode >= 0xd800 && intCode <= 0xdbff) {
            intPending = intCode;
        } else if (intCode >= 0xdc00 && intCode <= 0xdfff) {
            *charOut++ = '?';
        } else {
            *charOut++ = char(0xe0 | (intCode >> 12));
            *charOut++ = char(0x80 | ((intCode >> 6) & 0x3f));
            *charOut++ = char(0x80 | (intCode & 0x3f));
        }
    }
    intHigh = intPending;
    return charOut;
}

} // namespace

void Password::init() {
    if (objectSingleton == nullptr) {
        objectSingleton = new Password();
    }
}

Password *Password::obtain() {
    Password::init();

    return objectSingleton;
}

void Password::dispel() {
    if (objectSingleton != nullptr) {
        delete objectSingleton;
        objectSingleton = nullptr;
    }
}

Password::Password() {}

Password::~Password() {}

QString Password::update(QString strMasterpassword, QString strWebsite, QString strMail, int intLength,
                         QString strSpecial) {
    // The UTF-8 form of the three parts joined, written straight into one buffer of at most three bytes per
    // UTF-16 unit; it is the same as QString::toUtf8 of the joined text.
    QVarLengthArray<char, 256> charInput(3 * (strMasterpassword.size() + strWebsite.size() + strMail.size()));
    unsigned int intHigh = 0;
    char *charOut = appendUtf8(strMasterpassword, charInput.data(), intHigh);
    charOut = appendUtf8(strWebsite, charOut, intHigh);
    charOut = appendUtf8(strMail, charOut, intHigh);
    if (intHigh != 0) {
        *charOut++ = '?';
    }

    QCryptographicHash objectHash(QCryptographicHash::Sha1);
    objectHash.addData(charInput.constData(), int(charOut - charInput.constData()));
    const QByteArray byteDigest = objectHash.result();
    const unsigned char *charDigest = reinterpret_cast<const unsigned char *>(byteDigest.constData());

    // The groups whose marker occurs anywhere in strSpecial.
    unsigned int intSet = 0;
    const QChar *charSpecial = strSpecial.constData();
    for (const QChar *charEnd = charSpecial + strSpecial.size(); charSpecial != charEnd; charSpecial += 1) {
        intSet |= charSpecial->unicode() < 128 ? intMarkerBit[charSpecial->unicode()] : 0;
    }
    const char *charAlphabet = charAlphabets[intSet].data();

    // Base64 of the 20 digest bytes is 27 alphabet characters and one "=", which always stays last. "+" and
    // "/" (places 62 and 63) are dropped as they come; the substitutions come with the alphabet.
    char charText[28];
    int intSize = 0;
    const auto appendSextet = [&](unsigned int intSextet) {
        intSextet &= 63;
        if (intSextet < 62) {
            charText[intSize] = charAlphabet[intSextet];
            intSize += 1;
        }
    };
    for (int intByte = 0; intByte < 18; intByte += 3) {
        const unsigned int intTriple =
            (unsigned(charDigest[intByte]) << 16) | (unsigned(charDigest[intByte + 1]) << 8) | charDigest[intByte + 2];
        appendSextet(intTriple >> 18);
        appendSextet(intTriple >> 12);
        appendSextet(intTriple >> 6);
        appendSextet(intTriple);
    }
    const unsigned int intLast = (unsigned(charDigest[18]) << 16) | (unsigned(charDigest[19]) << 8);
    appendSextet(intLast >> 18);
    appendSextet(intLast >> 12);
    appendSextet(intLast >> 6);
    charText[intSize] = '=';
    intSize += 1;

    // Substitution keeps every character in its place, so cutting after it gives the same text. A negative
    // length, or one that reaches the end, keeps the whole text.
    if (intLength >= 0 && intLength < intSize) {
        intSize = intLength;
    }

    return QString::fromLatin1(charText, intSize);
}
