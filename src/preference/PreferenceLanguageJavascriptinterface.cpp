#include "preference/PreferenceLanguageJavascriptinterface.h"

#include "display/Display.h"
#include "preference/PreferenceLanguage.h"
#include "preference/PreferenceLanguageObserver.h"

#include <QJsonDocument>
#include <QJsonObject>

void PreferenceLanguageJavascriptinterface::observerPreferenceLanguage() {
    Display::notify("PreferenceLanguage");
}

PreferenceLanguageJavascriptinterface::PreferenceLanguageJavascriptinterface() : QObject(nullptr) {
    PreferenceLanguageObserver::obtain()->addObserver(observerPreferenceLanguage);
}

PreferenceLanguageJavascriptinterface::~PreferenceLanguageJavascriptinterface() {
    PreferenceLanguageObserver::obtain()->deleteObserver(observerPreferenceLanguage);
}

void PreferenceLanguageJavascriptinterface::observerEnable() {
    PreferenceLanguageObserver::obtain()->boolEnabled = true;
}

void PreferenceLanguageJavascriptinterface::observerDisable() {
    PreferenceLanguageObserver::obtain()->boolEnabled = false;
}

QString PreferenceLanguageJavascriptinterface::getAll() {
    QJsonObject objectJson;
    objectJson.insert("strName", PreferenceLanguage::obtain()->getStrName());

    return QString::fromUtf8(QJsonDocument(objectJson).toJson(QJsonDocument::Compact));
}

QString PreferenceLanguageJavascriptinterface::getStrName() {
    return PreferenceLanguage::obtain()->getStrName();
}

void PreferenceLanguageJavascriptinterface::setStrName(QString strName) {
    PreferenceLanguage::obtain()->setStrName(strName);
}

void PreferenceLanguageJavascriptinterface::clearStrName() {
    PreferenceLanguage::obtain()->clearStrName();
}

void PreferenceLanguageJavascriptinterface::clear() {
    PreferenceLanguage::obtain()->clear();
}
