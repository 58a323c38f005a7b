#include "password/PasswordJavascriptinterface.h"

#include "password/Password.h"

QString PasswordJavascriptinterface::update(QString strMasterpassword, QString strWebsite, QString strMail,
                                            int intLength, QString strSpecial) {
    return Password::obtain()->update(strMasterpassword, strWebsite, strMail, intLength, strSpecial);
}
