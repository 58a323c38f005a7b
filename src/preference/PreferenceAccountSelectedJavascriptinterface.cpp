#include "preference/PreferenceAccountSelectedJavascriptinterface.h"

#include "display/Display.h"
#include "preference/PreferenceAccountSelected.h"
#include "preference/PreferenceAccountSelectedObserver.h"

#include <QJsonDocument>
#include <QJsonObject>

void PreferenceAccountSelectedJavascriptinterface::observerPreferenceAccountSelected() {
    Display::notify("PreferenceAccountSelected");
}

PreferenceAccountSelectedJavascriptinterface::PreferenceAccountSelectedJavascriptinterface() : QObject(nullptr) {
    PreferenceAccountSelectedObserver::obtain()->addObserver(observerPreferenceAccountSelected);
}

PreferenceAccountSelectedJavascriptinterface::~PreferenceAccountSelectedJavascriptinterface() {
    PreferenceAccountSelectedObserver::obtain()->deleteObserver(observerPreferenceAccountSelected);
}

void PreferenceAccountSelectedJavascriptinterface::observerEnable() {
    PreferenceAccountSelectedObserver::obtain()->boolEnabled = true;
}

void PreferenceAccountSelectedJavascriptinterface::observerDisable() {
    PreferenceAccountSelectedObserver::obtain()->boolEnabled = false;
}

QString PreferenceAccountSelectedJavascriptinterface::getAll() {
    // Seven separate reads of the file; the JSON object sorts the keys by name.
    QJsonObject objectJson;
    objectJson.insert("intIdent", PreferenceAccountSelected::obtain()->getIntIdent());
    objectJson.insert("strWebsite", PreferenceAccountSelected::obtain()->getStrWebsite());
    objectJson.insert("strMail", PreferenceAccountSelected::obtain()->getStrMail());
    objectJson.insert("strUser", PreferenceAccountSelected::obtain()->getStrUser());
    objectJson.insert("strNote", PreferenceAccountSelected::obtain()->getStrNote());
    objectJson.insert("intLength", PreferenceAccountSelected::obtain()->getIntLength());
    objectJson.insert("strSpecial", PreferenceAccountSelected::obtain()->getStrSpecial());

    return QString::fromUtf8(QJsonDocument(objectJson).toJson(QJsonDocument::Compact));
}

int PreferenceAccountSelectedJavascriptinterface::getIntIdent() {
    return PreferenceAccountSelected::obtain()->getIntIdent();
}

void PreferenceAccountSelectedJavascriptinterface::setIntIdent(int intIdent) {
    PreferenceAccountSelected::obtain()->setIntIdent(intIdent);
}

void PreferenceAccountSelectedJavascriptinterface::clearIntIdent() {
    PreferenceAccountSelected::obtain()->clearIntIdent();
}

QString PreferenceAccountSelectedJavascriptinterface::getStrWebsite() {
    return PreferenceAccountSelected::obtain()->getStrWebsite();
}

void PreferenceAccountSelectedJavascriptinterface::setStrWebsite(QString strWebsite) {
    PreferenceAccountSelected::obtain()->setStrWebsite(strWebsite);
}

void PreferenceAccountSelectedJavascriptinterface::clearStrWebsite() {
    PreferenceAccountSelected::obtain()->clearStrWebsite();
}

QString PreferenceAccountSelectedJavascriptinterface::getStrMail() {
    return PreferenceAccountSelected::obtain()->getStrMail();
}

void PreferenceAccountSelectedJavascriptinterface::setStrMail(QString strMail) {
    PreferenceAccountSelected::obtain()->setStrMail(strMail);
}

void PreferenceAccountSelectedJavascriptinterface::clearStrMail() {
    PreferenceAccountSelected::obtain()->clearStrMail();
}

QString PreferenceAccountSelectedJavascriptinterface::getStrUser() {
    return PreferenceAccountSelected::obtain()->getStrUser();
}

void PreferenceAccountSelectedJavascriptinterface::setStrUser(QString strUser) {
    PreferenceAccountSelected::obtain()->setStrUser(strUser);
}

void PreferenceAccountSelectedJavascriptinterface::clearStrUser() {
    PreferenceAccountSelected::obtain()->clearStrUser();
}

QString PreferenceAccountSelectedJavascriptinterface::getStrNote() {
    return PreferenceAccountSelected::obtain()->getStrNote();
}

void PreferenceAccountSelectedJavascriptinterface::setStrNote(QString strNote) {
    PreferenceAccountSelected::obtain()->setStrNote(strNote);
}

void PreferenceAccountSelectedJavascriptinterface::clearStrNote() {
    PreferenceAccountSelected::obtain()->clearStrNote();
}

int PreferenceAccountSelectedJavascriptinterface::getIntLength() {
    return PreferenceAccountSelected::obtain()->getIntLength();
}

void PreferenceAccountSelectedJavascriptinterface::setIntLength(int intLength) {
    PreferenceAccountSelected::obtain()->setIntLength(intLength);
}

void PreferenceAccountSelectedJavascriptinterface::clearIntLength() {
    PreferenceAccountSelected::obtain()->clearIntLength();
}

QString PreferenceAccountSelectedJavascriptinterface::getStrSpecial() {
    return PreferenceAccountSelected::obtain()->getStrSpecial();
}

void PreferenceAccountSelectedJavascriptinterface::setStrSpecial(QString strSpecial) {
    PreferenceAccountSelected::obtain()->setStrSpecial(strSpecial);
}

void PreferenceAccountSelectedJavascriptinterface::clearStrSpecial() {
    PreferenceAccountSelected::obtain()->clearStrSpecial();
}

void PreferenceAccountSelectedJavascriptinterface::clear() {
    PreferenceAccountSelected::obtain()->clear();
}
