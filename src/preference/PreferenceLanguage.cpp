#include "preference/PreferenceLanguage.h"

#include "preference/PreferenceLanguageObserver.h"

#include <QCoreApplication>
#include <QSettings>

PreferenceLanguage *PreferenceLanguage::objectSingleton = nullptr;

namespace {

QString strPath() {
    return QCoreApplication::applicationDirPath() + "/res/PreferenceLanguage.ini";
}

} // namespace

void PreferenceLanguage::init() {
    if (objectSingleton == nullptr) {
        objectSingleton = new PreferenceLanguage();
    }
}

PreferenceLanguage *PreferenceLanguage::obtain() {
    PreferenceLanguage::init();

    return objectSingleton;
}

void PreferenceLanguage::dispel() {
    if (objectSingleton != nullptr) {
        delete objectSingleton;
        objectSingleton = nullptr;
    }
}

PreferenceLanguage::PreferenceLanguage() {}

PreferenceLanguage::~PreferenceLanguage() {}

QString PreferenceLanguage::getStrName() {
    // "en" stands only for an absent key: a name stored empty on purpose reads as empty.
    QSettings objectSettings(strPath(), QSettings::IniFormat);
    return objectSettings.value("strName", QString("en")).toString();
}

void PreferenceLanguage::setStrName(QString strName) {
    {
        QSettings objectSettings(strPath(), QSettings::IniFormat);
        objectSettings.setValue("strName", strName);
    }
    PreferenceLanguageObserver::obtain()->update();
}

void PreferenceLanguage::clearStrName() {
    {
        QSettings objectSettings(strPath(), QSettings::IniFormat);
        objectSettings.remove("strName");
    }
    PreferenceLanguageObserver::obtain()->update();
}

void PreferenceLanguage::clear() {
    // One notification for the whole removal, and notification is on afterwards whatever it was before.
    PreferenceLanguageObserver::obtain()->boolEnabled = false;

    clearStrName();

    PreferenceLanguageObserver::obtain()->boolEnabled = true;
    PreferenceLanguageObserver::obtain()->update();
}
