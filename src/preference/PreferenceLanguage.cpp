#include "preference/PreferenceLanguage.h"

#include "preference/PreferenceLanguageObserver.h"
#include "preference/PreferenceSettings.h"

#include <QVariant>

PreferenceLanguage *PreferenceLanguage::objectSingleton = nullptr;

namespace {

QString strPath() {
    return PreferenceSettings::path("PreferenceLanguage.ini");
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

QString PreferenceLanguage::getStrName() {
    // "en" stands only for an absent key: a name stored empty on purpose reads as empty.
    QVariant variantName = PreferenceSettings::read(strPath(), "strName", QString("en"));
    // A value that is no text (a list or a rectangle that another program wrote) names no language either.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    if (!variantName.convert(QMetaType::fromType<QString>())) {
#else
    if (!variantName.convert(QMetaType::QString)) {
#endif
        return QString("en");
    }
    return variantName.toString();
}

void PreferenceLanguage::setStrName(QString strName) {
    // A name that could not be written is not read back either: the page learns of the failure by reading.
    PreferenceSettings::change<PreferenceLanguageObserver>(strPath(), "strName", strName);
}

void PreferenceLanguage::clearStrName() {
    PreferenceSettings::change<PreferenceLanguageObserver>(strPath(), "strName", QVariant());
}

void PreferenceLanguage::clear() {
    // One notification for the whole removal, and notification is on afterwards whatever it was before.
    PreferenceLanguageObserver::obtain()->boolEnabled = false;

    clearStrName();

    PreferenceLanguageObserver::obtain()->boolEnabled = true;
    PreferenceLanguageObserver::obtain()->update();
}
