#include "preference/PreferenceAccountSelected.h"

#include "preference/PreferenceAccountSelectedObserver.h"
#include "preference/PreferenceSettings.h"

#include <QVariant>

#include <limits>

PreferenceAccountSelected *PreferenceAccountSelected::objectSingleton = nullptr;

namespace {

QString strPath() {
    return PreferenceSettings::path("PreferenceAccountSelected.ini");
}

// Each access opens the file on its own and closes it before returning, so that every change is on disk
// before anyone is told of it.
int readInt(const QString &strKey) {
    // A number too large for an int would otherwise come back cut to its low bits, as some unrelated value.
    bool boolValid = false;
    const qlonglong intValue = PreferenceSettings::read(strPath(), strKey, 0).toLongLong(&boolValid);
    if (!boolValid || intValue < std::numeric_limits<int>::min() || intValue > std::numeric_limits<int>::max()) {
        return 0;
    }
    return int(intValue);
}

QString readStr(const QString &strKey) {
    return PreferenceSettings::read(strPath(), strKey, QString("")).toString();
}

// An invalid value removes the key.
void writeKey(const QString &strKey, const QVariant &variantValue) {
    PreferenceSettings::change<PreferenceAccountSelectedObserver>(strPath(), strKey, variantValue);
}

void removeKey(const QString &strKey) {
    writeKey(strKey, QVariant());
}

} // namespace

void PreferenceAccountSelected::init() {
    if (objectSingleton == nullptr) {
        objectSingleton = new PreferenceAccountSelected();
    }
}

PreferenceAccountSelected *PreferenceAccountSelected::obtain() {
    PreferenceAccountSelected::init();

    return objectSingleton;
}

void PreferenceAccountSelected::dispel() {
    if (objectSingleton != nullptr) {
        delete objectSingleton;
        objectSingleton = nullptr;
    }
}

int PreferenceAccountSelected::getIntIdent() {
    return readInt("intIdent");
}

void PreferenceAccountSelected::setIntIdent(int intIdent) {
    writeKey("intIdent", intIdent);
}

void PreferenceAccountSelected::clearIntIdent() {
    removeKey("intIdent");
}

QString PreferenceAccountSelected::getStrWebsite() {
    return readStr("strWebsite");
}

void PreferenceAccountSelected::setStrWebsite(QString strWebsite) {
    writeKey("strWebsite", strWebsite);
}

void PreferenceAccountSelected::clearStrWebsite() {
    removeKey("strWebsite");
}

QString PreferenceAccountSelected::getStrMail() {
    return readStr("strMail");
}

void PreferenceAccountSelected::setStrMail(QString strMail) {
    writeKey("strMail", strMail);
}

void PreferenceAccountSelected::clearStrMail() {
    removeKey("strMail");
}

QString PreferenceAccountSelected::getStrUser() {
    return readStr("strUser");
}

void PreferenceAccountSelected::setStrUser(QString strUser) {
    writeKey("strUser", strUser);
}

void PreferenceAccountSelected::clearStrUser() {
    removeKey("strUser");
}

QString PreferenceAccountSelected::getStrNote() {
    return readStr("strNote");
}

void PreferenceAccountSelected::setStrNote(QString strNote) {
    writeKey("strNote", strNote);
}

void PreferenceAccountSelected::clearStrNote() {
    removeKey("strNote");
}

int PreferenceAccountSelected::getIntLength() {
    return readInt("intLength");
}

void PreferenceAccountSelected::setIntLength(int intLength) {
    writeKey("intLength", intLength);
}

void PreferenceAccountSelected::clearIntLength() {
    removeKey("intLength");
}

QString PreferenceAccountSelected::getStrSpecial() {
    return readStr("strSpecial");
}

void PreferenceAccountSelected::setStrSpecial(QString strSpecial) {
    writeKey("strSpecial", strSpecial);
}

void PreferenceAccountSelected::clearStrSpecial() {
    removeKey("strSpecial");
}

void PreferenceAccountSelected::clear() {
    // The page hears of the whole removal once, and notification is on afterwards whatever it was before.
    PreferenceAccountSelectedObserver::obtain()->boolEnabled = false;

    clearIntIdent();
    clearStrWebsite();
    clearStrMail();
    clearStrUser();
    clearStrNote();
    clearIntLength();
    clearStrSpecial();

    PreferenceAccountSelectedObserver::obtain()->boolEnabled = true;
    PreferenceAccountSelectedObserver::obtain()->update();
}
