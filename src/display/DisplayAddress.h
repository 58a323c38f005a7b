#pragma once

#include <QString>

class QUrl;

// What the page may address, the same for every web engine: the asset rewriting of its requests, and which
// documents may be shown at all.
class DisplayAddress {
public:
    // The URL a request for objectUrl is made for, with the application living in strDirectory: the page's own
    // files are addressed as file:///android_asset/..., which lands in the assets folder, and no request keeps
    // its query.
    static QUrl rewriteUrl(const QUrl &objectUrl, const QString &strDirectory);

    // Whether objectUrl names assets/index.html of the application living in strDirectory, as the page's
    // own requests address it; its query and fragment do not matter.
    static bool isShippedPage(const QUrl &objectUrl, const QString &strDirectory);

    // Whether a frame inside the page may show objectUrl: a document of the shipped page's own assets folder, or
    // an empty frame.
    static bool isShippedDocument(const QUrl &objectUrl, const QString &strDirectory);
};
