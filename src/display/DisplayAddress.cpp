#include "display/DisplayAddress.h"

#include <QUrl>

QUrl DisplayAddress::rewriteUrl(const QUrl &objectUrl, const QString &strDirectory) {
    // The folder as a fully encoded file URL: no doubled slash after "file://", and a "?", "#" or "%" in the
    // folder's own name can neither cut the URL below nor be misread.
    const QString strAssets = QUrl::fromLocalFile(strDirectory + "/assets/").toString(QUrl::FullyEncoded);

    QString strUrl = objectUrl.toString();
    strUrl.replace("file:///android_asset/", strAssets);

    // Drops the query and everything after it, a fragment included, whatever the scheme.
    const int intQuery = strUrl.indexOf('?');
    if (intQuery != -1) {
        strUrl.truncate(intQuery);
    }

    return QUrl(strUrl, QUrl::TolerantMode);
}

bool DisplayAddress::isShippedPage(const QUrl &objectUrl, const QString &strDirectory) {
    // The exact path, compared as text: another spelling of the same file is refused, which is safe.
    const QUrl objectRewritten = rewriteUrl(objectUrl, strDirectory);
    return objectRewritten.isLocalFile() && objectRewritten.host().isEmpty() &&
           objectRewritten.toLocalFile() == strDirectory + "/assets/index.html";
}

bool DisplayAddress::isShippedDocument(const QUrl &objectUrl, const QString &strDirectory) {
    if (objectUrl.toString() == "about:blank") {
        return true;
    }
    const QUrl objectRewritten = rewriteUrl(objectUrl, strDirectory);
    // Cleaned, so that "assets/../res/..." cannot pass for a file of assets/.
    const QString strPath =
        QUrl::fromLocalFile(objectRewritten.toLocalFile()).adjusted(QUrl::NormalizePathSegments).toLocalFile();
    return objectRewritten.isLocalFile() && objectRewritten.host().isEmpty() &&
           strPath.startsWith(strDirectory + "/assets/") && !objectRewritten.toLocalFile().contains("/../");
}
