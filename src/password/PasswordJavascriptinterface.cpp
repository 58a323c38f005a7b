#include "password/PasswordJavascriptinterface.h"

#include "password/Password.h"

PasswordJavascriptinterface::PasswordJavascriptinterface() : QObject(nullptr) {}

PasswordJavascriptinterface::~PasswordJavascriptinterface() {}

QString PasswordJavascriptinterface::update(QString strMasterpassword, QString strWebsite, QString strMail,
                                            int intLength, QString strSpecial) {
    return Password::obtain()->update(strMasterpassword, strWebsite, strMail, intLength, strSpecial);
}
