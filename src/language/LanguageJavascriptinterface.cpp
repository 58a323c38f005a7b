#include "language/LanguageJavascriptinterface.h"

#include "language/Language.h"

QString LanguageJavascriptinterface::getStrLanguage() {
    return Language::obtain()->getStrLanguage();
}

void LanguageJavascriptinterface::setStrLanguage(QString strLanguage) {
    Language::obtain()->setStrLanguage(strLanguage);
}

QString LanguageJavascriptinterface::getStrString(QString strName) {
    return Language::obtain()->getStrString(strName);
}

QString LanguageJavascriptinterface::getStrStrings() {
    return Language::obtain()->getStrStrings();
}
