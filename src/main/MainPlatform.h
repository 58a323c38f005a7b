#pragma once

#include <QIcon>
#include <QMimeData>

// The small layer between the program and the desktop it runs on.
class MainPlatform {
public:
    // The window icon, drawn for exactly intSize x intSize pixels; a null icon when no image of that size
    // is embedded.
    static QIcon loadIcon(int intSize);

    // Marks data put on the clipboard as a secret, which clipboard-history tools leave out of their history.
    static void markSecret(QMimeData *objectData);
};
