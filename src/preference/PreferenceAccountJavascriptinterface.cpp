#include "preference/PreferenceAccountJavascriptinterface.h"

#include "display/Display.h"
#include "preference/PreferenceAccount.h"
#include "preference/PreferenceAccountObserver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

void PreferenceAccountJavascriptinterface::observerPreferenceAccount() {
    Display::notify("PreferenceAccount");
}

PreferenceAccountJavascriptinterface::PreferenceAccountJavascriptinterface() : QObject(nullptr) {
    PreferenceAccountObserver::obtain()->addObserver(observerPreferenceAccount);
}

PreferenceAccountJavascriptinterface::~PreferenceAccountJavascriptinterface() {
    PreferenceAccountObserver::obtain()->deleteObserver(observerPreferenceAccount);
}

void PreferenceAccountJavascriptinterface::observerEnable() {
    PreferenceAccountObserver::obtain()->boolEnabled = true;
}

void PreferenceAccountJavascriptinterface::observerDisable() {
    PreferenceAccountObserver::obtain()->boolEnabled = false;
}

QString PreferenceAccountJavascriptinterface::getAll() {
    PreferenceAccount *objectStore = PreferenceAccount::obtain();

    QJsonArray objectArray;
    for (objectStore->selectNext(); objectStore->intIdent != 0; objectStore->selectNext()) {
        // A null text is written as an empty one.
        QJsonObject objectRecord;
        objectRecord.insert("intIdent", objectStore->intIdent);
        objectRecord.insert("strWebsite", objectStore->strWebsite);
        objectRecord.insert("strMail", objectStore->strMail);
        objectRecord.insert("strUser", objectStore->strUser);
        objectRecord.insert("strNote", objectStore->strNote);
        objectRecord.insert("intLength", objectStore->intLength);
        objectRecord.insert("strSpecial", objectStore->strSpecial);
        objectArray.append(objectRecord);
    }

    return QString::fromUtf8(QJsonDocument(objectArray).toJson(QJsonDocument::Compact));
}

int PreferenceAccountJavascriptinterface::getIntIdent() {
    return PreferenceAccount::obtain()->intIdent;
}

void PreferenceAccountJavascriptinterface::setIntIdent(int intIdent) {
    PreferenceAccount::obtain()->intIdent = intIdent;
}

QString PreferenceAccountJavascriptinterface::getStrWebsite() {
    return PreferenceAccount::obtain()->strWebsite;
}

void PreferenceAccountJavascriptinterface::setStrWebsite(QString strWebsite) {
    PreferenceAccount::obtain()->strWebsite = strWebsite;
}

QString PreferenceAccountJavascriptinterface::getStrMail() {
    return PreferenceAccount::obtain()->strMail;
}

void PreferenceAccountJavascriptinterface::setStrMail(QString strMail) {
    PreferenceAccount::obtain()->strMail = strMail;
}

QString PreferenceAccountJavascriptinterface::getStrUser() {
    return PreferenceAccount::obtain()->strUser;
}

void PreferenceAccountJavascriptinterface::setStrUser(QString strUser) {
    PreferenceAccount::obtain()->strUser = strUser;
}

QString PreferenceAccountJavascriptinterface::getStrNote() {
    return PreferenceAccount::obtain()->strNote;
}

void PreferenceAccountJavascriptinterface::setStrNote(QString strNote) {
    PreferenceAccount::obtain()->strNote = strNote;
}

int PreferenceAccountJavascriptinterface::getIntLength() {
    return PreferenceAccount::obtain()->intLength;
}

void PreferenceAccountJavascriptinterface::setIntLength(int intLength) {
    PreferenceAccount::obtain()->intLength = intLength;
}

QString PreferenceAccountJavascriptinterface::getStrSpecial() {
    return PreferenceAccount::obtain()->strSpecial;
}

void PreferenceAccountJavascriptinterface::setStrSpecial(QString strSpecial) {
    PreferenceAccount::obtain()->strSpecial = strSpecial;
}

void PreferenceAccountJavascriptinterface::acquire() {
    PreferenceAccount::obtain()->acquire();
}

void PreferenceAccountJavascriptinterface::release() {
    PreferenceAccount::obtain()->release();
}

void PreferenceAccountJavascriptinterface::transactionOpen() {
    PreferenceAccount::obtain()->transactionOpen();
}

void PreferenceAccountJavascriptinterface::transactionClose() {
    PreferenceAccount::obtain()->transactionClose();
}

void PreferenceAccountJavascriptinterface::selectOpen(QString strSql, QStringList qstringlistParameter) {
    PreferenceAccount::obtain()->selectOpen(strSql, qstringlistParameter);
}

void PreferenceAccountJavascriptinterface::selectNext() {
    PreferenceAccount::obtain()->selectNext();
}

void PreferenceAccountJavascriptinterface::selectClose() {
    PreferenceAccount::obtain()->selectClose();
}

void PreferenceAccountJavascriptinterface::create() {
    PreferenceAccount::obtain()->create();
}

void PreferenceAccountJavascriptinterface::save() {
    PreferenceAccount::obtain()->save();
}

void PreferenceAccountJavascriptinterface::remove() {
    PreferenceAccount::obtain()->remove();
}

void PreferenceAccountJavascriptinterface::clear() {
    PreferenceAccount::obtain()->clear();
}

int PreferenceAccountJavascriptinterface::count() {
    return PreferenceAccount::obtain()->count();
}
