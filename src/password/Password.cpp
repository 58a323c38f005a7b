#include "password/Password.h"

#include <QByteArray>
#include <QCryptographicHash>

Password *Password::objectSingleton = nullptr;

namespace {

// The substitution groups, in the order they are applied: where the account's special characters hold the
// marker, each of the three characters is replaced by it, in the order given.
struct Group {
    QChar charMarker;
    const char *charReplaced;
};

const Group objectGroups[] = {{'!', "1ai"}, {'?', "3ck"}, {'@', "5em"}, {'#', "7go"}};

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

QString Password::update(QString strMasterpassword, QString strWebsite, QString strMail, int intLength,
                         QString strSpecial) {
    // The three texts joined as they are, with nothing between them, and encoded as UTF-8.
    const QByteArray byteInput = (strMasterpassword + strWebsite + strMail).toUtf8();

    // One SHA-1 digest of those bytes, as Base64: 27 characters and one "=".
    const QByteArray byteDigest = QCryptographicHash::hash(byteInput, QCryptographicHash::Sha1);
    QString strPassword = QString::fromLatin1(byteDigest.toBase64());

    strPassword.replace(QChar('+'), QString());
    strPassword.replace(QChar('/'), QString());

    // Cut to the wanted length; 0 gives the empty text, a negative or larger length the whole text.
    strPassword = strPassword.mid(0, intLength);

    // After the cut, so that the length stays the wanted one.
    for (const Group &objectGroup : objectGroups) {
        if (strSpecial.indexOf(objectGroup.charMarker) != -1) {
            for (const char *charReplaced = objectGroup.charReplaced; *charReplaced != '\0'; charReplaced += 1) {
                strPassword.replace(QChar(*charReplaced), objectGroup.charMarker);
            }
        }
    }

    return strPassword;
}
